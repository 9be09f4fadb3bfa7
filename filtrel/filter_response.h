#pragma once
// The informative response curve of the "Filter Options" dialog, as numbers: amplitude
// 0 .. 1 against 0 Hz .. the sample rate. A filter's edge has the shape
// e^-(d / (w/2))^2 at d Hz beyond its frequency, tabulated one value per Hz up to 5w/4.
#include "filtrel/filter_settings.h"

#include <string>
#include <utility>
#include <vector>

inline constexpr int kPlotTableFloats = 12500; // 50000 bytes

struct ResponseLabel
{
    float at; // Hz on the frequency axis, amplitude on the level axis
    std::string text;
};

struct ResponsePlot
{
    long sample_rate = 0;
    std::vector<std::pair<float, float>> curve;  // (Hz, amplitude), ascending Hz
    std::vector<ResponseLabel> frequency_labels; // "%-3.1f kHz"
    std::vector<ResponseLabel> level_labels;     // "%-5.1f dB"
};

// Fills the first values of the table (at most its size) and returns how many: the edge
// shape for width w at 0, 1, 2 ... Hz, up to 5w/4.
int tabulate_edge(float width, float* table, int table_size);

// The curve for the type of the checked radio button (275 .. 279, 1001): low pass 1 up to
// the frequency, then the edge; high pass its mirror; band pass the edge on both sides of
// the centre (with the sweep on, at its start and at its stop); notch one minus that;
// hash the response of its three-point average (pairs one frame apart in stereo, two
// words apart in mono).
ResponsePlot filter_response(int type, const FilterSettings& settings, long sample_rate,
                             int channels, float* table, int table_size);
