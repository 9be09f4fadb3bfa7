#include "editor/view/view_highlight.h"

#include "common/child_frame.h"

#include <algorithm>
#include <cmath>

int move_highlight_edge(CChildFrame& doc, ViewState& view, int command)
{
    FileSlot& s = doc.current;
    if (!s.has_selection || command < cmd::kReview || command > cmd::kRightLater)
        return 0;
    const long channels = doc.wave_format.channels == 2 ? 2 : 1;
    const long rate = static_cast<long>(doc.wave_format.sample_rate);
    const bool long_step = command == cmd::kReview || command == cmd::kCue;
    const long step = (long_step ? rate / 20 : rate / 200) * channels;
    const bool moves_start =
        command == cmd::kReview || command == cmd::kLeftEarlier || command == cmd::kLeftLater;
    const int direction =
        command == cmd::kReview || command == cmd::kLeftEarlier || command == cmd::kRightEarlier
            ? -1
            : 1;
    const long last = std::max(0L, s.total_samples - 1);
    long& edge = moves_start ? s.select_start : s.select_end;
    const double old_x = std::floor(sample_to_x(doc, edge));
    edge = std::clamp(edge + direction * step, 0L, last);
    // The edges never cross: a reversed section would confuse every edit.
    if (moves_start)
        s.select_start = std::min(s.select_start, s.select_end);
    else
        s.select_end = std::max(s.select_end, s.select_start);
    const double new_x = std::floor(sample_to_x(doc, edge));
    view.caret_x = static_cast<float>(new_x == old_x ? old_x + direction : new_x);
    view.caret_wanted = 1;
    view.caret_sample = edge;
    sync_selection_x(doc);
    return 1;
}

void select_all(CChildFrame& doc, ViewState& view)
{
    doc.current.has_selection = 1;
    doc.current.select_start = 0;
    doc.current.select_end = doc.current.total_samples;
    doc.left_active = doc.right_active = 1;
    view.caret_placed = 0;
    sync_selection_x(doc);
}
