#pragma once
// Zoom steps of a document: zoom_factor doubles or halves between 1.0 (the whole file)
// and base_factor (one frame per pixel); zoom_level follows between 1 and level_count.
// Below 1.0 it goes only as far as the whole file filling the window. A zoom keeps the
// highlight (or the caret) in view.
#include "editor/commands/command_ids.h"
#include "editor/view/view_state.h"

class CChildFrame;

// Each returns 1 when the zoom changed; the scroll bar is recomputed and a full
// redraw is asked for.
int zoom_in(CChildFrame& doc, ViewState& view);
int zoom_out(CChildFrame& doc, ViewState& view);
int maximum_zoom(CChildFrame& doc, ViewState& view);
int minimum_zoom(CChildFrame& doc, ViewState& view);

// The zoom at which the whole file fills the view's width, never past one frame per
// pixel. Minimum zoom goes there; zooming out stops there.
float fit_zoom_factor(const CChildFrame& doc, const ViewState& view);
// Ctrl and the wheel: steps zoom steps in (positive) or out, the sample word under view x
// staying under it. 1 when the zoom changed.
int zoom_around(CChildFrame& doc, ViewState& view, int steps, int x);
