#include "editor/view/view_keys.h"

#include "common/child_frame.h"
#include "editor/view/view_scroll.h"

#include <algorithm>
#include <cmath>

namespace {

long channels_of(const CChildFrame& doc)
{
    return doc.wave_format.channels == 2 ? 2 : 1;
}

long on_frame(const CChildFrame& doc, long sample)
{
    const long channels = channels_of(doc);
    return std::clamp(sample, 0L, doc.current.total_samples) / channels * channels;
}

// The edge of the highlight that stays while the cursor moves.
long anchor_of(const CChildFrame& doc, const ViewState& view)
{
    const FileSlot& s = doc.current;
    if (!s.has_selection)
        return cursor_position(doc, view);
    return view.anchor == s.select_end ? s.select_end : s.select_start;
}

} // namespace

long cursor_position(const CChildFrame& doc, const ViewState& view)
{
    const FileSlot& s = doc.current;
    if (s.has_selection && s.select_end > s.select_start)
        return view.anchor == s.select_end ? s.select_start : s.select_end;
    return view.caret_placed ? view.caret_sample : s.select_start;
}

void bring_into_view(CChildFrame& doc, ViewState& view, long sample)
{
    const double x = sample_to_x(doc, sample);
    const int width = std::max(1, view.width);
    if (x >= 0.0 && x < width)
        return;
    const long tenth = words_for_pixels(doc, width / 10.0);
    // Left of the window it comes in a tenth from the left edge, right of it a tenth
    // from the right edge.
    const long first = x < 0.0 ? sample - tenth : sample - words_for_pixels(doc, width * 0.9);
    doc.first_visible = on_frame(doc, std::max(0L, first));
    update_scroll(doc, view);
    view.full_redraw = 1;
}

int move_cursor(CChildFrame& doc, ViewState& view, CursorKey key, bool extend)
{
    FileSlot& s = doc.current;
    if (s.total_samples <= 0)
        return 0;
    const long from = cursor_position(doc, view);
    const long anchor = anchor_of(doc, view);
    const long pixel = std::max(channels_of(doc), words_for_pixels(doc, 1.0));
    long to = from;
    switch (key) {
    case CursorKey::Home:
        to = 0;
        break;
    case CursorKey::End:
        to = s.total_samples;
        break;
    case CursorKey::Left:
        to = from - pixel;
        break;
    case CursorKey::Right:
        to = from + pixel;
        break;
    }
    to = on_frame(doc, to);
    const bool had_selection = s.has_selection && s.select_end > s.select_start;
    if (extend) {
        s.select_start = std::min(anchor, to);
        s.select_end = std::max(anchor, to);
        s.has_selection = s.select_end > s.select_start ? 1 : 0;
        view.anchor = anchor;
        view.caret_placed = s.has_selection ? 0 : 1;
    } else {
        if (to == from && !had_selection)
            return 0;
        s.has_selection = 0;
        s.select_start = s.select_end = to;
        view.anchor = -1;
        view.caret_placed = 1;
    }
    view.caret_sample = to;
    s.select_start_byte = s.select_start * doc.bytes_per_sample();
    s.select_end_byte = s.select_end * doc.bytes_per_sample();
    bring_into_view(doc, view, to);
    sync_selection_x(doc);
    view.full_redraw = 1;
    return 1;
}

int scroll_steps(CChildFrame& doc, ViewState& view, int steps)
{
    if (steps == 0)
        return 0;
    compute_scroll(doc, view);
    const int before = view.scroll.bar_value;
    // A bar unit is a step, or a stretched part of one on short ranges.
    const int unit = std::max(1, static_cast<int>(view.scroll.stretch / view.scroll.divisor));
    const int value = std::clamp(before + steps * unit, 0, view.scroll.bar_maximum);
    if (value == before)
        return 0;
    scroll_to_bar(doc, view, value);
    return 1;
}
