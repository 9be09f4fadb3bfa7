#pragma once
// Periodic timers on a thread of their own, in the manner of the multimedia timers: the
// callbacks run on the timer thread, touch nothing and only post a command to the window
// they were given, so every tick is handled on the user-interface thread.
#include "common/window.h"

#include <cstdint>
#include <functional>

namespace kel::tickr {

using TimerCallback = void (*)(unsigned id, unsigned message, uintptr_t user, uintptr_t dw1,
                               uintptr_t dw2);

// The callbacks: user is the window. Each posts one command per tick:
// _RecorderTimerFunc 542 (the record dialog's 100 ms tick), _PlayTimeTimerFunc 541 (500 ms,
// the start-delay and chase-lock dialogs), _MetronomeTimerFunc 543 (one per beat).
void _RecorderTimerFunc(unsigned id, unsigned message, uintptr_t user, uintptr_t dw1,
                        uintptr_t dw2);
void _PlayTimeTimerFunc(unsigned id, unsigned message, uintptr_t user, uintptr_t dw1,
                        uintptr_t dw2);
void _MetronomeTimerFunc(unsigned id, unsigned message, uintptr_t user, uintptr_t dw1,
                         uintptr_t dw2);

// Starts a periodic timer; 0 when it cannot. Period in milliseconds (at least 1).
unsigned start_periodic(unsigned period_ms, TimerCallback callback, uintptr_t user);
// Stops it and waits until its thread has ended; no tick follows. 0 for an unknown id.
int kill_periodic(unsigned id);
// The beat period of a metronome: 60000 / bpm milliseconds.
inline unsigned metronome_period(unsigned bpm)
{
    return bpm == 0 ? 0 : 60000u / bpm;
}

// How a callback reaches the user-interface thread. Must be safe to call from any
// thread; the Qt program installs a queued delivery. Without one, ticks are dropped.
using Poster = std::function<void(HWND window, int command)>;
void set_poster(Poster poster);
void post(HWND window, int command);

} // namespace kel::tickr
