#pragma once
// The Qt face of "Spatial Localization".
#include "platform/ui.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QSlider;

namespace effra {
class SpatialDialog;
}

// Shows a spatial localization model modally; returns the button it ended with. The editor
// registers it under "SPATIALLOCALIZATION".
int run_spatial_dialog(kel::DialogModel& model, QWidget* parent);

namespace effra_ui {

class SpatialWindow : public QDialog
{
    Q_OBJECT
  public:
    // The model's on_open has run.
    SpatialWindow(effra::SpatialDialog& model, QWidget* parent);

  private:
    void finish_if_ended();

    effra::SpatialDialog& model_;
    QButtonGroup* types_ = nullptr;
    QSlider* delay_ = nullptr;
    QLabel* delay_text_ = nullptr;
    QSlider* position_ = nullptr;
};

} // namespace effra_ui
