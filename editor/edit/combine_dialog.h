#pragma once
#include "platform/ui.h"

#include <string>

// "COPYSELECTION": how a section dropped on another document is combined with it.
// OK ends with the chosen code (11304 insert, 11305 paste, 11306 overwrite, 11307 mix,
// 11311 cross-fade) and stores the choices in the clipboard state; Cancel ends with 2
// and changes nothing.
class CombineSelectionDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "         Combine Selection With Destination";
    enum Control : int {
        kInsert = 11304,
        kOverwrite = 11306,
        kPaste = 11305,
        kCrossFade = 11311,
        kMixBoth = 245,
        kMixLeft = 246,
        kMixRight = 247,
        kSourceSlider = 1000,
        kDestinationSlider = 1001,
        kLinear = 11513,
        kExponential = 11506,
        kOk = 1,
        kCancel = 2,
        kHelp = 1405,
    };

    CombineSelectionDialog(bool destination_has_selection, bool destination_stereo)
        : has_selection_(destination_has_selection), stereo_(destination_stereo)
    {
    }
    const char* template_name() const override { return "COPYSELECTION"; }
    void on_open() override;

    bool enabled(int control) const;
    std::string text(int control) const;

    // False when the control is disabled.
    bool choose_mode(int control);
    bool choose_mix(int control);
    void choose_shape(int control);
    // The sliders follow the mouse only while its left button is held on them.
    void left_button(bool down) { button_down_ = down; }
    bool move_slider(int control, int position);

    void ok();
    void cancel();
    void help();

    int mode() const { return mode_; }
    bool mix_left() const { return mix_left_; }
    bool mix_right() const { return mix_right_; }
    bool exponential() const { return exponential_; }
    int slider_position(int control) const;
    float gain(int control) const;

    static float gain_of_position(int position) { return (100 - position) * 0.02f; }
    static int position_of_gain(float gain);

  private:
    bool has_selection_;
    bool stereo_;
    int mode_ = kInsert;
    bool mix_left_ = false;
    bool mix_right_ = false;
    bool exponential_ = false;
    bool button_down_ = false;
    int source_position_ = 50;
    int destination_position_ = 50;
};
