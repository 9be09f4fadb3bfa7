#include "platform/events.h"

#include "platform/clock.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace kel::events {
namespace {

struct Timer
{
    Target target;
    uint32_t id;
    uint32_t period;
    uint32_t due;
};

struct Queue
{
    std::mutex mutex;
    std::deque<Message> messages;
    std::map<uint64_t, std::pair<Target, std::shared_ptr<Handler>>> handlers;
    std::vector<Timer> timers;
    uint64_t next_token = 1;
    std::shared_ptr<std::function<void()>> wake;
};

Queue& queue()
{
    static Queue q;
    return q;
}

// Signed distance from now to the due time, safe across the counter's wrap.
int32_t ms_until(uint32_t due, uint32_t now)
{
    return static_cast<int32_t>(due - now);
}

void wake_up()
{
    std::shared_ptr<std::function<void()>> hook;
    {
        std::lock_guard<std::mutex> lock(queue().mutex);
        hook = queue().wake;
    }
    if (hook && *hook)
        (*hook)();
}

thread_local const Message* t_delivering = nullptr;

// Marks the message being delivered, for message_time(); handlers may pump again inside.
struct Delivering
{
    explicit Delivering(const Message& m) : previous(t_delivering) { t_delivering = &m; }
    ~Delivering() { t_delivering = previous; }
    const Message* previous;
};

void deliver(const Message& m)
{
    Delivering marked(m);
    Queue& q = queue();
    std::vector<std::pair<uint64_t, std::shared_ptr<Handler>>> targets;
    {
        std::lock_guard<std::mutex> lock(q.mutex);
        for (auto& [token, entry] : q.handlers)
            if (entry.first == m.target)
                targets.emplace_back(token, entry.second);
    }
    for (auto& [token, handler] : targets) {
        {
            // A handler may have unsubscribed another (or itself) meanwhile.
            std::lock_guard<std::mutex> lock(q.mutex);
            if (!q.handlers.count(token))
                continue;
        }
        (*handler)(m);
    }
}

// Delivers queued messages until none is left; a runaway poster cannot hold us forever.
int drain()
{
    Queue& q = queue();
    int delivered = 0;
    for (int guard = 0; guard < 1000000; ++guard) {
        Message m;
        {
            std::lock_guard<std::mutex> lock(q.mutex);
            if (q.messages.empty())
                break;
            m = q.messages.front();
            q.messages.pop_front();
        }
        deliver(m);
        ++delivered;
    }
    return delivered;
}

} // namespace

uint64_t subscribe(Target target, Handler handler)
{
    Queue& q = queue();
    std::lock_guard<std::mutex> lock(q.mutex);
    const uint64_t token = q.next_token++;
    q.handlers[token] = {target, std::make_shared<Handler>(std::move(handler))};
    return token;
}

void unsubscribe(uint64_t token)
{
    Queue& q = queue();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.handlers.erase(token);
}

void post(Target target, uint32_t message, uintptr_t wparam, intptr_t lparam)
{
    post_timed(target, message, wparam, lparam, 0);
}

void post_timed(Target target, uint32_t message, uintptr_t wparam, intptr_t lparam, uint32_t time)
{
    {
        std::lock_guard<std::mutex> lock(queue().mutex);
        queue().messages.push_back({target, message, wparam, lparam, time});
    }
    wake_up();
}

uint32_t message_time()
{
    return t_delivering ? t_delivering->time : 0;
}

void set_timer(Target target, uint32_t id, uint32_t period_ms)
{
    if (period_ms == 0)
        period_ms = 1;
    const uint32_t now = clock::now_ms();
    {
        Queue& q = queue();
        std::lock_guard<std::mutex> lock(q.mutex);
        auto it = std::find_if(q.timers.begin(), q.timers.end(),
                               [&](const Timer& t) { return t.target == target && t.id == id; });
        if (it != q.timers.end()) {
            it->period = period_ms;
            it->due = now + period_ms;
        } else {
            q.timers.push_back({target, id, period_ms, now + period_ms});
        }
    }
    wake_up();
}

void kill_timer(Target target, uint32_t id)
{
    Queue& q = queue();
    std::lock_guard<std::mutex> lock(q.mutex);
    std::erase_if(q.timers, [&](const Timer& t) { return t.target == target && t.id == id; });
}

bool timer_active(Target target, uint32_t id)
{
    Queue& q = queue();
    std::lock_guard<std::mutex> lock(q.mutex);
    for (const Timer& t : q.timers)
        if (t.target == target && t.id == id)
            return true;
    return false;
}

int pump()
{
    int delivered = drain();
    const uint32_t now = clock::now_ms();
    std::vector<std::pair<Target, uint32_t>> due;
    {
        Queue& q = queue();
        std::lock_guard<std::mutex> lock(q.mutex);
        for (Timer& t : q.timers) {
            if (ms_until(t.due, now) <= 0) {
                due.emplace_back(t.target, t.id);
                // Missed periods are not made up: the next tick is a period from now.
                t.due = now + t.period;
            }
        }
    }
    for (auto& [target, id] : due) {
        // A handler of an earlier timer may have killed this one.
        if (!timer_active(target, id))
            continue;
        deliver({target, kWmTimer, id, 0});
        ++delivered;
    }
    return delivered + drain();
}

int pending()
{
    std::lock_guard<std::mutex> lock(queue().mutex);
    return static_cast<int>(queue().messages.size());
}

long ms_until_next_timer()
{
    const uint32_t now = clock::now_ms();
    std::lock_guard<std::mutex> lock(queue().mutex);
    long best = -1;
    for (const Timer& t : queue().timers) {
        const long left = std::max<int32_t>(0, ms_until(t.due, now));
        if (best < 0 || left < best)
            best = left;
    }
    return best;
}

void set_wake_hook(std::function<void()> hook)
{
    std::lock_guard<std::mutex> lock(queue().mutex);
    queue().wake = hook ? std::make_shared<std::function<void()>>(std::move(hook)) : nullptr;
}

void reset()
{
    Queue& q = queue();
    std::lock_guard<std::mutex> lock(q.mutex);
    q.messages.clear();
    q.handlers.clear();
    q.timers.clear();
    q.wake.reset();
}

} // namespace kel::events
