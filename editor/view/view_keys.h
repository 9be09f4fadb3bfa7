#pragma once
// The cursor keys and the wheel of the waveform view. The cursor is the caret, or, with a
// highlight, its moving edge: Shift and a cursor key move that edge and keep the other.
#include "editor/view/view_state.h"

class CChildFrame;

enum class CursorKey { Home, End, Left, Right };

// Moves the cursor (one pixel's worth for the arrows) and scrolls it into view; with
// extend the highlight runs from the edge that stays to the cursor. 1 when it moved.
int move_cursor(CChildFrame& doc, ViewState& view, CursorKey key, bool extend);
// The sample word the cursor stands on.
long cursor_position(const CChildFrame& doc, const ViewState& view);
// Scrolls so that a sample word is inside the window (nothing when it is already).
void bring_into_view(CChildFrame& doc, ViewState& view, long sample);
// The wheel: steps of a tenth of the width, positive towards the end. 1 when it moved.
int scroll_steps(CChildFrame& doc, ViewState& view, int steps);
