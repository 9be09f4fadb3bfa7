#pragma once
// Sample words as the module's engines read and write them: 8-bit data around 128,
// 16-bit data signed little-endian; written back clamped to +-127 or +-32767 and
// truncated toward zero.
#include <cmath>
#include <cstdint>

inline int load_sample(const unsigned char* p, int bytes_per_sample)
{
    return bytes_per_sample == 1 ? p[0] - 128 : static_cast<int16_t>(p[0] | (p[1] << 8));
}

inline int clamp_sample(double y, int bytes_per_sample)
{
    const double limit = bytes_per_sample == 1 ? 127.0 : 32767.0;
    if (!(y > -limit)) // also a NaN
        return y != y ? 0 : -static_cast<int>(limit);
    if (y > limit)
        return static_cast<int>(limit);
    return static_cast<int>(y);
}

inline void store_word(unsigned char* p, int bytes_per_sample, int v)
{
    if (bytes_per_sample == 1) {
        p[0] = static_cast<unsigned char>(v + 128);
    } else {
        p[0] = static_cast<unsigned char>(v & 0xff);
        p[1] = static_cast<unsigned char>((v >> 8) & 0xff);
    }
}

inline void store_sample(unsigned char* p, int bytes_per_sample, double y)
{
    store_word(p, bytes_per_sample, clamp_sample(y, bytes_per_sample));
}
