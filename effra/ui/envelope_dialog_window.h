#pragma once
// The Qt face of "Draw Desired Waveform Envelope With Mouse": a drawing area painted over
// the selection's outline that takes strokes of the left button.
#include "platform/ui.h"

#include <QDialog>
#include <QWidget>

class QButtonGroup;

namespace effra {
class EnvelopeDialog;
}

// Shows an envelope dialog model modally; returns the button it ended with. The editor
// registers it under "DRAWENVELOPE".
int run_envelope_dialog(kel::DialogModel& model, QWidget* parent);

namespace effra_ui {

// Control 382: grid, labels, the outline, the gain-1 line and the curve.
class EnvelopeCanvas : public QWidget
{
    Q_OBJECT
  public:
    EnvelopeCanvas(effra::EnvelopeDialog& model, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    effra::EnvelopeDialog& model_;
    bool dragging_ = false;
};

class EnvelopeWindow : public QDialog
{
    Q_OBJECT
  public:
    // The model's on_open has run.
    EnvelopeWindow(effra::EnvelopeDialog& model, QWidget* parent);
    EnvelopeCanvas* canvas() const { return canvas_; }

  private:
    void finish_if_ended();

    effra::EnvelopeDialog& model_;
    EnvelopeCanvas* canvas_ = nullptr;
    QButtonGroup* channels_ = nullptr;
};

} // namespace effra_ui
