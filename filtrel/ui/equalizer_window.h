#pragma once
// The Qt face of "EQUALIZE". The editor registers run_equalize_dialog under that name.
#include "filtrel/ui/dialog_widgets.h"
#include "platform/ui.h"

class EqualizeDialog;
class QLabel;
class QSlider;

int run_equalize_dialog(kel::DialogModel& model, QWidget* parent);

namespace filtrel_ui {

class EqualizerWindow : public ModelWindow
{
  public:
    // The model's on_open has run.
    EqualizerWindow(EqualizeDialog& model, QWidget* parent);
    void refresh();

  protected:
    void reject() override;

  private:
    void after_event();

    EqualizeDialog& model_;
    std::map<int, QSlider*> sliders_;
    std::map<int, QLabel*> fields_;
    QWidget* graph_ = nullptr;
};

} // namespace filtrel_ui
