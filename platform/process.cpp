#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

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

} // namespace kel::process
