#pragma once
// The single user-interface message queue. Any thread may post; only the UI thread
// pumps, so every handler runs there. Window timers are driven by kel::clock, so a test
// that pins the clock decides when they fire.
#include <cstdint>
#include <functional>

namespace kel::events {

using Target = void*; // a window handle

inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmChar = 0x0102;

struct Message
{
    Target target = nullptr;
    uint32_t message = 0;
    uintptr_t wparam = 0;
    intptr_t lparam = 0;
    uint32_t time = 0; // what the poster stamped on it (post_timed), else 0
};

using Handler = std::function<void(const Message&)>;

// Every handler of a target sees each of its messages, in the order they subscribed.
// The token is never 0 and never reused.
uint64_t subscribe(Target target, Handler handler);
void unsubscribe(uint64_t token);

// Safe from any thread.
void post(Target target, uint32_t message, uintptr_t wparam = 0, intptr_t lparam = 0);

// As post, with a time stamp that travels with the message (a device's own time).
void post_timed(Target target, uint32_t message, uintptr_t wparam, intptr_t lparam, uint32_t time);
// The time of the message whose handlers run now on this thread; 0 outside a delivery.
uint32_t message_time();

// Timer `id` of `target` posts kWmTimer (wparam = id) every period. Setting an existing
// id restarts it with the new period. Like window timers, a timer that fell behind fires
// once, not once per missed period.
void set_timer(Target target, uint32_t id, uint32_t period_ms);
void kill_timer(Target target, uint32_t id);
bool timer_active(Target target, uint32_t id);

// Delivers, on the calling thread, every message posted so far (and those the handlers
// post meanwhile), then the timers that are due, then what those posted. Returns the
// number of messages delivered.
int pump();
// Messages waiting to be delivered (timers not counted).
int pending();
// Milliseconds until the next timer is due (0 when one is due now), or -1 without timers.
long ms_until_next_timer();

// Called from the posting thread whenever a message is posted or a timer is set, so an
// event loop can schedule a pump on its own thread. Device threads call it with their
// own locks held: it must only schedule, never call back into a device. Null removes it.
void set_wake_hook(std::function<void()> hook);

// Drops every message, timer and handler (tests start from nothing).
void reset();

} // namespace kel::events
