#pragma once
// "Set Echo Parameters" / "Set Reverb Parameters" (templates "NewEcho" / "NewReverb"):
// two upside-down sliders for delay and decay, the channel choice (hidden for mono files),
// the extent, and OK, Cancel, Save and Help.
#include "effra/delay_effect.h"
#include "platform/ui.h"

#include <string>

namespace effra {

class EchoDialog : public kel::DialogModel
{
  public:
    // Control ids, as the dialog templates number them.
    static constexpr int kDelaySlider = 233;
    static constexpr int kDelayText = 232;
    static constexpr int kDecaySlider = 244;
    static constexpr int kDecayText = 243;
    static constexpr int kBothChannels = 245;
    static constexpr int kLeftChannel = 246;
    static constexpr int kRightChannel = 247;
    static constexpr int kInsideSelection = 448;
    static constexpr int kOutsideSelection = 433;
    static constexpr int kSave = 367;
    static constexpr int kHelp = 1405;

    // The dialog works on the module's settings directly, as its sliders move.
    EchoDialog(const DelayEffect& effect, DelaySettings& settings, int channels);

    const char* template_name() const override { return effect_.dialog_template; }
    void on_open() override;

    const DelayEffect& effect() const { return effect_; }
    const char* caption() const { return effect_.caption; }
    bool channel_buttons_visible() const { return channels_ == 2; }

    // Slider positions run the other way: the top end (smallest position) is the largest
    // value, position = maximum + minimum - value.
    int delay_position() const;
    int decay_position() const;
    // Change notifications from the sliders.
    void delay_moved(int position);
    void decay_moved(int position);
    int delay_ms() const { return settings_.delay_ms(effect_); }
    int decay_percent() const { return settings_.decay_percent(effect_); }
    std::string delay_text() const;
    std::string decay_text() const;

    // 245, 246 or 247.
    void channel_button(int control_id);
    int checked_channel_button() const;
    int channel_choice() const { return settings_.channel_choice; }
    void set_outside(bool outside) { settings_.outside = outside ? 1 : 0; }
    bool outside() const { return settings_.outside != 0; }

    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }
    // Puts the values into the "Echo" / "Reverb" section and asks for a preset name; the
    // dialog stays open. Returns the save dialog's result.
    int save();
    void help();

  private:
    const DelayEffect& effect_;
    DelaySettings& settings_;
    int channels_;
};

} // namespace effra
