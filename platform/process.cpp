#include "platform/process.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kel::process {

long start(const std::vector<std::string>& argv, bool shown)
{
    if (argv.empty() || argv[0].empty())
        return 0;
    // Nothing we start may sit on a half-dead file: an absent or non-executable program
    // fails here, not in the child.
    if (access(argv[0].c_str(), X_OK) != 0)
        return 0;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!shown) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    const int r = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return r == 0 ? static_cast<long>(pid) : 0;
}

bool has_exited(long id)
{
    if (id <= 0)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(static_cast<pid_t>(id), &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    return r != 0;
}

} // namespace kel::process
