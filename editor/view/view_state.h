#pragma once
// What the waveform view keeps beside the document's own view fields, and the layout
// of its client area: the video strip, the time ruler, then the waveform itself.
#include <cstdint>

class CChildFrame;

inline constexpr int kVideoStripHeight = 78;
// The waveform begins this far below the video strip (or the top of the client area).
inline constexpr int kRulerHeight = 46;
// Clicks this close to the top of the client area belong to the ruler and its markers.
inline constexpr int kRulerClickZone = 15;
// Documents of this many sample words or fewer take no mouse work and no zoom in.
inline constexpr long kTinyDocumentWords = 8;
// Above this many frames per pixel the view draws from the overview level.
inline constexpr double kOverviewFramesPerPixel = 128.0;
inline constexpr int kOverviewRatio = 128; // sample words per overview word

struct ScrollState
{
    long step = 1;        // sample words of a tenth of the window width
    long page = 1;        // ... of nine tenths
    long range = 0;       // positions before the divisor
    long divisor = 1;     // keeps the bar's range within 32767
    double stretch = 1.0; // small ranges are spread over 1000 bar units
    long position = 0;    // first_visible / step, before stretch and divisor
    // What the scroll bar receives.
    int bar_maximum = 0;
    int bar_value = 0;
};

struct ViewState
{
    int width = 0; // client area of the drawing, pixels
    int height = 0;
    ScrollState scroll;
    float caret_x = 0.0f;
    int caret_wanted = 0;
    int caret_shown = 0;
    // A click put the caret down and nothing is highlighted: playback starts there.
    int caret_placed = 0;
    long caret_sample = 0;
    // The highlight's edge that stays while Shift and the cursor keys move the other; -1
    // when the mouse made the highlight (the end moves then).
    long anchor = -1;
    uint32_t full_redraw = 1;
    uint32_t scroll_redraw = 0;
    uint32_t zoom_redraw = 0;
};

// Top of the waveform area: below the video strip (if any) and the ruler.
int waveform_top(const CChildFrame& doc);
int video_strip_height(const CChildFrame& doc);

double frames_per_pixel(const CChildFrame& doc);
// View x (float pixels from the left edge) of a sample word, from first_visible.
double sample_to_x(const CChildFrame& doc, long sample);
// The sample word under a view x, on a frame boundary, within 0 and total_samples.
long x_to_frame_sample(const CChildFrame& doc, double x);
// Sample words covered by a number of pixels at the present zoom.
long words_for_pixels(const CChildFrame& doc, double pixels);

// Channels a click at height y chooses: top quarter of the waveform area left only,
// bottom quarter right only, else both (always both for mono).
struct ChannelChoice
{
    int left = 1;
    int right = 1;
};
ChannelChoice channels_at(const CChildFrame& doc, const ViewState& view, int y);

// select_x_start / select_x_end of the document follow its selection (unclipped).
void sync_selection_x(CChildFrame& doc);
