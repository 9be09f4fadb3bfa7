#pragma once
// The frequency of the strongest component of a run of samples, from a Hann-windowed FFT
// of 2^15 points with the peak placed between bins by a parabola through the log
// magnitudes.
#include "filtrel/fft.h"

#include <cmath>
#include <vector>

inline double peak_frequency(const std::vector<double>& x, size_t from, double rate)
{
    constexpr int n = 1 << 15;
    std::vector<float> a(n + 4, 0.0f);
    for (int i = 0; i < n && from + static_cast<size_t>(i) < x.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (n - 1));
        a[static_cast<size_t>(i + 1)] = static_cast<float>(w * x[from + static_cast<size_t>(i)]);
    }
    fft_real_on(a.data(), n / 2, 1);
    auto magnitude = [&](int k) { return std::log(std::hypot(a[2 * k + 1], a[2 * k + 2]) + 1e-9); };
    int best = 1;
    for (int k = 1; k < n / 2; ++k)
        if (magnitude(k) > magnitude(best))
            best = k;
    double shift = 0.0;
    if (best > 1 && best < n / 2 - 1) {
        const double l = magnitude(best - 1), c = magnitude(best), r = magnitude(best + 1);
        const double d = l - 2 * c + r;
        if (d != 0)
            shift = 0.5 * (l - r) / d;
    }
    return (best + shift) * rate / n;
}
