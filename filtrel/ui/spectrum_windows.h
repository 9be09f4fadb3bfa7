#pragma once
// The Qt faces of "SpectrumDisplay3D" and "SpectrumDisplay2D", and the painting of their
// pictures (the benchmark times paint_waterfall).
#include "filtrel/ui/dialog_widgets.h"
#include "platform/ui.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPainter;
class QSlider;
class Spectrum2DDialog;
class Spectrum3DDialog;
struct SpectrumPlot;
struct WaterfallPicture;

int run_spectrum_3d_dialog(kel::DialogModel& model, QWidget* parent);
int run_spectrum_2d_dialog(kel::DialogModel& model, QWidget* parent);

namespace filtrel_ui {

// Grey ground, each slice back to front filled blue and traced yellow, the red mesh, the
// time labels and the kHz axis.
void paint_waterfall(QPainter& painter, const WaterfallPicture& picture);
// White ground, the curve filled blue with a red outline, black axes and labels.
void paint_spectrum_plot(QPainter& painter, const SpectrumPlot& plot);

class Spectrum3DWindow : public ModelWindow
{
  public:
    Spectrum3DWindow(Spectrum3DDialog& model, QWidget* parent);
    void refresh();
    QWidget* area() const { return area_; }

  protected:
    void reject() override;

  private:
    void after_event();
    Spectrum3DDialog& model_;
    QWidget* area_ = nullptr;
    QSlider* sliders_[4] = {};
    QLabel* fields_[4] = {};
    QTimer marker_timer_;
};

class Spectrum2DWindow : public ModelWindow
{
  public:
    Spectrum2DWindow(Spectrum2DDialog& model, QWidget* parent);
    void refresh();
    QWidget* area() const { return area_; }

  protected:
    void reject() override;

  private:
    void after_event();
    void start_stepping(int button);
    Spectrum2DDialog& model_;
    QWidget* area_ = nullptr;
    QSlider* gain_ = nullptr;
    QLabel* field_ = nullptr;
    QTimer repeat_;
    int stepping_ = 0;
    int steps_ = 0;
};

} // namespace filtrel_ui
