#include "editor/document/retired_files.h"

#include "platform/mapped_file.h"

#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

std::thread g_worker;

// The worker is joined before the program's statics go.
struct JoinAtExit
{
    ~JoinAtExit() { wait_for_retired_files(); }
} g_join_at_exit;

} // namespace

void wait_for_retired_files()
{
    if (g_worker.joinable())
        g_worker.join();
}

void retire_files(const std::vector<std::string>& names,
                  std::vector<std::shared_ptr<kel::MappedFile>> mappings)
{
    wait_for_retired_files();
    // An open descriptor keeps the file's data alive past its name, so the unlink here is
    // only the directory entry; the last close, on the worker, frees the rest.
    std::vector<int> held;
    for (const std::string& name : names) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0)
            held.push_back(fd);
        ::unlink(name.c_str());
    }
    if (held.empty() && mappings.empty())
        return;
    try {
        g_worker = std::thread([held = std::move(held), mappings = std::move(mappings)]() mutable {
            mappings.clear();
            for (const int fd : held)
                ::close(fd);
        });
    } catch (...) {
        // No thread to be had: the same work, here and now.
        for (const int fd : held)
            ::close(fd);
    }
}
