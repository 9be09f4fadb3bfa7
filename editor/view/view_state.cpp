#include "editor/view/view_state.h"

#include "common/child_frame.h"

#include <algorithm>
#include <cmath>

int video_strip_height(const CChildFrame& doc)
{
    return doc.video_source ? kVideoStripHeight : 0;
}

int waveform_top(const CChildFrame& doc)
{
    return video_strip_height(doc) + kRulerHeight;
}

double frames_per_pixel(const CChildFrame& doc)
{
    const double zoom = doc.current.zoom_factor > 0.0f ? doc.current.zoom_factor : 1.0;
    return std::max(1.0f, doc.current.base_factor) / zoom;
}

static int channel_count(const CChildFrame& doc)
{
    return doc.wave_format.channels == 2 ? 2 : 1;
}

double sample_to_x(const CChildFrame& doc, long sample)
{
    return static_cast<double>(sample - doc.first_visible) / channel_count(doc) /
           frames_per_pixel(doc);
}

long x_to_frame_sample(const CChildFrame& doc, double x)
{
    const long channels = channel_count(doc);
    long s = doc.view_to_sample(static_cast<float>(x));
    s = s / channels * channels;
    return std::clamp(s, 0L, doc.current.total_samples);
}

long words_for_pixels(const CChildFrame& doc, double pixels)
{
    return static_cast<long>(pixels * frames_per_pixel(doc)) * channel_count(doc);
}

ChannelChoice channels_at(const CChildFrame& doc, const ViewState& view, int y)
{
    ChannelChoice c;
    if (channel_count(doc) != 2)
        return c;
    const int top = waveform_top(doc);
    const int area = std::max(1, view.height - top);
    const int offset = y - top;
    if (offset < area / 4) {
        c.right = 0;
    } else if (offset >= area - area / 4) {
        c.left = 0;
    }
    return c;
}

void sync_selection_x(CChildFrame& doc)
{
    doc.select_x_start = static_cast<float>(sample_to_x(doc, doc.current.select_start));
    doc.select_x_end = static_cast<float>(sample_to_x(doc, doc.current.select_end));
}
