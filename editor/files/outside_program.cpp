#include "editor/files/outside_program.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kChecks = 1000;
constexpr uint32_t kCheckEvery = 100; // ms

// Copies in blocks into an existing file of ours; false with errno set.
bool copy_into(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        errno = e;
        return false;
    }
    std::vector<char> buffer(65536);
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        // A short write is retried for the rest; an error or no progress ends the copy.
        for (ssize_t at = 0; ok && at < n;) {
            const ssize_t w = ::write(out, buffer.data() + at, static_cast<size_t>(n - at));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                if (w == 0)
                    errno = EIO;
                ok = false;
            } else {
                at += w;
            }
        }
        if (!ok)
            break;
    }
    const int e = errno;
    ::close(in);
    ok = ::close(out) == 0 && ok;
    if (!ok)
        errno = e ? e : EIO;
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
    std::vector<std::string> argv = {kel::paths::helper_program(name)};
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
    // Given up or ended without its signal: whatever result it left may be half written,
    // and one still running must not go on writing it after we have looked.
    kel::process::kill_started(process);
    std::remove(out_adpcm_file().c_str());
    return false;
}

std::string outside_program_path(const std::string& name)
{
    return kel::paths::helper_program(name);
}

bool outside_program_exists(const std::string& name)
{
    return access(outside_program_path(name).c_str(), X_OK) == 0;
}

bool move_into(const std::string& from, kel::SafeWrite& out, int& error)
{
    error = 0;
    if (!out.ok()) {
        error = out.error() ? out.error() : EINVAL;
    } else if (std::rename(from.c_str(), out.temp_path().c_str()) != 0) {
        if (errno != EXDEV)
            error = errno;
        else if (!copy_into(from, out.temp_path()))
            error = errno;
    }
    std::remove(from.c_str());
    return error == 0;
}

ProgramEnd wait_for_program(long process, const char* progress_text,
                            const std::function<int()>& progress, int* exit_code)
{
    const int handle = display_message_dialog(progress_text, 1);
    show_percent_done(handle, 0);
    int code = -1;
    bool ended = false;
    for (;;) {
        if (kel::process::has_exited(process, &code)) {
            ended = true;
            break;
        }
        if (cancel_button_pressed(handle))
            break;
        if (progress) {
            const int percent = progress();
            if (percent >= 0)
                show_percent_done(handle, std::min(percent, 99));
        }
        kel::clock::sleep_ms(kCheckEvery);
    }
    terminate_message_dialog(handle);
    if (exit_code)
        *exit_code = ended ? code : -1;
    if (!ended) {
        kel::process::kill_started(process);
        return ProgramEnd::Cancelled;
    }
    return code == 0 ? ProgramEnd::Done : ProgramEnd::Failed;
}
