#pragma once
// Compressor / expander and drawn envelope: two gain operations with one entry point and
// one block loop (gain_processing.cpp); the per-sample formulas are in compressor.cpp and
// envelope.cpp, their dialogs in compressor_dialog.h and envelope_dialog.h.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace effra {

struct GraphPoint
{
    int x = 0; // pixels from the graph's left edge (input level)
    int y = 0; // pixels from the graph's top edge (output level)
    bool operator==(const GraphPoint&) const = default;
};

inline constexpr int kMaxControlPoints = 29;
// The transfer graph (control 4000) in pixels. Kept at or below 500 so that a per-mille
// preset position brings a point back to its own pixel.
inline constexpr int kGraphWidth = 400;
inline constexpr int kGraphHeight = 300;

// The envelope's drawing control (382) and the area inside it: left at a tenth of the width
// plus 30, bottom at nine tenths of the height minus 20, eight tenths of each side. The
// height is even, so the reset value H/2 is a gain of exactly 1.
inline constexpr int kEnvelopeControlWidth = 600;
inline constexpr int kEnvelopeControlHeight = 350;
struct EnvelopeArea
{
    int left, top, width, height;
    int bottom() const { return top + height; }
};
constexpr EnvelopeArea envelope_area()
{
    const int width = kEnvelopeControlWidth * 8 / 10;
    const int height = kEnvelopeControlHeight * 8 / 10;
    const int bottom = kEnvelopeControlHeight * 9 / 10 - 20;
    return {kEnvelopeControlWidth / 10 + 30, bottom - height, width, height};
}
static_assert(envelope_area().height % 2 == 0);

// Module-wide state, kept for the life of the process.
struct GainSettings
{
    int attack = 15;      // 1 to 100
    int channel_mode = 1; // envelope: 1 both, 2 left only, 3 right only
    // Control points in the order they were made; after a clear the first two are the
    // corners, which stay at the left and right edges. Empty shows as the two corners.
    std::vector<GraphPoint> points;
    // Envelope: one height above the area's bottom (0 to H) per pixel column.
    std::vector<int> curve;
    // Output amplitude for every input magnitude 0 to N + 1.
    std::vector<int32_t> table;
};

GainSettings& gain_settings();

// N for a sample size: 127 for 8-bit, 32767 for 16-bit.
constexpr int sample_limit(int sample_bytes)
{
    return sample_bytes == 1 ? 127 : 32767;
}

std::vector<int32_t> identity_table(int limit);
// The two corner points of a cleared graph.
std::vector<GraphPoint> corner_points(int width = kGraphWidth, int height = kGraphHeight);
// The points sorted by x and joined by straight lines in amplitude between the levels
// 45 (x - W) / W and -45 y / H; amplitudes outside the points keep the identity.
std::vector<int32_t> build_transfer_table(const std::vector<GraphPoint>& points, int limit,
                                          int width = kGraphWidth, int height = kGraphHeight);
// trunc(N * 10^(log10(N) * 0.01 * level)): level -45 to 0, 0 is full scale.
int32_t level_amplitude(double level, int limit);
// e = 1 - exp(-6.28318 / (attack * 0.0001 * samples per second)).
double smoothing_factor(int attack, unsigned long samples_per_second);

// "Compressor Values1": the attack, then x * 1000 / W and y * 1000 / H of each point.
std::vector<int> compressor_preset_values(const GainSettings& settings);
// Takes attack and points from a preset; false (nothing changed) when it holds no point.
bool apply_compressor_preset(GainSettings& settings, const std::vector<int>& values);

// One block of samples as stored, walked in pairs: the first sample of each pair goes
// through smoothing state 0, the second through state 1 (left and right of a stereo frame,
// two neighbours in a mono file).
struct GainBlock
{
    unsigned char* data = nullptr;
    size_t samples = 0;   // whole pairs, but for the last sample of an odd mono selection
    int sample_bytes = 1; // 1: unsigned around 128, 2: signed little-endian
};

// y = x + trunc(d), with d = s e and s = s - d + (T - x) from the transfer table T.
void compress_block(const GainBlock& block, const std::vector<int32_t>& table, double e,
                    double state[2]);

// The envelope's gain at each step of the selection.
struct EnvelopeGain
{
    const std::vector<int>* curve = nullptr;
    int height = 2;                    // H: curve value H / 2 is gain 1
    int channel_mode = 1;              // 2: left only, 3: right only
    unsigned long selection_bytes = 1; // whole selection
};

// offset_bytes: where the block starts within the selection.
void envelope_block(const GainBlock& block, const EnvelopeGain& gain, unsigned long offset_bytes);

// Where KVSECHO.INI lives: the compressor keeps its presets beside the echo's.
std::string compressor_preset_path();

} // namespace effra
