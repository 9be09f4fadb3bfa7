#include "editor/view/ui/cue_list_box.h"

#include "common/child_frame.h"
#include "editor/devices/playback_controller.h"
#include "editor/document/markers.h"
#include "editor/document/repaint.h"
#include "editor/document/timemark_dialog.h"
#include "editor/view/time_text.h"
#include "editor/view/ui/section_drag.h"
#include "editor/view/view_state.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>

CueListBox::CueListBox(QWidget* parent) : QComboBox(parent)
{
    setAcceptDrops(true);
    connect(this, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { play_entry(index); });
}

void CueListBox::show_document(CChildFrame* doc)
{
    doc_ = doc;
    const int keep = currentIndex();
    clear();
    if (!doc)
        return;
    const MarkerTable* table = markers_if_any(*doc);
    if (!table)
        return;
    for (int i = 0; i < table->count(); ++i) {
        const Marker& m = table->entries[i];
        addItem(QString::fromStdString(
                    marker_description(m, position_text(*doc, m.position, time_format()))),
                i);
    }
    if (keep >= 0 && keep < count())
        setCurrentIndex(keep);
}

void CueListBox::showPopup()
{
    show_document(documents::active());
    QComboBox::showPopup();
}

int CueListBox::play_entry(int index)
{
    if (!doc_ || index < 0 || index >= count())
        return 0;
    MarkerTable& t = markers_of(*doc_);
    int i = itemData(index).toInt();
    if (i < 0 || i >= t.count())
        return 0;
    // An end marker plays its pair.
    for (int k = 0; k < t.count(); ++k)
        if (t.entries[k].partner == i)
            i = k;
    const Marker& m = t.entries[i];
    if (m.partner >= 0 && m.partner < t.count() && t.entries[m.partner].position > m.position) {
        FileSlot& s = doc_->current;
        s.select_start = m.position;
        s.select_end = t.entries[m.partner].position;
        s.has_selection = 1;
        sync_selection_x(*doc_);
        repaint_document(doc_);
        return playback::start(*doc_);
    }
    PlayRequest request;
    request.from = m.position;
    return playback::start(*doc_, request);
}

int CueListBox::open_timemark_dialog()
{
    CChildFrame* doc = documents::active();
    if (!doc)
        doc = doc_;
    if (!doc)
        return 0;
    if (doc != doc_)
        show_document(doc);
    const int entry = currentIndex();
    const int marker = entry >= 0 ? itemData(entry).toInt() : 0;
    const int result = show_timemark_dialog(*doc, marker);
    show_document(doc);
    emit markers_changed(doc);
    return result;
}

void CueListBox::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    QAction* dialog = menu.addAction("&Time Markers / Intervals...");
    dialog->setEnabled(documents::active() != nullptr || doc_ != nullptr);
    if (menu.exec(e->globalPos()) == dialog)
        open_timemark_dialog();
}

void CueListBox::dragEnterEvent(QDragEnterEvent* e)
{
    if (section_drag_source(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CueListBox::dragMoveEvent(QDragMoveEvent* e)
{
    if (section_drag_source(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void CueListBox::dropEvent(QDropEvent* e)
{
    CChildFrame* source = section_drag_source(e->mimeData());
    if (!source || !source->current.has_selection ||
        source->current.select_end <= source->current.select_start) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (mark_selection(*source)) {
        show_document(source);
        emit markers_changed(source);
    }
}
