#pragma once
// What the 3D and 2D spectrum displays draw, worked out without a toolkit: the section they
// look at, the band mapping, the slices of the waterfall with their mesh and labels, the
// 2D plot, the travelling marker and the auto-repeat of Next and Prev.
#include "filtrel/fft.h"
#include "filtrel/spectrum_settings.h"

#include <string>
#include <utility>
#include <vector>

class CChildFrame;

inline constexpr int kSpectrumFrames = 256;

// The highlighted section as the displays see it; set when the 3D display opens.
struct SpectrumSection
{
    long rate = 0;
    int frame_bytes = 1;
    unsigned long start_byte = 0;
    unsigned long selection_bytes = 0;
    double total_ms = 0;
    double play_ms = 0; // playing time of the selection (fractions kept: short ones are > 0)
};

extern SpectrumSection g_spectrum_section;

void compute_spectrum_section(const CChildFrame& doc);

// Keeps the band inside 0 .. rate/2 with high at least 1000 Hz above low where the rate
// allows it.
void clamp_band(long rate, int& low_hz, int& high_hz);

// Fills k display points from n magnitudes for the band (see the design of the displays:
// each bin gives round((rate/2) / (high - low)) points interpolated toward the next bin).
// Points past the end of the magnitudes stay 0.
void map_band(const int* magnitudes, int n, int k, long rate, int low_hz, int high_hz, int* points);

// Byte offsets within the selection of the slices, back (the last block) to front; a
// short selection gives negative offsets.
std::vector<long> slice_offsets(unsigned long selection_bytes, int slices, int frame_bytes);

// Seconds from the start of the file of the block at this offset within the selection.
double block_seconds(long offset_in_selection);

struct Segment
{
    FftPoint from;
    FftPoint to;
};

struct WaterfallSlice
{
    long offset = 0;
    int baseline = 0;
    std::vector<FftPoint> curve; // left to right
    FftPoint anchor{};           // the middle of the curve: where the marker runs
    std::vector<Segment> mesh;   // every 1000 Hz, to the same point of the slice behind
    std::string label;           // "%8.3f s" or empty
    FftPoint label_at{};
};

struct AxisLabel
{
    FftPoint at;
    std::string text;
};

struct WaterfallPicture
{
    int width = 0; // the drawing area; set by the caller
    int height = 0;
    std::vector<WaterfallSlice> slices; // back to front, the order of drawing
    Segment axis{};
    std::vector<AxisLabel> axis_labels;
};

struct SpectrumPlot
{
    int width = 0;
    int height = 0;
    FftPoint origin{};
    int top = 0;   // the curve is clipped here
    int right = 0; // end of the frequency axis
    std::vector<FftPoint> curve;
    std::vector<AxisLabel> frequency_labels;
    std::vector<AxisLabel> amplitude_labels;
    std::string title;
};

struct MarkerPosition
{
    bool shown = false;
    FftPoint at{};
};

// Where the marker is after this long of playing; hidden outside the inner slices.
MarkerPosition marker_at(const WaterfallPicture& picture, double elapsed_ms, double play_ms);

// Next and Prev held down: one step at once, the next after 1000 ms, ten at 150 ms, then
// every 40 ms. steps_taken counts the steps made so far (1 after the first).
int repeat_delay_ms(int steps_taken);

// 2D stepping by N bytes, kept inside the selection. False when nothing moved.
bool step_2d_next();
bool step_2d_prev();

// Ends the marker of the 3D display (its owner may call it when playback ends).
void stop_3D_sprite_timer();
bool sprite_timer_running();
void start_3D_sprite_timer(double start_ms);
double sprite_timer_start_ms();
