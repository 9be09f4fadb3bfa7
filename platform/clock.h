#pragma once
#include <cstdint>

namespace kel::clock {

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system counter.
uint32_t now_ms();

// Tests pin the counter so names and timings are reproducible.
void fix(uint32_t ms);
void advance(uint32_t ms);
void unfix();
bool is_fixed();

// Waits; under a fixed clock it moves the clock on and waits a millisecond of real time,
// so tests never wait out the full times.
void sleep_ms(uint32_t ms);

} // namespace kel::clock
