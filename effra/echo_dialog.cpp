#include "effra/echo_dialog.h"

#include "common/host_services.h"

#include <algorithm>

namespace effra {

EchoDialog::EchoDialog(const DelayEffect& effect, DelaySettings& settings, int channels)
    : effect_(effect), settings_(settings), channels_(channels)
{
}

void EchoDialog::on_open()
{
    if (!channel_buttons_visible())
        settings_.channel_choice = 1;
    // A value from an old preset file is shown where the slider can show it.
    int& delay = settings_.delay_ms(effect_);
    int& decay = settings_.decay_percent(effect_);
    delay = std::clamp(delay, effect_.delay_min_ms, effect_.delay_max_ms);
    decay = std::clamp(decay, effect_.decay_min_percent, effect_.decay_max_percent);
}

int EchoDialog::delay_position() const
{
    return effect_.delay_max_ms + effect_.delay_min_ms - delay_ms();
}

int EchoDialog::decay_position() const
{
    return effect_.decay_max_percent + effect_.decay_min_percent - decay_percent();
}

void EchoDialog::delay_moved(int position)
{
    const int value = effect_.delay_max_ms + effect_.delay_min_ms - position;
    settings_.delay_ms(effect_) = std::clamp(value, effect_.delay_min_ms, effect_.delay_max_ms);
}

void EchoDialog::decay_moved(int position)
{
    const int value = effect_.decay_max_percent + effect_.decay_min_percent - position;
    settings_.decay_percent(effect_) =
        std::clamp(value, effect_.decay_min_percent, effect_.decay_max_percent);
}

std::string EchoDialog::delay_text() const
{
    return std::to_string(delay_ms()) + " ms";
}

std::string EchoDialog::decay_text() const
{
    return std::to_string(decay_percent()) + "%";
}

void EchoDialog::channel_button(int control_id)
{
    if (control_id >= kBothChannels && control_id <= kRightChannel)
        settings_.channel_choice = control_id - kBothChannels + 1;
}

int EchoDialog::checked_channel_button() const
{
    return kBothChannels + std::clamp(settings_.channel_choice, 1, 3) - 1;
}

int EchoDialog::save()
{
    const PresetFamily family = preset_family(effect_.preset_kind);
    return save_preset_values(family, preset_file_path(), {preset_values_of(settings_, effect_)});
}

void EchoDialog::help()
{
    // Both dialogs share the echo's help page.
    new_show_context_help(nullptr, echo_effect().command);
}

} // namespace effra
