#pragma once
// The drawing area of a document window: video strip, time ruler, waveform, the
// inverted highlight and the caret; the mouse selects, the keys go to the commands.
#include "editor/view/view_colors.h"
#include "editor/view/view_cursor.h"
#include "editor/view/view_mouse.h"
#include "editor/view/view_state.h"
#include "editor/view/waveform_columns.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

class CChildFrame;

class WaveformArea : public QWidget
{
    Q_OBJECT
  public:
    explicit WaveformArea(CChildFrame* doc, QWidget* parent = nullptr);

    CChildFrame* document() const { return doc_; }
    ViewState& state() { return view_; }
    // The off-screen image of the waveform area (rebuilt when asked for by a flag).
    const QImage& image() const { return image_; }
    // Rebuilds the image now if a redraw is pending.
    void refresh_image();
    // The play position marker (-1 hides it).
    void set_play_marker(long sample);
    long play_marker() const { return play_marker_; }
    // Screen width used for the short-document rule and the levels.
    void set_screen_width(int width) { screen_width_ = width; }
    // The time the last image took, ms.
    double last_render_ms() const { return last_render_ms_; }

    // The marker whose flag holds the point (first made wins), -1 for none.
    int marker_at_point(int x, int y) const;

  signals:
    void selection_changed();
    // The view moved or zoomed: scroll bar and readout follow.
    void view_changed();
    void ruler_clicked(int x);
    void drag_section();
    // A marker was moved, made a pair or deleted here: the cue list follows.
    void markers_changed();
    // The status line's text for the pointer: a marker's description, or empty when it
    // left the marker.
    void status_text(const QString& text);

  protected:
    bool event(QEvent*) override;
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void leaveEvent(QEvent*) override;

  private:
    void set_zone_cursor(ViewCursor cursor);
    void paint_markers(QPainter& p);
    void show_marker_status(int marker);
    void marker_menu(int marker, const QPoint& global);

    CChildFrame* doc_;
    ViewState view_;
    MouseSelection mouse_;
    QImage image_;
    WaveColumns columns_;
    ViewCursor cursor_ = ViewCursor::Arrow;
    long play_marker_ = -1;
    int screen_width_ = 0;
    double last_render_ms_ = 0.0;
    int wheel_eighths_ = 0; // wheel turns not yet a whole notch
    // A press on a marker's flag: a click chooses it, a move past the threshold drags it.
    int pressed_marker_ = -1;
    int press_x_ = 0;
    bool marker_dragging_ = false;
    int status_marker_ = -1; // the marker the status line describes
};
