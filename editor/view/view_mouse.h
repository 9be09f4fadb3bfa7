#pragma once
// The left mouse button in the waveform view: new highlights, Shift+click on the
// nearer edge, and arming the drag of a highlighted section.
#include "editor/view/view_state.h"

class CChildFrame;

// A move of more than this many pixels across, or at least this many down or up,
// turns a press inside the highlighted section into a drag.
inline constexpr int kDragThresholdX = 5;
inline constexpr int kDragThresholdY = 6;

enum class MouseResult {
    Ignored,     // nothing to do (tiny document, beyond the data, above the waveform)
    RulerClick,  // belongs to the ruler and its markers
    Selecting,   // the highlight follows the mouse
    DragArmed,   // pressed inside the section; waiting for the threshold
    DragStarted, // the section is being dragged: start the drag and drop
    Finished,    // the button came up; the selection is set
};

class MouseSelection
{
  public:
    MouseResult press(CChildFrame& doc, const ViewState& view, int x, int y, bool shift);
    MouseResult move(CChildFrame& doc, const ViewState& view, int x, int y);
    MouseResult release(CChildFrame& doc, ViewState& view, int x, int y);
    // The drag and drop ended (dropped or refused); the selection stays.
    void drag_done() { mode_ = Mode::Idle; }

    bool selecting() const { return mode_ == Mode::Selecting; }
    bool drag_armed() const { return mode_ == Mode::Armed; }
    bool dragging() const { return mode_ == Mode::Dragging; }

  private:
    enum class Mode { Idle, Selecting, Armed, Dragging };
    void start_new(CChildFrame& doc, const ViewState& view, long sample, int y);
    void extend_to(CChildFrame& doc, long sample);

    Mode mode_ = Mode::Idle;
    long anchor_ = 0; // the edge that stays while the mouse moves the other
    int press_x_ = 0;
    int press_y_ = 0;
};

// True when x lies past the last sample word of the document.
bool beyond_data(const CChildFrame& doc, double x);
