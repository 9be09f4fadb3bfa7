#include "editor/view/view_mouse.h"

#include "common/child_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

bool beyond_data(const CChildFrame& doc, double x)
{
    return x > sample_to_x(doc, doc.current.total_samples);
}

void MouseSelection::start_new(CChildFrame& doc, const ViewState& view, long sample, int y)
{
    const ChannelChoice c = channels_at(doc, view, y);
    doc.left_active = c.left;
    doc.right_active = c.right;
    doc.current.has_selection = 0;
    doc.current.select_start = doc.current.select_end = sample;
    anchor_ = sample;
    mode_ = Mode::Selecting;
}

void MouseSelection::extend_to(CChildFrame& doc, long sample)
{
    doc.current.select_start = std::min(anchor_, sample);
    doc.current.select_end = std::max(anchor_, sample);
    sync_selection_x(doc);
}

MouseResult MouseSelection::press(CChildFrame& doc, const ViewState& view, int x, int y, bool shift)
{
    mode_ = Mode::Idle;
    if (doc.current.total_samples <= kTinyDocumentWords)
        return MouseResult::Ignored;
    if (y < kRulerClickZone)
        return MouseResult::RulerClick;
    if (y < waveform_top(doc) || beyond_data(doc, x))
        return MouseResult::Ignored;
    const long sample = x_to_frame_sample(doc, x);
    FileSlot& s = doc.current;
    const bool highlighted = s.has_selection && s.select_end > s.select_start;
    if (highlighted && !shift) {
        const double x0 = sample_to_x(doc, s.select_start);
        const double x1 = sample_to_x(doc, s.select_end);
        if (x >= x0 && x <= x1) {
            press_x_ = x;
            press_y_ = y;
            mode_ = Mode::Armed;
            return MouseResult::DragArmed;
        }
    }
    if (shift && s.has_selection) {
        const double x0 = sample_to_x(doc, s.select_start);
        const double x1 = sample_to_x(doc, s.select_end);
        anchor_ = std::abs(x - x0) <= std::abs(x - x1) ? s.select_end : s.select_start;
        mode_ = Mode::Selecting;
        extend_to(doc, sample);
        return MouseResult::Selecting;
    }
    start_new(doc, view, sample, y);
    sync_selection_x(doc);
    return MouseResult::Selecting;
}

MouseResult MouseSelection::move(CChildFrame& doc, const ViewState& view, int x, int y)
{
    switch (mode_) {
    case Mode::Selecting:
        extend_to(doc, x_to_frame_sample(doc, std::max(0, x)));
        return MouseResult::Selecting;
    case Mode::Armed:
        if (std::abs(x - press_x_) > kDragThresholdX || std::abs(y - press_y_) >= kDragThresholdY) {
            mode_ = Mode::Dragging;
            return MouseResult::DragStarted;
        }
        return MouseResult::DragArmed;
    default:
        return MouseResult::Ignored;
    }
}

MouseResult MouseSelection::release(CChildFrame& doc, ViewState& view, int x, int y)
{
    if (mode_ == Mode::Armed) {
        // Pressed and let go inside the section without dragging: a plain click.
        start_new(doc, view, x_to_frame_sample(doc, x), press_y_);
    }
    if (mode_ != Mode::Selecting) {
        mode_ = Mode::Idle;
        return MouseResult::Ignored;
    }
    mode_ = Mode::Idle;
    FileSlot& s = doc.current;
    s.has_selection = s.select_end > s.select_start ? 1 : 0;
    view.caret_placed = s.has_selection ? 0 : 1;
    view.caret_sample = s.select_start;
    sync_selection_x(doc);
    return MouseResult::Finished;
}
