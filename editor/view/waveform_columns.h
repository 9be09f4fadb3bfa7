#pragma once
// The minimum and maximum of each pixel column of the view, read from the mapped top
// level at 128 frames per pixel or fewer, else from the level-1 overview. Nothing is
// read through file calls.
#include <vector>

class CChildFrame;

struct ColumnSpan
{
    int min = 0;
    int max = 0;
};

struct WaveColumns
{
    int channels = 1;
    int full_scale = 32768; // 128 for 8-bit data
    bool from_overview = false;
    int count = 0;                // columns with data, from column 0
    std::vector<ColumnSpan> left; // or the only channel
    std::vector<ColumnSpan> right;
};

// Fills the columns for a window width. A document shorter than screen_width sample
// words is shown one frame per column and its zoom_factor becomes 1.0.
void compute_columns(CChildFrame& doc, int width, int screen_width, WaveColumns& out);
