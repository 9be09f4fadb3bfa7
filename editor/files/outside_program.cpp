#include "editor/files/outside_program.h"

#include "common/child_frame.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/ui.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kChecks = 1000;
constexpr uint32_t kCheckEvery = 100; // ms

bool copy_file(const std::string& from, const std::string& to)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in)
        return false;
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    char buffer[32768];
    bool ok = true;
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        if (std::fwrite(buffer, 1, n, out) != n) {
            ok = false;
            break;
        }
    ok = !std::ferror(in) && ok;
    std::fclose(in);
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
        std::remove(to.c_str());
    return ok;
}

} // namespace

std::string out_adpcm_file()
{
    return run_directory() + "outadpcm.wav";
}

std::string finished_file()
{
    return run_directory() + "finished";
}

bool file_exists(const std::string& name)
{
    return access(name.c_str(), F_OK) == 0;
}

void delete_signal_files()
{
    std::remove(out_adpcm_file().c_str());
    std::remove(finished_file().c_str());
}

long start_outside_program(const std::string& name, const std::vector<std::string>& args,
                           bool shown)
{
    std::vector<std::string> argv = {kel::paths::program_dir() + name};
    char cwd[PATH_MAX];
    const std::string here = getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" : std::string();
    for (const std::string& a : args)
        argv.push_back(!a.empty() && a[0] != '-' && a[0] != '/' ? here + a : a);
    const std::string folder = run_directory();
    if (folder.empty())
        return 0;
    return kel::process::start(argv, shown, folder);
}

bool wait_for_finished(long process)
{
    bool ended = false;
    for (int check = 0; check < kChecks; ++check) {
        if (file_exists(finished_file())) {
            std::remove(finished_file().c_str());
            return true;
        }
        // It wrote nothing before it ended: no use waiting out the full time.
        if (ended || kel::ui().escape_down())
            break;
        kel::clock::sleep_ms(kCheckEvery);
        ended = kel::process::has_exited(process);
    }
    std::remove(finished_file().c_str());
    return false;
}

std::string outside_program_path(const std::string& name)
{
    return kel::paths::program_dir() + name;
}

bool outside_program_exists(const std::string& name)
{
    return access(outside_program_path(name).c_str(), X_OK) == 0;
}

bool move_file(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno != EXDEV || !copy_file(from, to))
        return false;
    std::remove(from.c_str());
    return true;
}
