#include "editor/view/view_scroll.h"

#include "common/child_frame.h"

#include <algorithm>
#include <cmath>

void compute_scroll(const CChildFrame& doc, ViewState& view)
{
    ScrollState& s = view.scroll;
    const long total = doc.current.total_samples;
    const int width = std::max(1, view.width);
    s.step = std::max(1L, words_for_pixels(doc, width / 10.0));
    s.page = std::max(1L, words_for_pixels(doc, width * 9.0 / 10.0));
    long range = std::max(0L, (total - s.page) / s.step);
    s.divisor = 1;
    for (long r = range; r > kScrollBarLimit; r /= 2)
        s.divisor *= 2;
    s.position = doc.first_visible / s.step;

    if (doc.current.zoom_factor != 1.0f) {
        // Lower the range while the last position would leave the right part of the
        // window empty, then allow one more step so the very end can be reached.
        const long window_words = words_for_pixels(doc, width);
        if (range > 0 && range * s.step + window_words > total) {
            const long fits = total > window_words ? (total - window_words) / s.step : 0;
            range = std::min(range, std::max(0L, fits));
        }
        // With the whole file in the window (give or take the last pixel's rounding) there
        // is nothing to scroll.
        if (words_for_pixels(doc, width + 1.0) < total)
            range += 1;
        else
            range = 0;
    }
    s.range = range;

    s.stretch = 1.0;
    double position = static_cast<double>(std::min(s.position, range));
    if (range >= 1 && range < kStretchedRange) {
        s.stretch = static_cast<double>(kStretchedRange) / static_cast<double>(range);
        range = kStretchedRange;
        position *= s.stretch;
    }
    s.bar_maximum = static_cast<int>(range / s.divisor);
    s.bar_value = std::min(s.bar_maximum, static_cast<int>(position / s.divisor));
}

long first_visible_for_bar(const CChildFrame& doc, const ScrollState& s, int bar_value)
{
    const long channels = doc.wave_format.channels == 2 ? 2 : 1;
    const double position =
        static_cast<double>(std::clamp(bar_value, 0, s.bar_maximum)) * s.divisor / s.stretch;
    long first = static_cast<long>(std::llround(position)) * s.step;
    first = std::clamp(first, 0L, std::max(0L, doc.current.total_samples - channels));
    return first / channels * channels;
}

void update_scroll(CChildFrame& doc, ViewState& view)
{
    compute_scroll(doc, view);
    const long last = first_visible_for_bar(doc, view.scroll, view.scroll.bar_maximum);
    if (doc.first_visible > last || view.scroll.bar_maximum == 0) {
        doc.first_visible = view.scroll.bar_maximum == 0 ? 0 : last;
        compute_scroll(doc, view);
    }
    sync_selection_x(doc);
}

void scroll_to_bar(CChildFrame& doc, ViewState& view, int bar_value)
{
    doc.first_visible = first_visible_for_bar(doc, view.scroll, bar_value);
    compute_scroll(doc, view);
    view.scroll.bar_value = std::clamp(bar_value, 0, view.scroll.bar_maximum);
    sync_selection_x(doc);
    view.full_redraw = 1;
}

void go_to_beginning(CChildFrame& doc, ViewState& view)
{
    scroll_to_bar(doc, view, 0);
}

void go_to_end(CChildFrame& doc, ViewState& view)
{
    compute_scroll(doc, view);
    scroll_to_bar(doc, view, view.scroll.bar_maximum);
}

int go_to_highlight(CChildFrame& doc, ViewState& view)
{
    // With nothing highlighted, the caret a click or a key put down stands for it.
    if (!doc.current.has_selection && !view.caret_placed)
        return 0;
    const long start = doc.current.has_selection ? doc.current.select_start : view.caret_sample;
    const long tenth = std::max(1L, words_for_pixels(doc, std::max(1, view.width) / 10.0));
    if (start < tenth)
        return 0;
    const long channels = doc.wave_format.channels == 2 ? 2 : 1;
    // Only when the whole file is in the window does the view stay at its start.
    const bool whole_file =
        words_for_pixels(doc, std::max(1, view.width)) >= doc.current.total_samples;
    long first = whole_file ? 0 : start - tenth;
    doc.first_visible = first / channels * channels;
    compute_scroll(doc, view);
    sync_selection_x(doc);
    view.full_redraw = 1;
    return 1;
}
