#pragma once
// Sample coding of the delay effects: 8-bit samples are unsigned around 128, 16-bit samples
// signed little-endian; both are worked on as signed values and clamped when stored.
#include "effra/delay_effect.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace effra {

// Delay-line entries stay within the 16-bit range for both sample sizes.
inline constexpr int32_t kLineLimit = 32767;

inline int32_t clamp_to(int32_t value, int32_t limit)
{
    return std::min(limit, std::max(-limit, value));
}

struct Coding8
{
    using Sample = uint8_t;
    // -127, not -128: the stored value 0 never occurs.
    static constexpr int32_t limit = 127;
    static int32_t load(Sample s) { return static_cast<int32_t>(s) - 128; }
    static Sample store(int32_t value) { return static_cast<Sample>(value + 128); }
};

// The block buffer holds the file's bytes, read in place as 16-bit words.
static_assert(std::endian::native == std::endian::little);

struct Coding16
{
    using Sample = int16_t;
    static constexpr int32_t limit = 32767;
    static int32_t load(Sample s) { return s; }
    static Sample store(int32_t value) { return static_cast<Sample>(value); }
};

} // namespace effra

// The per-sample loops are built twice, for AVX2 and for the baseline, and the loader picks
// the one the processor runs.
#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define EFFRA_CLONES __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef EFFRA_CLONES
#define EFFRA_CLONES
#endif

namespace effra {

// The loop for a block: sample size and frame stride are constants in the common cases
// (mono, one or both channels of stereo) so the compiler can vectorise them; any other
// stride takes the generic loop.
inline DelayBlockFunction pick_loop(const DelayBlock& b, DelayBlockFunction mono8,
                                    DelayBlockFunction stereo8, DelayBlockFunction any8,
                                    DelayBlockFunction mono16, DelayBlockFunction stereo16,
                                    DelayBlockFunction any16)
{
    if (b.sample_bytes == 1)
        return b.stride == 1 ? mono8 : (b.stride == 2 ? stereo8 : any8);
    if (b.sample_bytes == 2)
        return b.stride == 1 ? mono16 : (b.stride == 2 ? stereo16 : any16);
    return nullptr;
}

} // namespace effra
