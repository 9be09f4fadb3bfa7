#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kel::process {
namespace {
Observer g_observer;
} // namespace

void set_observer(Observer observer)
{
    g_observer = std::move(observer);
}

std::vector<std::string> split_command_line(const std::string& command_line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, have = false;
    for (char c : command_line) {
        if (c == '"') {
            quoted = !quoted;
            have = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (have)
                words.push_back(word);
            word.clear();
            have = false;
        } else {
            word.push_back(c);
            have = true;
        }
    }
    if (have)
        words.push_back(word);
    return words;
}

bool start_detached(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv[0].empty())
        return false;
    if (g_observer)
        return g_observer(argv);

    // Everything the child needs is made before fork: after it only exec and _exit run.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    // A pipe with close-on-exec tells the parent whether exec succeeded.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        // The intermediate child lets the program become an orphan, so no zombie is left
        // behind for a parent that never waits.
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0)
            _exit(grandchild < 0 ? 1 : 0);
        execvp(args[0], args.data());
        const char failed = 1;
        ssize_t ignored = write(fds[1], &failed, 1);
        (void)ignored;
        _exit(127);
    }
    close(fds[1]);
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    char failed = 0;
    ssize_t n;
    do {
        n = read(fds[0], &failed, 1);
    } while (n < 0 && errno == EINTR);
    close(fds[0]);
    if (waited < 0)
        return n == 0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool start_command_line(const std::string& command_line)
{
    return start_detached(split_command_line(command_line));
}

namespace spawned {

// Programs started and not yet seen to end: reaped later so none stays a zombie.
std::vector<pid_t> g_running;

void reap_ended()
{
    for (size_t i = 0; i < g_running.size();) {
        int status = 0;
        if (waitpid(g_running[i], &status, WNOHANG) != 0) {
            g_running[i] = g_running.back();
            g_running.pop_back();
        } else {
            ++i;
        }
    }
}

} // namespace spawned

long start(const std::vector<std::string>& argv, bool shown)
{
    using namespace spawned;
    reap_ended();
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
    if (r != 0)
        return 0;
    g_running.push_back(pid);
    return static_cast<long>(pid);
}

bool has_exited(long id)
{
    using namespace spawned;
    if (id <= 0)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(static_cast<pid_t>(id), &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    for (size_t i = 0; i < g_running.size(); ++i)
        if (g_running[i] == static_cast<pid_t>(id)) {
            g_running[i] = g_running.back();
            g_running.pop_back();
            break;
        }
    return true;
}

} // namespace kel::process
