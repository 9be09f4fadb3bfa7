#pragma once
// The Qt faces of the pitch and tempo dialogs. The editor registers
// run_how_to_change_pitch_dialog under "HOWTOCHANGEPITCH", run_keyboard_dialog under
// "NEWCHANGEPITCH" and run_passage_slider_dialog under "NEWPITCH", "NEWTEMPO" and
// "QUANTIZE".
#include "filtrel/ui/dialog_widgets.h"
#include "platform/ui.h"

class HowToChangePitchDialog;
class KeyboardDialog;
class PassageSliderDialog;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QSlider;

int run_how_to_change_pitch_dialog(kel::DialogModel& model, QWidget* parent);
int run_keyboard_dialog(kel::DialogModel& model, QWidget* parent);
int run_passage_slider_dialog(kel::DialogModel& model, QWidget* parent);

namespace filtrel_ui {

class HowToChangePitchWindow : public ModelWindow
{
  public:
    HowToChangePitchWindow(HowToChangePitchDialog& model, QWidget* parent);

  protected:
    void reject() override;

  private:
    HowToChangePitchDialog& model_;
};

class KeyboardWindow : public ModelWindow
{
  public:
    KeyboardWindow(KeyboardDialog& model, QWidget* parent);
    void refresh();

  protected:
    void reject() override;

  private:
    void after_event();

    KeyboardDialog& model_;
    QLabel* shown_ = nullptr;
    QCheckBox* glide_up_ = nullptr;
    QCheckBox* glide_down_ = nullptr;
    std::map<int, QAbstractButton*> keys_;
};

class PassageSliderWindow : public ModelWindow
{
  public:
    PassageSliderWindow(PassageSliderDialog& model, QWidget* parent);
    void refresh();

  protected:
    void reject() override;

  private:
    void after_event();

    PassageSliderDialog& model_;
    QSlider* slider_ = nullptr;
    QLabel* field_ = nullptr;
    QButtonGroup* characteristic_ = nullptr;
};

} // namespace filtrel_ui
