#pragma once
// Our own faders and level displays, answering the outside controls' messages.
#include "editor/app/controls.h"
#include "editor/app/spectrum.h"

#include <QBasicTimer>
#include <QWidget>
#include <array>
#include <vector>

namespace ui {

// A fader: "MySlider32" (vertical) or the horizontal fader. The user drags the thumb or
// clicks the track; the parent hears of it through moved(control id, 1 while moving, 2 at
// release).
class Fader : public QWidget, public kel::controls::MessageTarget
{
    Q_OBJECT
  public:
    Fader(Qt::Orientation orientation, int control_id, QWidget* parent = nullptr);
    ~Fader() override;
    HWND handle() { return static_cast<QWidget*>(this); }
    long on_message(unsigned message, unsigned long wparam, long lparam) override;
    const kel::controls::FaderModel& model() const { return model_; }
    int control_id() const { return id_; }
    // Geometry of the thumb, for painting and for tests.
    QRect thumb_rect() const;
    QSize sizeHint() const override;

  signals:
    void moved(int control_id, int notify_code);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

  private:
    double fraction_at(const QPoint& p) const;
    int track_length() const;
    Qt::Orientation orientation_;
    int id_;
    kel::controls::FaderModel model_;
    bool dragging_ = false;
};

// Window class "DBGaugeIndicator": one channel's level in decibels with its peak hold.
class DbGauge : public QWidget, public kel::controls::GaugeTarget
{
  public:
    DbGauge(const QString& label, QWidget* parent = nullptr);
    ~DbGauge() override;
    HWND handle() { return static_cast<QWidget*>(this); }
    void draw_gauge(long level, long mode, long reset) override;
    const kel::controls::GaugeModel& model() const { return model_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString label_;
    kel::controls::GaugeModel model_;
};

// Window class "VolumeIndicator": the left and right levels as two bars.
class VolumeIndicator : public QWidget, public kel::controls::GaugeTarget
{
  public:
    explicit VolumeIndicator(QWidget* parent = nullptr);
    ~VolumeIndicator() override;
    HWND handle() { return static_cast<QWidget*>(this); }
    void draw_levels(long left, long right) override;
    int left() const { return left_; }
    int right() const { return right_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    int left_ = 0;
    int right_ = 0;
};

// The 16-band spectrum indicator (window id 170). Timer 1 empties it; timer 16 redraws.
class SpectrumIndicator : public QWidget
{
  public:
    explicit SpectrumIndicator(QWidget* parent = nullptr);
    // Timer ids as the frame knows them.
    static constexpr int kTimerEmpty = 1;
    static constexpr int kTimerRedraw = 16;
    void start_timer(int which, int ms);
    void stop_timer(int which);
    bool timer_running(int which) const;
    // Command 170: the current block of samples.
    void show_block(const std::vector<float>& samples);
    const std::array<int, app::kSpectrumBars>& bars() const { return bars_; }
    QSize sizeHint() const override;

  protected:
    void timerEvent(QTimerEvent*) override;
    void paintEvent(QPaintEvent*) override;

  private:
    QBasicTimer empty_timer_;
    QBasicTimer redraw_timer_;
    std::array<int, app::kSpectrumBars> bars_;
    std::array<int, app::kSpectrumBars> drawn_;
};

} // namespace ui
