#include "editor/view/ui/waveform_area.h"

#include "common/child_frame.h"
#include "editor/devices/playback_controller.h"
#include "editor/document/clipping.h"
#include "editor/document/markers.h"
#include "editor/document/timemark_dialog.h"
#include "editor/view/time_text.h"
#include "editor/view/ui/view_cursors.h"
#include "editor/view/ui/waveform_image.h"
#include "editor/view/view_keys.h"
#include "editor/view/view_scroll.h"
#include "editor/view/view_zoom.h"
#include "platform/ui.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

WaveformArea::WaveformArea(CChildFrame* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, kRulerHeight + 40);
    screen_width_ = kel::ui().screen_width();
}

void WaveformArea::refresh_image()
{
    const int top = waveform_top(*doc_);
    const QSize size(std::max(1, width()), std::max(1, height() - top));
    if (image_.size() != size) {
        image_ = QImage(size, QImage::Format_RGB32);
        view_.full_redraw = 1;
    }
    if (!view_.full_redraw && !view_.scroll_redraw && !view_.zoom_redraw)
        return;
    QElapsedTimer timer;
    timer.start();
    render_waveform(image_, *doc_, screen_width_, view_colors(), columns_);
    last_render_ms_ = timer.nsecsElapsed() / 1e6;
    view_.full_redraw = view_.scroll_redraw = view_.zoom_redraw = 0;
}

static const QColor kClipMark(220, 0, 0);

void WaveformArea::set_play_marker(long sample)
{
    play_marker_ = sample;
    update(0, video_strip_height(*doc_), width(), 14);
}

