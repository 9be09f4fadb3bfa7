#pragma once
// The Qt face of "FLANGE". The editor registers run_flange_dialog under that name.
#include "filtrel/ui/dialog_widgets.h"
#include "platform/ui.h"

class FlangeDialog;
class QLabel;
class QSlider;

int run_flange_dialog(kel::DialogModel& model, QWidget* parent);

namespace filtrel_ui {

class FlangeWindow : public ModelWindow
{
  public:
    FlangeWindow(FlangeDialog& model, QWidget* parent);
    void refresh();

  protected:
    void reject() override;

  private:
    void after_event();

    FlangeDialog& model_;
    QSlider* sliders_[5] = {};
    QLabel* fields_[5] = {};
};

} // namespace filtrel_ui
