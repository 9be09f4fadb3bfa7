#include "formats/ocw_rate.h"

namespace kel::ocw {

uint32_t marker_for_ratio(float r)
{
    if (!(r > 0.0f))
        return 0;
    const double m = 44100.0 / static_cast<double>(r);
    return m >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(m);
}

float ratio_for_marker(uint32_t marker)
{
    if (marker == 0)
        return 0.0f;
    const long double k = 44100.0L / static_cast<long double>(marker) * 10.0L;
    switch (static_cast<long long>(k)) {
    case 14:
        return 1.47f;
    case 17:
        return 1.764f;
    case 20:
        return 2.0f;
    case 22:
        return 2.205f;
    case 28:
        return 2.8224f;
    case 40:
        return 4.032f;
    case 60:
        return 6.0995f;
    default:
        return 0.0f;
    }
}

int stretch_steps(float r)
{
    const int k = static_cast<int>(r + 0.5f);
    return k < 1 ? 1 : k;
}

void stretch(const int16_t* in, int frames, int channels, const int16_t* next, float r,
             int16_t* out, size_t out_words)
{
    if (frames <= 0 || channels < 1)
        return;
    const int steps = stretch_steps(r);
    const double ratio = static_cast<double>(r);
    size_t covered = 0;
    for (int j = 0; j < frames; ++j) {
        size_t at = static_cast<size_t>(static_cast<double>(j) * channels * ratio);
        if (channels == 2)
            at &= ~static_cast<size_t>(1);
        if (at >= out_words)
            return; // frames only move on from here
        const int16_t* cur = in + static_cast<size_t>(j) * channels;
        const int16_t* nxt = j + 1 < frames ? cur + channels : (next ? next : cur);
        for (int k = 0; k <= steps; ++k) {
            for (int c = 0; c < channels; ++c) {
                const size_t w = at + static_cast<size_t>(k) * channels + c;
                if (w < out_words)
                    out[w] = static_cast<int16_t>(cur[c] + (nxt[c] - cur[c]) * k / steps);
            }
        }
        covered = at + static_cast<size_t>(steps + 1) * channels;
    }
    // A ratio above K can leave a word or two after the last frame: they take the frame
    // that follows, as the next interpolation would have begun there.
    const int16_t* tail = next ? next : in + static_cast<size_t>(frames - 1) * channels;
    for (size_t w = covered; w < out_words; ++w)
        out[w] = tail[(w - covered) % channels];
}

} // namespace kel::ocw
