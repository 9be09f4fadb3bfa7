#pragma once
// Sample coding of the delay effects: 8-bit samples are unsigned around 128, 16-bit samples
// signed little-endian; both are worked on as signed values and clamped when stored.
#include <cstdint>

namespace effra {

// Delay-line entries stay within the 16-bit range for both sample sizes.
inline constexpr int32_t kLineLimit = 32767;

inline int32_t clamp_to(int32_t value, int32_t limit)
{
    return value > limit ? limit : (value < -limit ? -limit : value);
}

template <int SampleBytes> struct SampleCoding;

template <> struct SampleCoding<1>
{
    // -127, not -128: the stored value 0 never occurs.
    static constexpr int32_t limit = 127;
    static int32_t load(const unsigned char* p) { return static_cast<int32_t>(p[0]) - 128; }
    static void store(unsigned char* p, int32_t value)
    {
        p[0] = static_cast<unsigned char>(value + 128);
    }
};

template <> struct SampleCoding<2>
{
    static constexpr int32_t limit = 32767;
    static int32_t load(const unsigned char* p)
    {
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    }
    static void store(unsigned char* p, int32_t value)
    {
        const uint16_t v = static_cast<uint16_t>(value);
        p[0] = static_cast<unsigned char>(v & 0xff);
        p[1] = static_cast<unsigned char>(v >> 8);
    }
};

} // namespace effra
