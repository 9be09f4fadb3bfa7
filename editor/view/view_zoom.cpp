#include "editor/view/view_zoom.h"

#include "common/child_frame.h"
#include "editor/view/view_keys.h"
#include "editor/view/view_scroll.h"

#include <algorithm>
#include <cmath>

namespace {

long channels_of(const CChildFrame& doc)
{
    return doc.wave_format.channels == 2 ? 2 : 1;
}

// What a zoom keeps in view: the highlight (its middle when it fits the window, else its
// start), or the caret; -1 for neither.
long zoom_focus(const CChildFrame& doc, const ViewState& view)
{
    const FileSlot& s = doc.current;
    if (s.has_selection && s.select_end > s.select_start) {
        const long window = words_for_pixels(doc, std::max(1, view.width));
        if (s.select_end - s.select_start <= window)
            return (s.select_start + s.select_end) / 2;
        return s.select_start;
    }
    if (view.caret_placed)
        return view.caret_sample;
    return -1;
}

// Puts sample at view x (clamped by the scroll range afterwards).
void place_at(CChildFrame& doc, long sample, double x)
{
    const long channels = channels_of(doc);
    const long first = sample - static_cast<long>(x * frames_per_pixel(doc)) * channels;
    doc.first_visible = std::max(0L, first) / channels * channels;
}

void zoom_changed(CChildFrame& doc, ViewState& view, long focus, double focus_x)
{
    if (focus >= 0)
        place_at(doc, focus, focus_x);
    update_scroll(doc, view);
    view.full_redraw = 1;
    view.zoom_redraw = 1;
}

// Where the focus should stand after a zoom: where it stood when it was in view, else
// in the middle.
double focus_x_for(const CChildFrame& doc, const ViewState& view, long focus)
{
    if (focus < 0)
        return 0.0;
    const double x = sample_to_x(doc, focus);
    if (x >= 0.0 && x < view.width)
        return x;
    return view.width / 2.0;
}

} // namespace

float fit_zoom_factor(const CChildFrame& doc, const ViewState& view)
{
    const FileSlot& s = doc.current;
    const double frames = static_cast<double>(s.total_samples) / channels_of(doc);
    if (view.width <= 0 || frames <= 0.0)
        return 1.0f;
    const double fit = std::max(1.0f, s.base_factor) * view.width / frames;
    return static_cast<float>(std::min<double>(fit, std::max(1.0f, s.base_factor)));
}

int zoom_in(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    if (s.total_samples <= kTinyDocumentWords || !(s.zoom_factor < s.base_factor))
        return 0;
    const long focus = zoom_focus(doc, view);
    const double x = focus_x_for(doc, view, focus);
    s.zoom_level = std::min(s.zoom_level + 1, s.level_count);
    s.zoom_factor = std::min(s.base_factor, s.zoom_factor * 2.0f);
    zoom_changed(doc, view, focus, x);
    return 1;
}

int zoom_out(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    // Out to where the whole file fills the window.
    const float floor = fit_zoom_factor(doc, view);
    if (s.zoom_factor <= floor)
        return 0;
    const long focus = zoom_focus(doc, view);
    const double x = focus_x_for(doc, view, focus);
    s.zoom_level = std::max(s.zoom_level - 1, 1);
    s.zoom_factor = std::max(floor, s.zoom_factor * 0.5f);
    zoom_changed(doc, view, focus, x);
    return 1;
}

int minimum_zoom(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    const float fit = fit_zoom_factor(doc, view);
    if (s.zoom_factor == fit && doc.first_visible == 0)
        return 0;
    s.zoom_factor = fit;
    s.zoom_level = 1;
    doc.first_visible = 0;
    zoom_changed(doc, view, -1, 0.0);
    return 1;
}

int maximum_zoom(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    if (s.zoom_factor == s.base_factor)
        return 0;
    const float factor = s.zoom_factor;
    const int level = s.zoom_level;
    s.zoom_factor = s.base_factor * 0.5f;
    s.zoom_level = s.level_count - 1;
    if (zoom_in(doc, view))
        return 1;
    // A tiny document takes no zoom in; it keeps the zoom it had.
    s.zoom_factor = factor;
    s.zoom_level = level;
    return 0;
}

int zoom_around(CChildFrame& doc, ViewState& view, int steps, int x)
{
    FileSlot& s = doc.current;
    if (steps == 0 || s.total_samples <= kTinyDocumentWords)
        return 0;
    const long under = x_to_frame_sample(doc, x);
    const float before = s.zoom_factor;
    const float floor = fit_zoom_factor(doc, view);
    for (int i = 0; i < std::abs(steps); ++i) {
        if (steps > 0 && s.zoom_factor < s.base_factor) {
            s.zoom_factor = std::min(s.base_factor, s.zoom_factor * 2.0f);
            s.zoom_level = std::min(s.zoom_level + 1, s.level_count);
        } else if (steps < 0 && s.zoom_factor > floor) {
            s.zoom_factor = std::max(floor, s.zoom_factor * 0.5f);
            s.zoom_level = std::max(s.zoom_level - 1, 1);
        }
    }
    if (s.zoom_factor == before)
        return 0;
    zoom_changed(doc, view, under, x);
    return 1;
}
