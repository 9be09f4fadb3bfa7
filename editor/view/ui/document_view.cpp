#include "editor/view/ui/document_view.h"

#include "common/child_frame.h"
#include "editor/edit/edit_commands.h"
#include "editor/view/time_text.h"
#include "editor/view/ui/play_bar.h"
#include "editor/view/ui/section_drag.h"
#include "editor/view/ui/view_cursors.h"
#include "editor/view/ui/view_playback_observer.h"
#include "editor/view/ui/waveform_area.h"
#include "editor/view/view_commands.h"
#include "editor/view/view_scroll.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

namespace {
std::map<CChildFrame*, DocumentView*>& registry()
{
    static std::map<CChildFrame*, DocumentView*> views;
    return views;
}
} // namespace

DocumentView::DocumentView(CChildFrame* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    if (!doc_->window)
        doc_->window = this;
    doc_->view_window = this;
    registry()[doc_] = this;
    install_view_repaint();
    setAcceptDrops(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    area_ = new WaveformArea(doc_, this);
    column->addWidget(area_, 1);
    bar_ = new PlayBar(doc_->tooltips_flag != 0, this);
    column->addWidget(bar_);
    doc_->play_bar = bar_;
    doc_->scroll_bar = bar_->scroll_bar();
    doc_->zoom_readout = bar_->zoom_readout();
    setFocusProxy(area_);

    readout_timer_ = new QTimer(this);
    readout_timer_->setSingleShot(true);
    readout_timer_->setInterval(10);
    connect(readout_timer_, &QTimer::timeout, this, &DocumentView::show_zoom_readout);

    connect(bar_, &PlayBar::command, this, [this](int id) { run_command(id); });
    connect(area_, &WaveformArea::view_changed, this, &DocumentView::sync_scroll_bar);
    connect(area_, &WaveformArea::selection_changed, this, &DocumentView::selection_changed);
    connect(area_, &WaveformArea::drag_section, this, &DocumentView::start_section_drag);
    connect(area_, &WaveformArea::markers_changed, this, &DocumentView::markers_changed);
    connect(area_, &WaveformArea::status_text, this, &DocumentView::status_text);
    connect(bar_->scroll_bar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (updating_bar_)
            return;
        scroll_to_bar(*doc_, area_->state(), value);
        area_->update();
    });
    show_zoom_readout();
}

DocumentView::~DocumentView()
{
    registry().erase(doc_);
    if (doc_->view_window == this)
        doc_->view_window = nullptr;
    if (doc_->window == this)
        doc_->window = nullptr;
}

DocumentView* DocumentView::view_of(CChildFrame* doc)
{
    auto it = registry().find(doc);
    return it == registry().end() ? nullptr : it->second;
}

CommandContext DocumentView::command_context()
{
    CommandContext context;
    context.doc = doc_;
    context.view = &area_->state();
    context.host = host_;
    return context;
}

int DocumentView::run_command(int id, long param)
{
    CommandContext context = command_context();
    context.param = param;
    const int result = commands::run(id, context);
    if (result < 0)
        return 0;
    return command_ran(id, result);
}

int DocumentView::command_ran(int id, int result)
{
    const commands::Command* c = commands::find(id);
    const unsigned flags = c ? c->flags : 0;
    if ((flags & commands::kChangesView) && result > 0) {
        ViewState& view = area_->state();
        update_scroll(*doc_, view);
        view.full_redraw = 1;
        sync_scroll_bar();
        area_->update();
        if (flags & commands::kChangesSelection)
            emit selection_changed();
    } else if ((flags & commands::kChangesData) && result > 0) {
        document_changed();
        if (parentWidget())
            parentWidget()->update();
    }
    emit command_done(id);
    return (flags & commands::kChangesData) ? result : 1;
}

void DocumentView::document_changed()
{
    ViewState& view = area_->state();
    view.full_redraw = 1;
    update_scroll(*doc_, view);
    sync_scroll_bar();
    area_->update();
}

void DocumentView::set_play_marker(long sample)
{
    area_->set_play_marker(sample);
}

void DocumentView::sync_scroll_bar()
{
    const ScrollState& s = area_->state().scroll;
    QScrollBar* bar = bar_->scroll_bar();
    updating_bar_ = true;
    bar->setRange(0, s.bar_maximum);
    const int unit = std::max(1, static_cast<int>(s.stretch / s.divisor));
    bar->setSingleStep(unit);
    bar->setPageStep(9 * unit);
    bar->setValue(s.bar_value);
    updating_bar_ = false;
    readout_timer_->start();
}

void DocumentView::show_zoom_readout()
{
    bar_->zoom_readout()->setText(
        QString::fromStdString(zoom_readout_text(doc_->current.zoom_factor)));
}

void DocumentView::keyPressEvent(QKeyEvent* e)
{
    int modifiers = 0;
    if (e->modifiers() & Qt::ShiftModifier)
        modifiers |= kKeyShift;
    if (e->modifiers() & Qt::ControlModifier)
        modifiers |= kKeyControl;
    if (e->modifiers() & Qt::AltModifier)
        modifiers |= kKeyAlt;
    int character = 0;
    if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        character = 'a' + (e->key() - Qt::Key_A);
    // Shifted letters are other characters ('P' is not playback).
    if ((modifiers & kKeyShift) && !(modifiers & (kKeyControl | kKeyAlt)))
        character = 0;
    const int id = character ? view_key_command(*doc_, character, modifiers) : 0;
    if (id > 0 && run_command(id))
        return;
    emit unhandled_key(e->key(), modifiers, e->text());
    e->ignore();
}

void DocumentView::start_section_drag()
{
    if (!doc_->current.has_selection)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(section_mime_data(*doc_));
    drag->setPixmap(view_cursor_pixmap(ViewCursor::Drag));
    drag->setHotSpot(QPoint(2, 2));
    drag->setDragCursor(view_cursor_pixmap(ViewCursor::Drag), Qt::CopyAction);
    drag->setDragCursor(view_cursor_pixmap(ViewCursor::Nodrop), Qt::IgnoreAction);
    drag->exec(Qt::CopyAction);
}

static bool takes_drop(const CChildFrame* self, const QMimeData* data)
{
    CChildFrame* source = section_drag_source(data);
    return source && source != self;
}

void DocumentView::dragEnterEvent(QDragEnterEvent* e)
{
    if (takes_drop(doc_, e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void DocumentView::dragMoveEvent(QDragMoveEvent* e)
{
    if (takes_drop(doc_, e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void DocumentView::dropEvent(QDropEvent* e)
{
    CChildFrame* source = section_drag_source(e->mimeData());
    if (!source || source == doc_) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (drop_selection_on_document(*source, *doc_)) {
        document_changed();
        emit section_dropped(source);
    }
}
