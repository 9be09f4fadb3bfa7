#include "filtrel/pitch_dialogs.h"

#include "common/host_services.h"

#include <algorithm>
#include <cstdio>

using namespace passage_dialog;

void HowToChangePitchDialog::choose(int id)
{
    if (id == kFastMethod || id == kSlowMethod || id == kChangeTempo)
        choice = id;
}

void HowToChangePitchDialog::help()
{
    new_show_context_help(nullptr, kPitchCommand);
}

const std::vector<PianoKey>& piano_keys()
{
    static const std::vector<PianoKey> keys = [] {
        // Two octaves from C: flats below the middle C ("No change"), sharps above it.
        const int ids[25] = {602, 617, 603, 618, 604, 605, 619, 606, 620, 607, 621, 608, 609,
                             622, 610, 623, 611, 612, 624, 613, 625, 614, 626, 615, 616};
        std::vector<PianoKey> k;
        for (int i = 0; i < 25; ++i) {
            PianoKey key;
            key.id = ids[i];
            key.black = ids[i] >= 617;
            if (i < 12) {
                const int flats = 12 - i;
                key.value = 88 + flats;
                key.label = " " + std::to_string(flats) + (flats == 1 ? " flat" : " flats");
            } else if (i == 12) {
                key.value = kNoChangeValue;
                key.label = " No change";
            } else {
                const int sharps = i - 12;
                key.value = 100 + sharps;
                key.label = " " + std::to_string(sharps) + (sharps == 1 ? " sharp" : " sharps");
            }
            k.push_back(key);
        }
        return k;
    }();
    return keys;
}

const PianoKey* piano_key(int id)
{
    for (const PianoKey& k : piano_keys())
        if (k.id == id)
            return &k;
    return nullptr;
}

void KeyboardDialog::on_open()
{
    chosen = kNoChangeKey;
    shown = piano_key(chosen)->label;
    if (settings_.glide_up && settings_.glide_down)
        settings_.glide_down = 0;
}

void KeyboardDialog::choose(int key_id)
{
    if (const PianoKey* k = piano_key(key_id)) {
        chosen = key_id;
        shown = k->label;
    }
}

void KeyboardDialog::toggle_glide(int box_id)
{
    int& mine = box_id == kGlideUp ? settings_.glide_up : settings_.glide_down;
    int& other = box_id == kGlideUp ? settings_.glide_down : settings_.glide_up;
    if (box_id != kGlideUp && box_id != kGlideDown)
        return;
    toggle_parameter(&mine);
    if (mine)
        other = 0;
}

void KeyboardDialog::ok()
{
    const PianoKey* k = piano_key(chosen);
    if (!k || k->value == kNoChangeValue) {
        kel::ui().beep();
        return;
    }
    end_dialog(k->value);
}

void KeyboardDialog::help()
{
    new_show_context_help(nullptr, kPitchCommand);
}

PassageSliderDialog::PassageSliderDialog(Kind kind, PitchSettings& settings)
    : kind_(kind), settings_(settings)
{
}

const char* PassageSliderDialog::template_name() const
{
    switch (kind_) {
    case Kind::Pitch:
        return "NEWPITCH";
    case Kind::Tempo:
        return "NEWTEMPO";
    case Kind::Quantize:
        break;
    }
    return "QUANTIZE";
}

const char* PassageSliderDialog::caption() const
{
    switch (kind_) {
    case Kind::Pitch:
        return "Change Pitch - Preserve Tempo";
    case Kind::Tempo:
        return "Change Tempo - Preserve Pitch";
    case Kind::Quantize:
        break;
    }
    return "Quantize selection";
}

std::vector<std::string> PassageSliderDialog::scale_labels() const
{
    switch (kind_) {
    case Kind::Pitch:
        return {"Higher", "+100% -", "0% -", "-100% -", "Lower"};
    case Kind::Tempo:
        return {"Slower", "+100% -", "0% -", "-100% -", "Faster"};
    case Kind::Quantize:
        break;
    }
    return {"Earlier", "Later"};
}

std::string PassageSliderDialog::slider_group() const
{
    return kind_ == Kind::Tempo      ? "Range (-15% to +15%)"
           : kind_ == Kind::Quantize ? "Range (-1 to + 1 quarter note)"
                                     : "";
}

std::vector<std::string> PassageSliderDialog::characteristic_groups() const
{
    switch (kind_) {
    case Kind::Pitch:
        return {"Steady Pitch...", "... or variable (Glissando)"};
    case Kind::Tempo:
        return {"Tempo characteristics"};
    case Kind::Quantize:
        break;
    }
    return {};
}

std::vector<std::pair<int, std::string>> PassageSliderDialog::characteristic_buttons() const
{
    switch (kind_) {
    case Kind::Pitch:
        return {{kConstant, "&Constant"}, {kVariable, "&Down"}, {kRising, "&Up"}};
    case Kind::Tempo:
        return {
            {kConstant, "&Constant tempo"}, {kVariable, "&Accelerando"}, {kRising, "&Ritardando"}};
    case Kind::Quantize:
        break;
    }
    return {};
}

int& PassageSliderDialog::stored()
{
    switch (kind_) {
    case Kind::Pitch:
        return settings_.pitch_value;
    case Kind::Tempo:
        return settings_.tempo_value;
    case Kind::Quantize:
        break;
    }
    return settings_.quantize_value;
}

int PassageSliderDialog::value() const
{
    return const_cast<PassageSliderDialog*>(this)->stored();
}

void PassageSliderDialog::on_open()
{
    int& v = stored();
    v = std::clamp(v, -100, 100);
    slider.set_range(0, 200);
    slider.position = 100 - v;
    show_field();
}

void PassageSliderDialog::move_slider(int position)
{
    slider.move_to(position);
    stored() = 100 - slider.position;
    show_field();
}

void PassageSliderDialog::show_field()
{
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", value());
    field = text;
}

void PassageSliderDialog::choose_characteristic(int id)
{
    if (kind_ == Kind::Quantize)
        return;
    if (id == kConstant) {
        settings_.variable = settings_.rising = 0;
    } else if (id == kVariable) {
        settings_.variable = 1;
        settings_.rising = 0;
    } else if (id == kRising) {
        settings_.variable = settings_.rising = 1;
    }
}

int PassageSliderDialog::checked_characteristic() const
{
    if (!settings_.variable)
        return kConstant;
    return settings_.rising ? kRising : kVariable;
}

void PassageSliderDialog::help()
{
    new_show_context_help(nullptr, kind_ == Kind::Tempo ? kTempoCommand : kPitchCommand);
}
