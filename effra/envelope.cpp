// Drawn envelope: every sample multiplied by the curve's gain at its place in the selection.
//
//   x ──> (*) ──> trunc, clamped to +-N ──> y
//          ^
//          g = curve[k] * 2 / H,  k = trunc(W * offset / selection bytes), 0 to W - 1
//
// The curve has one height (0 to H) per pixel column of the drawing area; H / 2 is a gain of
// 1 and the top edge a gain of 2. Channel mode 1 applies g to both samples of a step, 2 to
// the left only and 3 to the right only (the other keeps a gain of 1). N is 127 for 8-bit
// samples (around 128) and 32767 for 16-bit samples.
#include "effra/delay_samples.h"
#include "effra/gain_envelope.h"

#include <algorithm>

namespace effra {

namespace {

template <class Coding>
[[gnu::always_inline]] inline void scale(typename Coding::Sample& sample, double gain)
{
    const int32_t x = Coding::load(sample);
    sample = Coding::store(clamp_to(static_cast<int32_t>(x * gain), Coding::limit));
}

template <class Coding>
void envelope_samples(const GainBlock& block, const EnvelopeGain& g, unsigned long offset)
{
    auto* s = reinterpret_cast<typename Coding::Sample*>(block.data);
    const std::vector<int>& curve = *g.curve;
    const uint64_t columns = curve.size();
    const uint64_t total = std::max(1ul, g.selection_bytes);
    const unsigned step_bytes = 2 * sizeof(typename Coding::Sample);
    // k = trunc(W * offset / total), followed step by step instead of divided out.
    uint64_t scaled = columns * offset;
    uint64_t k = std::min(columns - 1, scaled / total);
    uint64_t next = (k + 1) * total;
    const double per_unit = 2.0 / std::max(1, g.height);
    const bool left = g.channel_mode != 3, right = g.channel_mode != 2;
    for (size_t i = 0; i < block.samples; i += 2) {
        while (scaled >= next && k + 1 < columns) {
            ++k;
            next += total;
        }
        const double gain = curve[k] * per_unit;
        if (left)
            scale<Coding>(s[i], gain);
        if (right && i + 1 < block.samples)
            scale<Coding>(s[i + 1], gain);
        scaled += columns * step_bytes;
    }
}

} // namespace

void envelope_block(const GainBlock& block, const EnvelopeGain& gain, unsigned long offset_bytes)
{
    if (!gain.curve || gain.curve->empty())
        return;
    if (block.sample_bytes == 1)
        envelope_samples<Coding8>(block, gain, offset_bytes);
    else if (block.sample_bytes == 2)
        envelope_samples<Coding16>(block, gain, offset_bytes);
}

} // namespace effra
