#pragma once
// The horizontal scroll bar of a document: sample words to bar units and back.
#include "editor/view/view_state.h"

class CChildFrame;

inline constexpr long kScrollBarLimit = 32767;
inline constexpr long kStretchedRange = 1000;

// Recomputes step, page, range, divisor, stretch and position for the window width,
// keeping first_visible where the last position can reach.
void compute_scroll(const CChildFrame& doc, ViewState& view);
// Recomputes and pulls first_visible back within the last position.
void update_scroll(CChildFrame& doc, ViewState& view);

// first_visible for a bar value (the thumb was moved), on a frame boundary.
long first_visible_for_bar(const CChildFrame& doc, const ScrollState& scroll, int bar_value);
// Moves the view to a bar value and recomputes.
void scroll_to_bar(CChildFrame& doc, ViewState& view, int bar_value);

void go_to_beginning(CChildFrame& doc, ViewState& view); // 11800
void go_to_end(CChildFrame& doc, ViewState& view);       // 11801
// 11906: the highlighted section starts a tenth of the width from the left edge.
// 1 when the view moved.
int go_to_highlight(CChildFrame& doc, ViewState& view);
