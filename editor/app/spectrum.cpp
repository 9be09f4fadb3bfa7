#include "editor/app/spectrum.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace app {

std::vector<float> g_spectrum_block;

void fft_in_place(float* data, int n)
{
    // Bit reversal, then butterflies.
    for (int i = 1, j = 0; i < n; ++i) {
        int bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
    }
    for (int len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * M_PI / len;
        for (int i = 0; i < n; i += len) {
            for (int k = 0; k < len / 2; ++k) {
                const float wr = static_cast<float>(std::cos(angle * k));
                const float wi = static_cast<float>(std::sin(angle * k));
                float* a = data + 2 * (i + k);
                float* b = data + 2 * (i + k + len / 2);
                const float tr = b[0] * wr - b[1] * wi;
                const float ti = b[0] * wi + b[1] * wr;
                b[0] = a[0] - tr;
                b[1] = a[1] - ti;
                a[0] += tr;
                a[1] += ti;
            }
        }
    }
}

std::array<int, kSpectrumBars> spectrum_bars(const std::vector<float>& samples)
{
    std::array<int, kSpectrumBars> bars;
    bars.fill(kSpectrumEmpty);
    // Whole powers of two only; the bars need bins 1 to 16.
    int n = 1;
    while (n * 2 <= static_cast<int>(samples.size()))
        n *= 2;
    if (n < 2 + 2 * kSpectrumBars + 2)
        return bars;
    std::vector<float> data(samples.begin(), samples.begin() + n);
    fft_in_place(data.data(), n / 2);
    float m = 0.0f;
    for (float v : data)
        m = std::max(m, std::fabs(v));
    if (m <= 0.0f)
        return bars;
    for (int k = 0; k < kSpectrumBars; ++k)
        bars[k] = 28 - static_cast<int>(std::fabs(data[2 + 2 * k]) * 33.0f / m);
    return bars;
}

} // namespace app