void WaveformArea::paintEvent(QPaintEvent*)
{
    refresh_image();
    QPainter p(this);
    const int strip = video_strip_height(*doc_);
    const int top = waveform_top(*doc_);
    if (strip)
        paint_video_strip(p, width(), strip);
    paint_ruler(p, *doc_, strip, width(), view_colors());
    p.drawImage(0, top, image_);

    // The highlight, inverted over the channels it covers.
    const FileSlot& s = doc_->current;
    const int area = height() - top;
    if (s.has_selection && s.select_end > s.select_start) {
        sync_selection_x(*doc_);
        const int x0 = static_cast<int>(std::clamp(doc_->select_x_start, 0.0f, float(width())));
        const int x1 = static_cast<int>(std::clamp(doc_->select_x_end, 0.0f, float(width())));
        if (x1 > x0) {
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            if (doc_->wave_format.channels != 2) {
                p.fillRect(x0, top, x1 - x0, area, Qt::white);
            } else {
                const int half = area / 2;
                if (doc_->left_active)
                    p.fillRect(x0, top, x1 - x0, half, Qt::white);
                if (doc_->right_active)
                    p.fillRect(x0, top + half, x1 - x0, area - half, Qt::white);
            }
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    } else if (view_.caret_placed || view_.caret_wanted) {
        const long at = view_.caret_placed ? view_.caret_sample : s.select_start;
        const int x = static_cast<int>(std::floor(sample_to_x(*doc_, at)));
        if (x >= 0 && x < width()) {
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            p.fillRect(x, top, 1, area, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
    // Where an effect drove samples to full scale: a red mark above and below.
    for (const ClipSpan& span : clipped_spans(*doc_)) {
        const double x0 = sample_to_x(*doc_, span.start);
        const double x1 = sample_to_x(*doc_, span.end);
        if (x1 < 0.0 || x0 >= width())
            continue;
        const int left = static_cast<int>(std::floor(std::max(0.0, x0)));
        const int w =
            std::max(1, static_cast<int>(std::ceil(std::min<double>(width(), x1))) - left);
        p.fillRect(left, top, w, 3, kClipMark);
        p.fillRect(left, height() - 3, w, 3, kClipMark);
    }
    // The caret that follows the sound, over the highlight too.
    if (view_.caret_shown) {
        const int x = static_cast<int>(std::floor(view_.caret_x));
        if (x >= 0 && x < width()) {
            p.setCompositionMode(QPainter::RasterOp_NotDestination);
            p.fillRect(x, top, 1, area, Qt::white);
            p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
    }
    if (play_marker_ >= 0) {
        const int x = static_cast<int>(sample_to_x(*doc_, play_marker_));
        p.fillRect(x, strip, 2, 14, QColor::fromRgb(to_qrgb(view_colors().wavecrest)));
    }
    paint_markers(p);
}

void WaveformArea::paint_markers(QPainter& p)
{
    const MarkerTable* table = markers_if_any(*doc_);
    if (!table)
        return;
    const QColor flag = QColor::fromRgb(to_qrgb(view_colors().marker));
    const QColor text = QColor::fromRgb(to_qrgb(view_colors().marker_text));
    const FileSlot& s = doc_->current;
    const int top = height() - kFlagTop;
    for (int i = 0; i < table->count(); ++i) {
        const Marker& m = table->entries[i];
        const int x = static_cast<int>(std::floor(sample_to_x(*doc_, m.position)));
        if (x < -kFlagHalfWidth || x > width() + kFlagHalfWidth)
            continue;
        const bool selected = s.has_selection && s.select_end > s.select_start &&
                              (m.position == s.select_start || m.position == s.select_end);
        // The 9 x 11 flag: a staff at x and a pennant toward the sound it marks.
        const FlagLook look = flag_look(*table, i, selected);
        const bool end = look == FlagLook::End || look == FlagLook::SelectedEnd;
        const bool lit = look == FlagLook::SelectedStart || look == FlagLook::SelectedEnd;
        const QColor fill = lit ? text : flag;
        const QColor edge = lit ? flag : text;
        const int left = x - kFlagHalfWidth;
        p.fillRect(x, top, 1, 11, edge);
        QPolygon pennant;
        if (end)
            pennant << QPoint(x, top) << QPoint(left, top + 3) << QPoint(x, top + 6);
        else
            pennant << QPoint(x, top) << QPoint(left + 8, top + 3) << QPoint(x, top + 6);
        p.setPen(edge);
        p.setBrush(fill);
        p.drawPolygon(pennant);
        if (look == FlagLook::PairStart || look == FlagLook::SelectedStart)
            p.fillRect(x + 1, top + 9, 4, 2, edge); // the foot of an interval's start
        p.setBrush(Qt::NoBrush);
    }
}

int WaveformArea::marker_at_point(int x, int y) const
{
    const MarkerTable* table = markers_if_any(*doc_);
    if (!table)
        return -1;
    return marker_at(*table, x, y, height(),
                     [this](long position) { return std::floor(sample_to_x(*doc_, position)); });
}

bool WaveformArea::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && doc_->tooltips_flag) {
        auto* help = static_cast<QHelpEvent*>(e);
        const int i = marker_at_point(help->pos().x(), help->pos().y());
        if (i >= 0) {
            const Marker& m = markers_of(*doc_).entries[i];
            QToolTip::showText(help->globalPos(),
                               QString::fromStdString(marker_description(
                                   m, position_text(*doc_, m.position, time_format()))),
                               this);
        } else {
            QToolTip::hideText();
            e->ignore();
        }
        return true;
    }
    return QWidget::event(e);
}

void WaveformArea::resizeEvent(QResizeEvent*)
{
    view_.width = width();
    view_.height = height();
    view_.full_redraw = 1;
    update_scroll(*doc_, view_);
    emit view_changed();
}

void WaveformArea::set_zone_cursor(ViewCursor cursor)
{
    if (cursor == cursor_)
        return;
    cursor_ = cursor;
    setCursor(view_cursor(cursor));
}

void WaveformArea::show_marker_status(int marker)
{
    if (marker == status_marker_ && !marker_dragging_)
        return;
    status_marker_ = marker;
    if (marker < 0) {
        emit status_text(QString());
        return;
    }
    const Marker& m = markers_of(*doc_).entries[marker];
    emit status_text(QString::fromStdString(
        marker_description(m, position_text(*doc_, m.position, time_format()))));
}

void WaveformArea::leaveEvent(QEvent*)
{
    show_marker_status(-1);
}

void WaveformArea::marker_menu(int marker, const QPoint& global)
{
    QMenu menu(this);
    QAction* dialog = menu.addAction("&Time Markers / Intervals...");
    QAction* remove = menu.addAction("&Delete marker");
    QAction* chosen = menu.exec(global);
    if (chosen == dialog) {
        show_timemark_dialog(*doc_, marker);
    } else if (chosen == remove && marker < markers_of(*doc_).count()) {
        delete_marker(*doc_, marker);
    } else {
        return;
    }
    status_marker_ = -1;
    emit status_text(QString());
    update();
    emit selection_changed();
    emit markers_changed();
}

void WaveformArea::mousePressEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    const int marker = at.y() >= waveform_top(*doc_) ? marker_at_point(at.x(), at.y()) : -1;
    if (e->button() == Qt::RightButton && marker >= 0) {
        marker_menu(marker, e->globalPosition().toPoint());
        return;
    }
    if (e->button() == Qt::LeftButton && marker >= 0 &&
        doc_->current.total_samples > kTinyDocumentWords) {
        pressed_marker_ = marker;
        press_x_ = at.x();
        marker_dragging_ = false;
        return;
    }
    if (e->button() == Qt::RightButton) {
        if (at.y() >= waveform_top(*doc_) && !beyond_data(*doc_, at.x()))
            playback::right_button(*doc_, x_to_frame_sample(*doc_, at.x()));
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    // A highlight the mouse makes moves at its end under Shift and the cursor keys.
    if (!shift)
        view_.anchor = -1;
    switch (mouse_.press(*doc_, view_, at.x(), at.y(), shift)) {
    case MouseResult::RulerClick:
        emit ruler_clicked(at.x());
        break;
    case MouseResult::Selecting:
        view_.caret_wanted = 0;
        update();
        emit selection_changed();
        break;
    default:
        break;
    }
}

void WaveformArea::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    if (pressed_marker_ >= 0 && (e->buttons() & Qt::LeftButton)) {
        if (!marker_dragging_ && std::abs(at.x() - press_x_) > kDragThresholdX)
            marker_dragging_ = true;
        if (marker_dragging_) {
            move_marker(*doc_, pressed_marker_, x_to_frame_sample(*doc_, std::max(0, at.x())));
            set_zone_cursor(ViewCursor::Cuelist);
            show_marker_status(pressed_marker_);
            update();
            emit markers_changed();
        }
        return;
    }
    if (e->buttons() & Qt::LeftButton) {
        switch (mouse_.move(*doc_, view_, at.x(), at.y())) {
        case MouseResult::Selecting:
            update();
            emit selection_changed();
            return;
        case MouseResult::DragStarted:
            set_zone_cursor(ViewCursor::Drag);
            emit drag_section();
            mouse_.drag_done();
            return;
        case MouseResult::DragArmed:
            return;
        default:
            break;
        }
    }
    const int marker = at.y() >= waveform_top(*doc_) ? marker_at_point(at.x(), at.y()) : -1;
    show_marker_status(marker);
    set_zone_cursor(zone_cursor(*doc_, view_, at.x(), at.y(), marker >= 0));
}

void WaveformArea::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint at = e->position().toPoint();
    if (pressed_marker_ >= 0) {
        const int marker = pressed_marker_;
        pressed_marker_ = -1;
        if (marker_dragging_) {
            marker_dragging_ = false;
        } else if (marker < markers_of(*doc_).count()) {
            // A click on a flag: a pair highlights its passage.
            choose_marker(*doc_, marker);
            view_.caret_placed = doc_->current.has_selection ? 0 : 1;
            view_.caret_sample = doc_->current.select_start;
            view_.anchor = -1;
            emit selection_changed();
        }
        update();
        return;
    }
    if (mouse_.release(*doc_, view_, at.x(), at.y()) == MouseResult::Finished) {
        update();
        emit selection_changed();
    }
}

void WaveformArea::wheelEvent(QWheelEvent* e)
{
    e->accept();
    const QPoint delta = e->angleDelta();
    wheel_eighths_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheel_eighths_ / 120;
    if (notches == 0)
        return;
    wheel_eighths_ -= notches * 120;
    // Turning the wheel away from the user goes back in time, or zooms in with Ctrl.
    const int changed =
        (e->modifiers() & Qt::ControlModifier)
            ? zoom_around(*doc_, view_, notches, static_cast<int>(e->position().x()))
            : scroll_steps(*doc_, view_, -3 * notches);
    if (!changed)
        return;
    view_.full_redraw = 1;
    update();
    emit view_changed();
}
