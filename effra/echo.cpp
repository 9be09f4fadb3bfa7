// Echo: a repeat one block (the delay) later, fed back so each repeat is g times the last.
//
//   x ──────────┬─────────────────────────(+)──> y = x + trunc(0.8 d), clamped to +-L
//               │                          ^
//               v                          │ * 0.8
//              (+)──> [ delay: N frames ]──┴──> d
//               ^                          │
//               └────────── * g <──────────┘
//
//   delay line entry = x + trunc(g d), clamped to +-32767 (both sample sizes)
//
// Delay 10 to 500 ms (initially 250), decay 20 to 90 % (initially 50), g = decay * 0.01 in
// single precision. L is 127 for 8-bit samples (around 128) and 32767 for 16-bit samples.
// "Outside selection" lets the tail run on for trunc(B * 180 / (100 - decay)) bytes.
#include "effra/delay_effect.h"
#include "effra/delay_samples.h"

namespace effra {

namespace {

template <class Coding, int Stride>
[[gnu::always_inline]] inline void echo_loop(const DelayBlock& b)
{
    using Sample = typename Coding::Sample;
    Sample* __restrict s = static_cast<Sample*>(b.first_sample);
    int32_t* __restrict line = b.delay_line;
    const long n = b.frame_count;
    const long stride = Stride ? Stride : b.stride;
    // g times a line entry is exact in double precision; the conversion truncates.
    const double g = b.gain;
    for (long i = 0; i < n; ++i) {
        const int32_t x = Coding::load(s[i * stride]);
        const int32_t d = line[i];
        // trunc(0.8 d): the integer quotient truncates toward zero the same way.
        const int32_t y = x + (4 * d) / 5;
        s[i * stride] = Coding::store(clamp_to(y, Coding::limit));
        line[i] = clamp_to(x + static_cast<int32_t>(g * d), kLineLimit);
    }
}

EFFRA_CLONES void echo_mono8(const DelayBlock& b)
{
    echo_loop<Coding8, 1>(b);
}
EFFRA_CLONES void echo_stereo8(const DelayBlock& b)
{
    echo_loop<Coding8, 2>(b);
}
void echo_any8(const DelayBlock& b)
{
    echo_loop<Coding8, 0>(b);
}
EFFRA_CLONES void echo_mono16(const DelayBlock& b)
{
    echo_loop<Coding16, 1>(b);
}
EFFRA_CLONES void echo_stereo16(const DelayBlock& b)
{
    echo_loop<Coding16, 2>(b);
}
void echo_any16(const DelayBlock& b)
{
    echo_loop<Coding16, 0>(b);
}

} // namespace

void echo_block(const DelayBlock& block)
{
    if (DelayBlockFunction f = pick_loop(block, echo_mono8, echo_stereo8, echo_any8, echo_mono16,
                                         echo_stereo16, echo_any16))
        f(block);
}

} // namespace effra
