#pragma once
// Playback's tick and end shown in the documents' views: the play marker in the top
// of the ruler, the caret, and the scroll of video documents. The main frame may
// install it as it is or forward to it from its own observer.
#include "editor/devices/playback.h"

class ViewPlaybackObserver : public PlaybackObserver
{
  public:
    void play_bar(CChildFrame& doc, long sample, double fraction) override;
    void caret_to(CChildFrame& doc, long sample) override;
    void play_marker(CChildFrame& doc, long sample) override;
    void caret_restored(CChildFrame& doc, long sample) override;
    void redraw_markers_and_rulers(CChildFrame& doc) override;
    void scroll_to(CChildFrame& doc, long first_visible) override;
};

// Makes repaint_document() refresh the document's view, unless the window layer has
// registered its own way already.
void install_view_repaint();
