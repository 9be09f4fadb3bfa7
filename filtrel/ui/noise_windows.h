#pragma once
// The Qt faces of "NOISEREMOVAL", "NOISEREDUCTION" and "NOISEGATE"; the editor registers
// the run_* functions under those names.
#include "filtrel/ui/dialog_widgets.h"
#include "platform/ui.h"

class NoiseRemovalDialog;
class NoiseReductionDialog;
class NoiseGateDialog;
class QLabel;
class QSlider;

int run_noise_removal_dialog(kel::DialogModel& model, QWidget* parent);
int run_noise_reduction_dialog(kel::DialogModel& model, QWidget* parent);
int run_noise_gate_dialog(kel::DialogModel& model, QWidget* parent);

namespace filtrel_ui {

class NoiseRemovalWindow : public ModelWindow
{
  public:
    NoiseRemovalWindow(NoiseRemovalDialog& model, QWidget* parent);
    void refresh();

  protected:
    void reject() override;

  private:
    void after_event();
    NoiseRemovalDialog& model_;
};

// One slider with its field; the reduction and the gate dialogs.
class NoiseSliderWindow : public ModelWindow
{
  public:
    NoiseSliderWindow(NoiseReductionDialog& model, QWidget* parent);
    NoiseSliderWindow(NoiseGateDialog& model, QWidget* parent);
    void refresh();

  protected:
    void reject() override;

  private:
    void build(const char* group, bool percent_labels);
    void after_event();
    kel::DialogModel& model_;
    NoiseReductionDialog* reduction_ = nullptr;
    NoiseGateDialog* gate_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* field_ = nullptr;
};

} // namespace filtrel_ui
