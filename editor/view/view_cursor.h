#pragma once
// Which mouse cursor the waveform view shows where.
#include "editor/view/view_state.h"

class CChildFrame;

enum class ViewCursor {
    Arrow, // the system arrow
    LeftChannel,
    RightChannel,
    LeftRight,
    Watch,
    Nodrop,
    DragNew,
    Drag,
    Cuelist,
};

// The resource name of one of the view's own cursors ("" for the arrow).
const char* cursor_name(ViewCursor cursor);

// The zone cursor at a point; over_marker is true over a marker or while one is
// dragged. Documents of 8 sample words or fewer keep the arrow.
ViewCursor zone_cursor(const CChildFrame& doc, const ViewState& view, int x, int y,
                       bool over_marker);
