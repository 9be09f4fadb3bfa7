#pragma once
// Commands that move the highlighted section's edges, and select all.
#include "editor/commands/command_ids.h"
#include "editor/view/view_state.h"

class CChildFrame;

// One of 11900..11905. Only with a highlighted section; the caret goes to the moved
// edge (at least one pixel in the direction of the move). 1 when it acted.
int move_highlight_edge(CChildFrame& doc, ViewState& view, int command);

// 1020: the whole file, both channels.
void select_all(CChildFrame& doc, ViewState& view);
