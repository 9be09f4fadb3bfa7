#pragma once
// Zoom steps of a document: zoom_factor doubles or halves between 1.0 (the whole file)
// and base_factor (one frame per pixel); zoom_level follows between 1 and level_count.
#include "editor/commands/command_ids.h"
#include "editor/view/view_state.h"

class CChildFrame;

// Each returns 1 when the zoom changed; the scroll bar is recomputed and a full
// redraw is asked for.
int zoom_in(CChildFrame& doc, ViewState& view);
int zoom_out(CChildFrame& doc, ViewState& view);
int maximum_zoom(CChildFrame& doc, ViewState& view);
int minimum_zoom(CChildFrame& doc, ViewState& view);
