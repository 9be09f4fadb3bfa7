#include "filtrel/filter_response.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

int tabulate_edge(float width, float* table, int table_size)
{
    const float w = std::max(width, 1.0f);
    const int count = std::min(static_cast<int>(5.0f * w / 4.0f) + 1, table_size);
    for (int d = 0; d < count; ++d) {
        const float r = static_cast<float>(d) / (w / 2.0f);
        table[d] = std::exp(-r * r);
    }
    return std::max(count, 0);
}

namespace {

std::string format_khz(float hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%-3.1f", hz / 1000.0f);
    return std::string(text) + " kHz";
}

std::string format_db(float amplitude)
{
    char text[32];
    std::snprintf(text, sizeof text, "%-5.1f", 20.0f * std::log10(amplitude));
    return std::string(text) + " dB";
}

} // namespace

ResponsePlot filter_response(int type, const FilterSettings& s, long sample_rate, int channels,
                             float* table, int table_size)
{
    ResponsePlot plot;
    const float rate = static_cast<float>(std::max(1L, sample_rate));
    plot.sample_rate = std::max(1L, sample_rate);
    const int count = table ? tabulate_edge(s.width, table, table_size) : 0;
    auto edge = [&](float d) {
        const int i = static_cast<int>(std::fabs(d));
        return i < count ? table[i] : 0.0f;
    };

    std::vector<float> centres;
    std::function<float(float)> response;
    const float f = s.frequency;
    switch (type) {
    case kFilterLowPass:
        centres = {f};
        response = [&](float hz) { return hz <= f ? 1.0f : edge(hz - f); };
        break;
    case kFilterHighPass:
        centres = {f};
        response = [&](float hz) { return hz >= f ? 1.0f : edge(f - hz); };
        break;
    case kFilterNotch:
        centres = {f};
        response = [&](float hz) { return 1.0f - edge(hz - f); };
        break;
    case kFilterBandPass:
    case kFilterSweep:
        if (s.sweep)
            centres = {s.sweep_start, s.sweep_stop};
        else
            centres = {f};
        response = [&](float hz) {
            float a = 0.0f;
            for (float c : centres)
                a = std::max(a, edge(hz - c));
            return a;
        };
        break;
    case kFilterHash: {
        const float spacing = channels >= 2 ? 1.0f : 2.0f;
        response = [spacing, rate](float hz) {
            const double c = std::cos(2.0 * M_PI * hz * spacing / rate);
            return static_cast<float>(std::fabs((1.0 + 2.0 * c) / 3.0));
        };
        break;
    }
    default:
        response = [](float) { return 0.0f; };
        break;
    }

    // Sample where the curve bends: every tabulated Hz around each edge, plus an even grid
    // for the smooth hash curve and the ends of the axis.
    std::vector<float> at = {0.0f, rate};
    for (float c : centres)
        for (int d = 0; d < count; ++d) {
            at.push_back(c - static_cast<float>(d));
            at.push_back(c + static_cast<float>(d));
        }
    if (type == kFilterHash)
        for (int i = 1; i < 512; ++i)
            at.push_back(rate * static_cast<float>(i) / 512.0f);
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    for (float hz : at)
        if (hz >= 0.0f && hz <= rate)
            plot.curve.emplace_back(hz, response(hz));

    for (int i = 0; i <= 2; ++i) {
        const float hz = rate * static_cast<float>(i) / 2.0f;
        plot.frequency_labels.push_back({hz, format_khz(hz)});
    }
    for (float a : {1.0f, 0.5f, 0.25f, 0.1f})
        plot.level_labels.push_back({a, format_db(a)});
    return plot;
}
