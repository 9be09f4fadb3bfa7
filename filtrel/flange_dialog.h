#pragma once
// "FLANGE" ("Set FLANGE Parameters"): five upside-down sliders with their value fields,
// OK, Cancel, Help and Save. It edits the module's flange parameters in place.
#include "filtrel/dialog_slider.h"
#include "filtrel/flange.h"
#include "platform/ui.h"

#include <string>

namespace flange_dialog {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kHelp = 1405;
inline constexpr int kSave = 367;
// Delay, rate, depth, feedback, mix.
inline constexpr int kSlider[5] = {289, 283, 284, 285, 286};
inline constexpr int kField[5] = {290, 292, 294, 296, 287};
inline constexpr const char* kLabel[5] = {"Delay  (ms)", "Rate (Hz)", "% Depth", "% Feedback",
                                          "% Mix"};
} // namespace flange_dialog

class FlangeDialog : public kel::DialogModel
{
  public:
    FlangeDialog(FlangeSettings& settings, std::string ini_path);

    const char* template_name() const override { return "FLANGE"; }
    static constexpr const char* kCaption = "Set FLANGE Parameters";

    void on_open() override;
    void move_slider(int slider_id, int position);
    void ok() { end_dialog(flange_dialog::kOk); }
    void cancel() { end_dialog(flange_dialog::kCancel); }
    void help();
    // Puts the values into "Flange" and asks for a preset name; the dialog stays open.
    int save();

    // The parameter of slider k (0 .. 4), as the settings hold it.
    int value(int k) const;
    const FlangeSettings& settings() const { return settings_; }

    DialogSlider sliders[5];
    std::string fields[5]; // "%d"

  private:
    int& parameter(int k);
    void show_fields();

    FlangeSettings& settings_;
    std::string ini_path_;
};
