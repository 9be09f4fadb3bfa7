#include "editor/app/tickr.h"

#include "editor/app/commands.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace kel::tickr {
namespace {

std::mutex g_poster_mutex;
Poster g_poster;

struct Timer
{
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

std::mutex g_timers_mutex;
std::map<unsigned, std::unique_ptr<Timer>> g_timers;
unsigned g_next_id = 1;

void run(Timer* t, unsigned id, unsigned period_ms, TimerCallback callback, uintptr_t user)
{
    using clock = std::chrono::steady_clock;
    auto next = clock::now() + std::chrono::milliseconds(period_ms);
    std::unique_lock<std::mutex> lock(t->mutex);
    while (!t->stopping) {
        if (t->wake.wait_until(lock, next, [t] { return t->stopping; }))
            break;
        lock.unlock();
        callback(id, 0, user, 0, 0);
        lock.lock();
        // Periodic, not drifting: the next tick is due one period after the last due time.
        next += std::chrono::milliseconds(period_ms);
        const auto now = clock::now();
        if (next < now)
            next = now;
    }
}

} // namespace

void set_poster(Poster poster)
{
    std::lock_guard<std::mutex> lock(g_poster_mutex);
    g_poster = std::move(poster);
}

void post(HWND window, int command)
{
    std::lock_guard<std::mutex> lock(g_poster_mutex);
    if (g_poster)
        g_poster(window, command);
}

void _RecorderTimerFunc(unsigned, unsigned, uintptr_t user, uintptr_t, uintptr_t)
{
    post(reinterpret_cast<HWND>(user), cmd::kRecorderTick);
}

void _PlayTimeTimerFunc(unsigned, unsigned, uintptr_t user, uintptr_t, uintptr_t)
{
    post(reinterpret_cast<HWND>(user), cmd::kPlayTimeTick);
}

void _MetronomeTimerFunc(unsigned, unsigned, uintptr_t user, uintptr_t, uintptr_t)
{
    post(reinterpret_cast<HWND>(user), cmd::kMetronomeTick);
}

unsigned start_periodic(unsigned period_ms, TimerCallback callback, uintptr_t user)
{
    if (period_ms == 0 || callback == nullptr)
        return 0;
    auto timer = std::make_unique<Timer>();
    Timer* t = timer.get();
    std::lock_guard<std::mutex> lock(g_timers_mutex);
    const unsigned id = g_next_id++;
    try {
        t->thread = std::thread(run, t, id, period_ms, callback, user);
    } catch (...) {
        return 0;
    }
    g_timers[id] = std::move(timer);
    return id;
}

int kill_periodic(unsigned id)
{
    std::unique_ptr<Timer> timer;
    {
        std::lock_guard<std::mutex> lock(g_timers_mutex);
        auto it = g_timers.find(id);
        if (it == g_timers.end())
            return 0;
        timer = std::move(it->second);
        g_timers.erase(it);
    }
    {
        std::lock_guard<std::mutex> lock(timer->mutex);
        timer->stopping = true;
    }
    timer->wake.notify_all();
    if (timer->thread.joinable())
        timer->thread.join();
    return 1;
}

} // namespace kel::tickr
