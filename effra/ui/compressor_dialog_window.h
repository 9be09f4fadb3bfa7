#pragma once
// The Qt face of "Compress / Expand Waveform": the transfer graph takes clicks (a new
// control point, or picking one) and drags.
#include "platform/ui.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QSpinBox;

namespace effra {
class CompressorDialog;
}

// Shows a compressor dialog model modally; returns the button it ended with. The editor
// registers it under "CONTROLPOINTSENVELOPE".
int run_compressor_dialog(kel::DialogModel& model, QWidget* parent);

namespace effra_ui {

// Control 4000: light grey, the identity diagonal in black, the curve through the points
// in white and a 6 x 6 marker on each point.
class TransferGraph : public QWidget
{
    Q_OBJECT
  public:
    TransferGraph(effra::CompressorDialog& model, QWidget* parent);

  signals:
    void changed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    effra::CompressorDialog& model_;
    bool dragging_ = false;
};

class CompressorWindow : public QDialog
{
    Q_OBJECT
  public:
    // The model's on_open has run.
    CompressorWindow(effra::CompressorDialog& model, QWidget* parent);
    TransferGraph* graph() const { return graph_; }

  private:
    void refresh_readouts();
    void finish_if_ended();

    effra::CompressorDialog& model_;
    TransferGraph* graph_ = nullptr;
    QLabel* levels_ = nullptr;
    QLabel* ratio_ = nullptr;
    QSpinBox* attack_ = nullptr;
};

} // namespace effra_ui
