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

template <int SampleBytes> void echo_samples(const DelayBlock& b)
{
    constexpr int limit = SampleCoding<SampleBytes>::limit;
    const double g = b.gain;
    unsigned char* p = b.first_sample;
    int32_t* line = b.delay_line;
    for (long i = 0; i < b.frame_count; ++i, p += b.frame_bytes) {
        const int32_t x = SampleCoding<SampleBytes>::load(p);
        const int32_t d = line[i];
        // 0.8 d truncated toward zero, exactly as the double product would be.
        const int32_t y = x + (4 * d) / 5;
        SampleCoding<SampleBytes>::store(p, clamp_to(y, limit));
        line[i] = clamp_to(x + static_cast<int32_t>(g * d), kLineLimit);
    }
}

} // namespace

void echo_block(const DelayBlock& block)
{
    if (block.sample_bytes == 1)
        echo_samples<1>(block);
    else if (block.sample_bytes == 2)
        echo_samples<2>(block);
}

} // namespace effra
