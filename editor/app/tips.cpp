#include "editor/app/tips.h"

#include "editor/app/app_profile.h"
#include "platform/profile.h"

#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace app {

namespace {
constexpr int kLineLength = 1000;

bool is_tip(const char* line)
{
    return line[0] != ' ' && line[0] != '\t' && line[0] != '\n' && line[0] != ';' &&
           line[0] != '\r';
}
} // namespace

TipReader::~TipReader()
{
    close();
}

std::string TipReader::time_stamp(const std::string& path)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0)
        return "";
    std::time_t t = st.st_mtime;
    char buf[64];
    std::tm tm_local{};
    localtime_r(&t, &tm_local);
    std::strftime(buf, sizeof buf, "%a %b %e %H:%M:%S %Y", &tm_local);
    std::string s = buf;
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\t'))
        s.pop_back();
    return s;
}

bool TipReader::open(const std::string& path)
{
    close();
    const std::string profile = kel::profile::app_profile();
    long pos = kel::profile::read_int("Tip", "FilePos", 0, profile);
    file_ = std::fopen(path.c_str(), "r");
    if (!file_) {
        text_ = kTipsFileMissing;
        return false;
    }
    const std::string stamp = time_stamp(path);
    if (stamp != kel::profile::read_string("Tip", "TimeStamp", "", profile)) {
        pos = 0;
        kel::profile::write_string("Tip", "TimeStamp", stamp, profile);
    }
    if (pos < 0 || std::fseek(file_, pos, SEEK_SET) != 0) {
        text_ = kTipsTrouble;
        return true;
    }
    next();
    return true;
}

void TipReader::next()
{
    if (!file_)
        return;
    char line[kLineLength + 2];
    bool wrapped = false;
    while (true) {
        if (!std::fgets(line, sizeof line, file_)) {
            // A second end of file without a tip: the file holds none.
            if (wrapped) {
                text_.clear();
                return;
            }
            wrapped = true;
            if (std::fseek(file_, 0, SEEK_SET) != 0) {
                text_ = kTipsTrouble;
                return;
            }
            continue;
        }
        // A line longer than the buffer goes on in the next read: skip its rest.
        const size_t n = std::strlen(line);
        const bool whole = n > 0 && line[n - 1] == '\n';
        if (!whole && !std::feof(file_)) {
            int c;
            while ((c = std::fgetc(file_)) != EOF && c != '\n') {
            }
        }
        if (!is_tip(line))
            continue;
        std::string tip = line;
        while (!tip.empty() && (tip.back() == '\n' || tip.back() == '\r'))
            tip.pop_back();
        if (tip.size() > static_cast<size_t>(kLineLength))
            tip.resize(kLineLength);
        text_ = tip;
        return;
    }
}

long TipReader::position() const
{
    return file_ ? std::ftell(file_) : 0;
}

void TipReader::close()
{
    if (!file_)
        return;
    kel::profile::write_int("Tip", "FilePos", std::ftell(file_), kel::profile::app_profile());
    std::fclose(file_);
    file_ = nullptr;
}

void store_tip_startup_choice(bool show_on_startup)
{
    const std::string profile = kel::profile::app_profile();
    kel::profile::write_int("Tip", "StartUp", show_on_startup ? 0 : 1, profile);
    g_preferences.tip_of_the_day = show_on_startup;
    kel::profile::write_yes_no("Preferences", "Tip of the day", show_on_startup, profile);
}

} // namespace app
