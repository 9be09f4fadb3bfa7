#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kel::process {

namespace {

Observer g_observer;

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

} // namespace

long start(const std::vector<std::string>& argv, bool shown, const std::string& folder)
{
    reap_ended();
    if (argv.empty() || argv[0].empty())
        return 0;
    if (g_observer)
        return g_observer(argv) ? 1 : 0;
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
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int r = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (r != 0)
        return 0;
    g_running.push_back(pid);
    return static_cast<long>(pid);
}

bool has_exited(long id, int* exit_code)
{
    if (exit_code)
        *exit_code = -1;
    if (id <= 0)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(static_cast<pid_t>(id), &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    if (r > 0 && exit_code && WIFEXITED(status))
        *exit_code = WEXITSTATUS(status);
    for (size_t i = 0; i < g_running.size(); ++i)
        if (g_running[i] == static_cast<pid_t>(id)) {
            g_running[i] = g_running.back();
            g_running.pop_back();
            break;
        }
    return true;
}

void kill_started(long id)
{
    if (id <= 1 || has_exited(id))
        return;
    for (pid_t p : g_running)
        if (p == static_cast<pid_t>(id)) {
            ::kill(p, SIGKILL);
            int status = 0;
            while (waitpid(p, &status, 0) < 0 && errno == EINTR) {
            }
            has_exited(id);
            return;
        }
}

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

} // namespace kel::process
