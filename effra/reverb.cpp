// Reverb: an all-pass loop around a one-block delay, with the dry signal added.
//
//               ┌────────────── * g <─────────────┐
//               v                                 │
//   x ──┬────> (+)──w──> [ delay: N frames ]──────┴──> d
//       │       │                                 │
//       │       └──> * -g ──> trunc ──> (+) <─────┘
//       │                                │
//       └──────────────────────────────>(+)──> y = x + d - trunc(g w), clamped to +-L
//
//   w = x + trunc(g d), not clamped; delay line entry = w clamped to +-32767
//
// Delay 10 to 100 ms (initially 40), decay 1 to 60 % (initially 40), g = decay * 0.01 in
// single precision. L is 127 for 8-bit samples (around 128) and 32767 for 16-bit samples.
// The extent setting does not apply: the reverb stays inside the selection.
//
// The dry signal x is added for the whole selection. The all-pass term alone carries the
// direct sound only as -g x, so dropping the dry part after the first few blocks would make
// the level fall away abruptly, with a click, a fraction of a second into the passage.
#include "effra/delay_effect.h"
#include "effra/delay_samples.h"

namespace effra {

namespace {

template <int SampleBytes> void reverb_samples(const DelayBlock& b)
{
    constexpr int limit = SampleCoding<SampleBytes>::limit;
    const double g = b.gain;
    unsigned char* p = b.first_sample;
    int32_t* line = b.delay_line;
    for (long i = 0; i < b.frame_count; ++i, p += b.frame_bytes) {
        const int32_t x = SampleCoding<SampleBytes>::load(p);
        const int32_t d = line[i];
        const int32_t w = x + static_cast<int32_t>(g * d);
        const int32_t y = x + d - static_cast<int32_t>(g * w);
        SampleCoding<SampleBytes>::store(p, clamp_to(y, limit));
        line[i] = clamp_to(w, kLineLimit);
    }
}

} // namespace

void reverb_block(const DelayBlock& block)
{
    if (block.sample_bytes == 1)
        reverb_samples<1>(block);
    else if (block.sample_bytes == 2)
        reverb_samples<2>(block);
}

} // namespace effra
