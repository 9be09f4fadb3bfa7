#pragma once
// "Tones and Special Effects" (template "TonesAndEffects"): fifteen upside-down sliders
// with their read-outs (frequencies, vibrato, volumes, harmonics, phase), the waveform
// type, Constant or Warble, Swap, Generate tones or Modulate music, the channels, and OK,
// Cancel, Save and Help.
#include "effra/tones.h"
#include "platform/ui.h"

#include <string>
#include <vector>

namespace effra {

class TonesDialog : public kel::DialogModel
{
  public:
    static constexpr int kFrequencyInitial = 520;
    static constexpr int kFrequencyFinal = 233;
    static constexpr int kVibratoFrequency = 524;
    static constexpr int kVibratoAmplitude = 525;
    static constexpr int kVolumeLeft = 528;
    static constexpr int kVolumeRight = 529;
    static constexpr int kHarmonicInitial[4] = {503, 504, 505, 506};
    static constexpr int kHarmonicFinal[4] = {533, 534, 535, 536};
    static constexpr int kPhase = 526;
    static constexpr int kType = 513;
    static constexpr int kConstant = 514;
    static constexpr int kWarble = 515;
    static constexpr int kSwap = 532;
    static constexpr int kGenerate = 518;
    static constexpr int kModulate = 519;
    static constexpr int kBoth = 245;
    static constexpr int kLeft = 246;
    static constexpr int kRight = 247;
    static constexpr int kSave = 367;
    static constexpr int kHelp = 1405;

    struct Slider
    {
        int id;
        int text_id; // its read-out
        int minimum;
        int maximum;
        const char* label;
    };

    TonesDialog(ToneSettings& settings, int channels, unsigned long samples_per_second);

    const char* template_name() const override { return "TonesAndEffects"; }
    const char* caption() const { return "Tones and Special Effects"; }
    void on_open() override;

    // Every slider of the dialog, in the order the window lays them out.
    const std::vector<Slider>& sliders() const { return sliders_; }
    const Slider* slider(int id) const;
    // position = maximum + minimum - value, so the top end is the largest value.
    int position(int id) const;
    void slider_moved(int id, int position);
    int value(int id) const;
    std::string text(int id) const;
    // The final harmonics take part only with Warble.
    bool slider_enabled(int id) const;
    bool text_grey(int id) const { return !slider_enabled(id); }

    // The type list: a choice is taken when OK or Save is pressed.
    void choose_type(int index) { type_choice_ = index; }
    int type_choice() const { return type_choice_; }

    void constant();
    void warble();
    bool warble_on() const { return settings_.warble != 0; }
    bool swap_enabled() const { return warble_on(); }
    // Toggles the swap flag and exchanges the initial and final harmonics.
    void swap();
    bool swap_checked() const { return settings_.swap != 0; }

    void set_generate(bool generate) { settings_.generate = generate ? 1 : 0; }
    bool generating() const { return settings_.generate != 0; }

    bool channel_buttons_visible() const { return channels_ == 2; }
    void channel_button(int control_id);
    int checked_channel_button() const;

    void ok();
    void cancel() { end_dialog(kel::kIdCancel); }
    // Takes the type, puts both keys into the "Effects" section and asks for a name; the
    // dialog stays open. Returns the save dialog's result.
    int save();
    void help();

    const ToneSettings& settings() const { return settings_; }

  private:
    int* field(int id);
    const int* field(int id) const;

    ToneSettings& settings_;
    int channels_;
    unsigned long rate_;
    int type_choice_ = 0;
    std::vector<Slider> sliders_;
};

} // namespace effra
