#pragma once
// Which samples the magnified plot shows and where they land in pixels. Only one page
// of frames is read at a time, so the plot costs the same for a second or for an hour.
#include "common/child_frame.h"

#include <string>
#include <vector>

namespace magnel {

inline constexpr int kPlotWidth = 640;     // pixels of the plot area
inline constexpr int kChannelHeight = 150; // pixels of one channel's trace
// Samples closer than this would merge into a line; more frames go to further pages.
inline constexpr int kMinPixelsPerFrame = 4;

// A run of whole frames of the document.
struct FrameRange
{
    long first_frame = 0;
    long frame_count = 0;
};

// The highlighted section in whole frames. An empty section (a caret) gives the page of
// frames that follows it, so the command still shows where the caret stands.
FrameRange plotted_frames(const CChildFrame& doc, int width_px = kPlotWidth);

struct PageLayout
{
    long frames_per_page = 0;
    double pixels_per_frame = 0.0;
};
// Few frames spread over the whole width; many are paged at kMinPixelsPerFrame.
PageLayout page_layout(long frame_count, int width_px);

// First frame of the page that holds `frame`, the last page kept full.
long page_start(const FrameRange& range, const PageLayout& layout, long frame);

// Full positive scale at the top row, full negative at the bottom row, 0 in the middle.
int sample_to_y(int value, int bits, int height_px);
// Centre of a frame's column.
int frame_to_x(long index_in_page, double pixels_per_frame);

// Signed values (8-bit data minus 128) of frames [first, first + count) of the current
// state, one vector per channel, through the mapped top level, or a read of just those
// frames when the document is too short to be mapped. False when they cannot be read.
bool read_frames(const CChildFrame& doc, long first_frame, long count,
                 std::vector<std::vector<int>>& per_channel);

struct PlotPoint
{
    int x = 0;
    int y = 0;
    int value = 0;
};

struct PlotPage
{
    long first_frame = 0;
    long frame_count = 0;
    std::vector<std::vector<PlotPoint>> channels;
    std::string first_time; // time of the page's first sample
};

// Reads and scales one page. False (page emptied) when the frames cannot be read.
bool build_page(const CChildFrame& doc, long first_frame, const PageLayout& layout, int height_px,
                int time_format, PlotPage& page);

} // namespace magnel
