#include "editor/app/recent_files.h"

#include "platform/profile.h"

#include <algorithm>
#include <cstdio>

namespace app {

namespace {
std::string key_of(int i)
{
    char key[16];
    std::snprintf(key, sizeof key, "File%d", i);
    return key;
}
const char* const kSection = "Recent File List";
} // namespace

void RecentFiles::read()
{
    files_.clear();
    const std::string f = kel::profile::app_profile();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        auto v = kel::profile::lookup(kSection, key_of(i), f);
        if (!v || v->empty())
            break;
        files_.push_back(*v);
    }
}

void RecentFiles::write() const
{
    const std::string f = kel::profile::app_profile();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        if (i <= static_cast<int>(files_.size()))
            kel::profile::write_string(kSection, key_of(i), files_[i - 1], f);
        else
            kel::profile::delete_key(kSection, key_of(i), f);
    }
}

void RecentFiles::add(const std::string& path)
{
    remove(path);
    files_.insert(files_.begin(), path);
    if (files_.size() > static_cast<size_t>(kRecentFileCount))
        files_.resize(kRecentFileCount);
}

void RecentFiles::remove(const std::string& path)
{
    files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
}

std::string RecentFiles::menu_text(int index, const std::string& path)
{
    std::string shown = path;
    if (static_cast<int>(shown.size()) > kRecentTextLength) {
        // Keep the start and, above all, the file name.
        const int tail = kRecentTextLength - 3 - 12;
        shown = path.substr(0, 12) + "..." + path.substr(path.size() - tail);
    }
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : shown) {
        text.push_back(c);
        if (c == '&')
            text.push_back('&');
    }
    return text;
}

} // namespace app
