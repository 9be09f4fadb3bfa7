#pragma once
// The pitch and tempo dialogs:
// - "HOWTOCHANGEPITCH" ("Change Pitch"): the fast or slow method at constant tempo, or
//   changing the tempo with the pitch; OK ends with the chosen button's id.
// - "NEWCHANGEPITCH" ("Change Pitch"): a keyboard of two octaves, 12 flats to 12 sharps;
//   OK ends with the chosen key's value.
// - "NEWPITCH", "NEWTEMPO" and "QUANTIZE": one upside-down slider (-100 .. 100) with its
//   value field, and for pitch and tempo the steady or variable characteristic.
#include "filtrel/dialog_slider.h"
#include "filtrel/pitch_settings.h"
#include "platform/ui.h"

#include <string>
#include <vector>

namespace passage_dialog {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kHelp = 1405;
inline constexpr int kFastMethod = 101;
inline constexpr int kSlowMethod = 102;
inline constexpr int kChangeTempo = 103;
inline constexpr int kSlider = 233;
inline constexpr int kField = 232;
inline constexpr int kConstant = 514;
inline constexpr int kVariable = 1039; // "&Down" / "&Accelerando"
inline constexpr int kRising = 1040;   // "&Up" / "&Ritardando"
inline constexpr int kNoChangeKey = 609;
inline constexpr int kKeyLabel = 633;
inline constexpr int kGlideUp = 630;
inline constexpr int kGlideDown = 631;
} // namespace passage_dialog

class HowToChangePitchDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "HOWTOCHANGEPITCH"; }
    static constexpr const char* kCaption = "Change Pitch";
    void on_open() override { choice = passage_dialog::kFastMethod; }
    void choose(int id);
    void ok() { end_dialog(choice); }
    void cancel() { end_dialog(passage_dialog::kCancel); }
    void help();

    int choice = passage_dialog::kFastMethod;
};

struct PianoKey
{
    int id;
    bool black;
    int value;
    std::string label;
};

// The 25 keys from the left (12 flats) to the right (12 sharps).
const std::vector<PianoKey>& piano_keys();
const PianoKey* piano_key(int id);

class KeyboardDialog : public kel::DialogModel
{
  public:
    explicit KeyboardDialog(PitchSettings& settings) : settings_(settings) {}
    const char* template_name() const override { return "NEWCHANGEPITCH"; }
    static constexpr const char* kCaption = "Change Pitch";
    static constexpr const char* kPrompt = "Select new pitch from keyboard...";
    static constexpr const char* kValueLabel = "Value selected:";

    void on_open() override;
    void choose(int key_id);
    // The two glide boxes exclude each other; both may be off.
    void toggle_glide(int box_id);
    // "No change" only beeps.
    void ok();
    void cancel() { end_dialog(passage_dialog::kCancel); }
    void help();

    bool glide_up() const { return settings_.glide_up != 0; }
    bool glide_down() const { return settings_.glide_down != 0; }

    int chosen = passage_dialog::kNoChangeKey;
    std::string shown; // static 633

  private:
    PitchSettings& settings_;
};

class PassageSliderDialog : public kel::DialogModel
{
  public:
    enum class Kind { Pitch, Tempo, Quantize };
    PassageSliderDialog(Kind kind, PitchSettings& settings);

    const char* template_name() const override;
    const char* caption() const;
    // Texts beside the slider, top to bottom, and the group around it.
    std::vector<std::string> scale_labels() const;
    std::string slider_group() const;
    // The characteristic's group titles and buttons (none for Quantize).
    std::vector<std::string> characteristic_groups() const;
    std::vector<std::pair<int, std::string>> characteristic_buttons() const;

    void on_open() override;
    void move_slider(int position);
    void choose_characteristic(int id); // 514, 1039, 1040
    int checked_characteristic() const;
    void ok() { end_dialog(passage_dialog::kOk); }
    void cancel() { end_dialog(passage_dialog::kCancel); }
    void help();

    Kind kind() const { return kind_; }
    int value() const;
    DialogSlider slider{passage_dialog::kSlider};
    std::string field; // "%d%"

  private:
    int& stored();
    void show_field();

    Kind kind_;
    PitchSettings& settings_;
};
