#include "editor/view/waveform_columns.h"

#include "common/child_frame.h"
#include "editor/view/view_state.h"

#include <algorithm>

namespace {

// Interleaved top-level data: frames_per_column frames per column.
template <typename Sample, int Offset>
int top_level_columns(const Sample* p, long total_frames, long first_frame, double per_column,
                      int channels, int width, WaveColumns& out)
{
    int c = 0;
    for (; c < width; ++c) {
        // Column edges at fractional frames, so that a zoom fitting the file to the window
        // reaches the window's right edge.
        const long from = first_frame + static_cast<long>(c * per_column);
        if (from >= total_frames)
            break;
        const long to =
            std::min(total_frames,
                     std::max(from + 1, first_frame + static_cast<long>((c + 1) * per_column)));
        const Sample* q = p + from * channels;
        const long n = to - from;
        int lmin = 32767, lmax = -32767, rmin = 32767, rmax = -32767;
        if (channels == 2) {
            for (long i = 0; i < n; ++i) {
                const int l = static_cast<int>(q[2 * i]) - Offset;
                const int r = static_cast<int>(q[2 * i + 1]) - Offset;
                lmin = std::min(lmin, l);
                lmax = std::max(lmax, l);
                rmin = std::min(rmin, r);
                rmax = std::max(rmax, r);
            }
            out.right[c] = {rmin, rmax};
        } else {
            for (long i = 0; i < n; ++i) {
                const int v = static_cast<int>(q[i]) - Offset;
                lmin = std::min(lmin, v);
                lmax = std::max(lmax, v);
            }
        }
        out.left[c] = {lmin, lmax};
    }
    return c;
}

// Level 1 holds, per 256 frames, the minima then the maxima of each channel.
template <typename Sample, int Offset>
int overview_columns(const Sample* p, long groups, double first_group, double per_column,
                     int channels, int width, WaveColumns& out)
{
    const int stride = 2 * channels;
    int c = 0;
    for (; c < width; ++c) {
        const long from = static_cast<long>(first_group + c * per_column);
        if (from >= groups)
            break;
        const long to = std::min(
            groups, std::max(from + 1, static_cast<long>(first_group + (c + 1) * per_column)));
        int lmin = 32767, lmax = -32767, rmin = 32767, rmax = -32767;
        for (long g = from; g < to; ++g) {
            const Sample* q = p + g * stride;
            lmin = std::min(lmin, static_cast<int>(q[0]) - Offset);
            lmax = std::max(lmax, static_cast<int>(q[channels]) - Offset);
            if (channels == 2) {
                rmin = std::min(rmin, static_cast<int>(q[1]) - Offset);
                rmax = std::max(rmax, static_cast<int>(q[3]) - Offset);
            }
        }
        out.left[c] = {lmin, lmax};
        if (channels == 2)
            out.right[c] = {rmin, rmax};
    }
    return c;
}

} // namespace

void compute_columns(CChildFrame& doc, int width, int screen_width, WaveColumns& out)
{
    FileSlot& s = doc.current;
    out.channels = doc.wave_format.channels == 2 ? 2 : 1;
    const bool eight = doc.wave_format.bits_per_sample == 8;
    out.full_scale = eight ? 128 : 32768;
    out.count = 0;
    out.from_overview = false;
    width = std::max(0, width);
    out.left.assign(width, {});
    out.right.assign(out.channels == 2 ? width : 0, {});
    const int top = s.level_count;
    if (width == 0 || top < 1 || top >= kLevelTable || !s.mapped[top] || !s.mapping[top])
        return;
    const long total_frames = s.total_samples / out.channels;
    const long first_frame = std::max(0L, doc.first_visible) / out.channels;

    double per_column;
    if (s.total_samples < screen_width) {
        s.zoom_factor = 1.0f;
        per_column = 1.0;
    } else {
        per_column = std::max(1.0, frames_per_pixel(doc));
    }
    if (per_column <= kOverviewFramesPerPixel || !s.mapped[1] || !s.mapping[1] || top < 2) {
        out.count =
            eight ? top_level_columns<unsigned char, 128>(s.view8[top], total_frames, first_frame,
                                                          per_column, out.channels, width, out)
                  : top_level_columns<short, 0>(s.view16[top], total_frames, first_frame,
                                                per_column, out.channels, width, out);
        return;
    }
    // The overview's words stand for 128 sample words each: whole groups of 256 frames.
    const long stride = 2L * out.channels;
    const long groups = s.level_samples[1] / stride;
    out.from_overview = true;
    const double per_group = std::max(1.0, per_column / 256.0);
    const double first_group = first_frame / 256.0;
    out.count = eight ? overview_columns<unsigned char, 128>(s.view8[1], groups, first_group,
                                                             per_group, out.channels, width, out)
                      : overview_columns<short, 0>(s.view16[1], groups, first_group, per_group,
                                                   out.channels, width, out);
}
