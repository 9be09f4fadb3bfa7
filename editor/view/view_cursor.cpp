#include "editor/view/view_cursor.h"

#include "common/child_frame.h"
#include "editor/view/view_mouse.h"

const char* cursor_name(ViewCursor cursor)
{
    switch (cursor) {
    case ViewCursor::LeftChannel:
        return "LeftChannelCursor";
    case ViewCursor::RightChannel:
        return "RightChannelCursor";
    case ViewCursor::LeftRight:
        return "LeftRightCursor";
    case ViewCursor::Watch:
        return "WatchCursor";
    case ViewCursor::Nodrop:
        return "NodropCursor";
    case ViewCursor::DragNew:
        return "DragNewCursor";
    case ViewCursor::Drag:
        return "DragCursor";
    case ViewCursor::Cuelist:
        return "CuelistCursor";
    case ViewCursor::Arrow:
        break;
    }
    return "";
}

ViewCursor zone_cursor(const CChildFrame& doc, const ViewState& view, int x, int y,
                       bool over_marker)
{
    if (doc.current.total_samples <= kTinyDocumentWords)
        return ViewCursor::Arrow;
    if (over_marker || y < kRulerClickZone)
        return ViewCursor::Cuelist;
    if (y < waveform_top(doc) || beyond_data(doc, x))
        return ViewCursor::Arrow;
    if (doc.wave_format.channels != 2)
        return ViewCursor::LeftRight;
    const ChannelChoice c = channels_at(doc, view, y);
    if (!c.right)
        return ViewCursor::LeftChannel;
    if (!c.left)
        return ViewCursor::RightChannel;
    return ViewCursor::LeftRight;
}
