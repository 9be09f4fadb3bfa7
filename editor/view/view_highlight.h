#pragma once
// Commands that move the highlighted section's edges, and select all.
#include "editor/view/view_state.h"

class CChildFrame;

inline constexpr int kSelectAllCommand = 1020;
inline constexpr int kReviewCommand = 11900;       // start 50 ms earlier
inline constexpr int kCueCommand = 11901;          // end 50 ms later
inline constexpr int kStartEarlierCommand = 11902; // 5 ms
inline constexpr int kStartLaterCommand = 11903;
inline constexpr int kEndEarlierCommand = 11904;
inline constexpr int kEndLaterCommand = 11905;

// One of 11900..11905. Only with a highlighted section; the caret goes to the moved
// edge (at least one pixel in the direction of the move). 1 when it acted.
int move_highlight_edge(CChildFrame& doc, ViewState& view, int command);

// 1020: the whole file, both channels.
void select_all(CChildFrame& doc, ViewState& view);
