#include "editor/app/session_signals.h"

#include "editor/document/recovery.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace app {

namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_signal = 0;

// Only async-signal-safe calls here: the work happens in the event loop.
void on_signal(int sig)
{
    if (g_signal != 0)
        _exit(128 + sig); // asked twice: no more waiting
    g_signal = sig;
    const int saved = errno;
    const char c = 1;
    (void)!write(g_pipe[1], &c, 1);
    // An event loop that does not come round (a long step without a progress window)
    // does not keep the program: the run folder then stays for the next start to sort out.
    alarm(3);
    errno = saved;
}

void on_alarm(int)
{
    _exit(128 + (g_signal ? g_signal : SIGTERM));
}

[[noreturn]] void end_now()
{
    const int sig = g_signal ? g_signal : SIGTERM;
    recovery::end_session();
    // Ended by the signal, as the caller expects to see.
    std::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(sig);
    _exit(128 + sig);
}

} // namespace

void end_session_on_signals()
{
    if (g_pipe[0] >= 0 || pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    // Socket notifiers are served by every event loop, the modal dialogs' own included,
    // so the end comes from wherever the program waits.
    auto* notifier =
        new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char c;
        while (read(g_pipe[0], &c, 1) > 0) {
        }
        end_now();
    });
    struct sigaction sa
    {
    };
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &sa, nullptr);
    struct sigaction alarm_action
    {
    };
    alarm_action.sa_handler = on_alarm;
    sigemptyset(&alarm_action.sa_mask);
    sigaction(SIGALRM, &alarm_action, nullptr);
}

} // namespace app
