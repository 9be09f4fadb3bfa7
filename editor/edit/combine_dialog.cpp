// The combine dialog's values and enabling rules.
#include "editor/edit/combine_dialog.h"

#include "common/host_services.h"
#include "editor/edit/clipboard_files.h"

#include <algorithm>
#include <cmath>

int CombineSelectionDialog::position_of_gain(float gain)
{
    return std::clamp(static_cast<int>(std::lround(100.0 - gain * 50.0)), 0, 100);
}

void CombineSelectionDialog::on_open()
{
    mode_ = has_selection_ ? kPaste : kInsert;
    mix_left_ = mix_right_ = false;
    exponential_ = g_clipboard.crossfade_exponential != 0;
    source_position_ = position_of_gain(g_clipboard.source_gain);
    destination_position_ = position_of_gain(g_clipboard.destination_gain);
    button_down_ = false;
}

bool CombineSelectionDialog::enabled(int control) const
{
    switch (control) {
    case kInsert:
    case kOverwrite:
        return !has_selection_;
    case kPaste:
        return has_selection_;
    case kMixLeft:
    case kMixRight:
        return stereo_;
    default:
        return true;
    }
}

std::string CombineSelectionDialog::text(int control) const
{
    switch (control) {
    case kInsert:
        return "&Insert";
    case kOverwrite:
        return "&Overwrite";
    case kPaste:
        return "&Paste";
    case kCrossFade:
        return "Cross &fade";
    case kMixBoth:
        return stereo_ ? "-> &Both channels" : "&Mix";
    case kMixLeft:
        return "-> &Left channel";
    case kMixRight:
        return "-> &Right channel";
    case kSourceSlider:
        return "Source";
    case kDestinationSlider:
        return "Dest";
    case kLinear:
        return "&Linear";
    case kExponential:
        return "&Exponential";
    case kOk:
        return "&OK";
    case kCancel:
        return "&Cancel";
    case kHelp:
        return "&Help";
    default:
        return "";
    }
}

bool CombineSelectionDialog::choose_mode(int control)
{
    if (control != kInsert && control != kOverwrite && control != kPaste && control != kCrossFade)
        return false;
    if (!enabled(control))
        return false;
    mode_ = control;
    mix_left_ = mix_right_ = false;
    return true;
}

bool CombineSelectionDialog::choose_mix(int control)
{
    if ((control != kMixBoth && control != kMixLeft && control != kMixRight) || !enabled(control))
        return false;
    mix_left_ = control == kMixBoth || control == kMixLeft;
    mix_right_ = control == kMixBoth || control == kMixRight;
    mode_ = 11307;
    return true;
}

void CombineSelectionDialog::choose_shape(int control)
{
    if (control == kLinear)
        exponential_ = false;
    else if (control == kExponential)
        exponential_ = true;
}

bool CombineSelectionDialog::move_slider(int control, int position)
{
    if (!button_down_)
        return false;
    position = std::clamp(position, 0, 100);
    if (control == kSourceSlider)
        source_position_ = position;
    else if (control == kDestinationSlider)
        destination_position_ = position;
    else
        return false;
    return true;
}

int CombineSelectionDialog::slider_position(int control) const
{
    return control == kSourceSlider ? source_position_ : destination_position_;
}

float CombineSelectionDialog::gain(int control) const
{
    return gain_of_position(slider_position(control));
}

void CombineSelectionDialog::ok()
{
    g_clipboard.combine_mode = mode_;
    g_clipboard.mix_left = mix_left_ ? 1 : 0;
    g_clipboard.mix_right = mix_right_ ? 1 : 0;
    g_clipboard.crossfade_exponential = exponential_ ? 1 : 0;
    g_clipboard.source_gain = gain(kSourceSlider);
    g_clipboard.destination_gain = gain(kDestinationSlider);
    end_dialog(mode_);
}

void CombineSelectionDialog::cancel()
{
    end_dialog(kCancel);
}

void CombineSelectionDialog::help()
{
    new_show_context_help(nullptr, 1403);
}
