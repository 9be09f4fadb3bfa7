#include "editor/view/ui/view_playback_observer.h"

#include "common/child_frame.h"
#include "editor/document/repaint.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/waveform_area.h"

#include <cmath>

void ViewPlaybackObserver::play_bar(CChildFrame& doc, long sample, double)
{
    if (DocumentView* v = DocumentView::view_of(&doc))
        v->set_play_marker(sample);
}

void ViewPlaybackObserver::caret_to(CChildFrame& doc, long sample)
{
    if (DocumentView* v = DocumentView::view_of(&doc)) {
        ViewState& view = v->area()->state();
        const int old_x = static_cast<int>(std::floor(view.caret_x));
        const bool was_shown = view.caret_shown != 0;
        view.caret_x = static_cast<float>(sample_to_x(doc, sample));
        view.caret_shown = 1;
        const int new_x = static_cast<int>(std::floor(view.caret_x));
        if (was_shown && new_x == old_x)
            return;
        // Only the two columns change.
        const int h = v->area()->height();
        if (was_shown)
            v->area()->update(old_x, 0, 1, h);
        v->area()->update(new_x, 0, 1, h);
    }
}

void ViewPlaybackObserver::play_marker(CChildFrame& doc, long sample)
{
    if (DocumentView* v = DocumentView::view_of(&doc))
        v->set_play_marker(sample);
}

void ViewPlaybackObserver::caret_restored(CChildFrame& doc, long sample)
{
    if (DocumentView* v = DocumentView::view_of(&doc)) {
        ViewState& view = v->area()->state();
        view.caret_shown = 0;
        view.caret_x = static_cast<float>(sample_to_x(doc, sample));
        v->set_play_marker(-1);
        v->area()->update();
    }
}

void ViewPlaybackObserver::redraw_markers_and_rulers(CChildFrame& doc)
{
    if (DocumentView* v = DocumentView::view_of(&doc))
        v->area()->update();
}

void ViewPlaybackObserver::scroll_to(CChildFrame& doc, long)
{
    if (DocumentView* v = DocumentView::view_of(&doc))
        v->document_changed();
}

static void repaint_view(CChildFrame* doc)
{
    if (DocumentView* v = DocumentView::view_of(doc))
        v->document_changed();
}

void install_view_repaint()
{
    if (!g_repaint_document)
        g_repaint_document = repaint_view;
}
