#include "editor/view/view_zoom.h"

#include "common/child_frame.h"
#include "editor/view/view_scroll.h"

#include <algorithm>

static void zoom_changed(CChildFrame& doc, ViewState& view)
{
    update_scroll(doc, view);
    view.full_redraw = 1;
    view.zoom_redraw = 1;
}

int zoom_in(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    if (s.total_samples <= kTinyDocumentWords || !(s.zoom_factor < s.base_factor))
        return 0;
    s.zoom_level = std::min(s.zoom_level + 1, s.level_count);
    s.zoom_factor *= 2.0f;
    zoom_changed(doc, view);
    return 1;
}

int zoom_out(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    if (s.zoom_factor == 1.0f)
        return 0;
    s.zoom_level = std::max(s.zoom_level - 1, 1);
    s.zoom_factor = std::max(1.0f, s.zoom_factor * 0.5f);
    zoom_changed(doc, view);
    return 1;
}

int minimum_zoom(CChildFrame& doc, ViewState& view)
{
    FileSlot& s = doc.current;
    if (s.zoom_factor == 1.0f)
        return 0;
    s.zoom_factor = 2.0f;
    s.zoom_level = 2;
    return zoom_out(doc, view);
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
