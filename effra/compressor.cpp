// Compressor / expander: a static transfer curve through the control points, reached
// through a one-pole smoothing of the correction it asks for.
//
//   x ──┬──────────────────────────────────────(+)──> y = x + trunc(d), clamped to +-N
//       │                                       ^
//       ├──> [ table: |x| -> T ] ──> (T - x) ──>(+)── s ──> * e ──> d
//       │                                        ^              │
//       │                                        └──── - d <────┘
//
//   per sample: d = s e;  s = s - d + (T - x);  y = x + trunc(d)   (d from the state before)
//
// Control points: 2 to 29 on a W x H pixel graph, input level 45 (x - W) / W and output
// level -45 y / H (-45 to 0); a level v is the amplitude N^(1 + v / 100). Between
// neighbouring points the table is a straight line in amplitude; outside them it is the
// identity. Attack 1 to 100 (initially 15): e = 1 - exp(-6.28318 / (attack * 0.0001 * rate)).
// N is 127 for 8-bit samples (around 128) and 32767 for 16-bit samples. A stereo file keeps
// one state per channel; a mono file walks its samples in pairs through the same two states.
#include "effra/delay_samples.h"
#include "effra/gain_envelope.h"

#include <algorithm>
#include <cmath>

namespace effra {

std::vector<int32_t> identity_table(int limit)
{
    std::vector<int32_t> t(static_cast<size_t>(limit) + 2);
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = static_cast<int32_t>(i);
    return t;
}

std::vector<GraphPoint> corner_points(int width, int height)
{
    return {{3, height - 3}, {width - 3, 3}};
}

int32_t level_amplitude(double level, int limit)
{
    const double n = limit;
    return static_cast<int32_t>(n * std::pow(10.0, std::log10(n) * 0.01 * level));
}

std::vector<int32_t> build_transfer_table(const std::vector<GraphPoint>& points, int limit,
                                          int width, int height)
{
    std::vector<int32_t> table = identity_table(limit);
    std::vector<GraphPoint> p = points;
    // Neighbours exchanged: points of equal x keep their order.
    std::stable_sort(p.begin(), p.end(),
                     [](const GraphPoint& a, const GraphPoint& b) { return a.x < b.x; });
    const double w = std::max(1, width), h = std::max(1, height);
    auto input_level = [&](const GraphPoint& q) { return 45.0 * (q.x - w) / w; };
    auto output_level = [&](const GraphPoint& q) { return -45.0 * q.y / h; };
    for (size_t k = 0; k + 1 < p.size(); ++k) {
        const int32_t l = level_amplitude(input_level(p[k]), limit);
        const int32_t hi = level_amplitude(input_level(p[k + 1]), limit);
        if (l == hi)
            continue;
        const int32_t u = level_amplitude(output_level(p[k]), limit);
        const float slope = static_cast<float>(level_amplitude(output_level(p[k + 1]), limit) - u) /
                            static_cast<float>(hi - l);
        for (int32_t j = l; j <= hi; ++j) {
            const float v = static_cast<float>(u) + static_cast<float>(j - l) * slope;
            const int32_t out = std::clamp(static_cast<int32_t>(v), 0, limit);
            table[static_cast<size_t>(std::clamp(j, 0, limit))] = out;
        }
    }
    table[0] = 0;
    return table;
}

double smoothing_factor(int attack, unsigned long samples_per_second)
{
    const double span =
        std::max(1, attack) * 0.0001 * static_cast<double>(std::max(1ul, samples_per_second));
    return 1.0 - std::exp(-6.28318 / span);
}

namespace {

template <class Coding>
[[gnu::always_inline]] inline void compress_one(typename Coding::Sample& sample,
                                                const int32_t* table, double e, double& s)
{
    const int32_t x = Coding::load(sample);
    // The most negative sample looks up entry N + 1.
    const int32_t target = x >= 0 ? table[x] : -table[-x];
    const double d = s * e;
    s = s - d + static_cast<double>(target - x);
    sample = Coding::store(clamp_to(x + static_cast<int32_t>(d), Coding::limit));
}

template <class Coding>
void compress_samples(void* data, size_t n, const int32_t* table, double e, double state[2])
{
    auto* s = static_cast<typename Coding::Sample*>(data);
    double s0 = state[0], s1 = state[1];
    size_t i = 0;
    // The two states are independent chains: interleaved, each hides the other's latency.
    for (; i + 1 < n; i += 2) {
        compress_one<Coding>(s[i], table, e, s0);
        compress_one<Coding>(s[i + 1], table, e, s1);
    }
    if (i < n)
        compress_one<Coding>(s[i], table, e, s0);
    state[0] = s0;
    state[1] = s1;
}

} // namespace

void compress_block(const GainBlock& block, const std::vector<int32_t>& table, double e,
                    double state[2])
{
    if (block.sample_bytes == 1 && table.size() >= 129)
        compress_samples<Coding8>(block.data, block.samples, table.data(), e, state);
    else if (block.sample_bytes == 2 && table.size() >= 32769)
        compress_samples<Coding16>(block.data, block.samples, table.data(), e, state);
}

} // namespace effra
