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

template <class Coding, int Stride>
[[gnu::always_inline]] inline void reverb_loop(const DelayBlock& b)
{
    using Sample = typename Coding::Sample;
    Sample* __restrict s = static_cast<Sample*>(b.first_sample);
    int32_t* __restrict line = b.delay_line;
    const long n = b.frame_count;
    const long stride = Stride ? Stride : b.stride;
    // g times an integer is exact in double precision; the conversion truncates.
    const double g = b.gain;
    for (long i = 0; i < n; ++i) {
        const int32_t x = Coding::load(s[i * stride]);
        const int32_t d = line[i];
        const int32_t w = x + static_cast<int32_t>(g * d);
        const int32_t y = x + d - static_cast<int32_t>(g * w);
        s[i * stride] = Coding::store(clamp_to(y, Coding::limit));
        line[i] = clamp_to(w, kLineLimit);
    }
}

EFFRA_CLONES void reverb_mono8(const DelayBlock& b)
{
    reverb_loop<Coding8, 1>(b);
}
EFFRA_CLONES void reverb_stereo8(const DelayBlock& b)
{
    reverb_loop<Coding8, 2>(b);
}
void reverb_any8(const DelayBlock& b)
{
    reverb_loop<Coding8, 0>(b);
}
EFFRA_CLONES void reverb_mono16(const DelayBlock& b)
{
    reverb_loop<Coding16, 1>(b);
}
EFFRA_CLONES void reverb_stereo16(const DelayBlock& b)
{
    reverb_loop<Coding16, 2>(b);
}
void reverb_any16(const DelayBlock& b)
{
    reverb_loop<Coding16, 0>(b);
}

} // namespace

void reverb_block(const DelayBlock& block)
{
    if (DelayBlockFunction f = pick_loop(block, reverb_mono8, reverb_stereo8, reverb_any8,
                                         reverb_mono16, reverb_stereo16, reverb_any16))
        f(block);
}

} // namespace effra
