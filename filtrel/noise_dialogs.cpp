#include "filtrel/noise_dialogs.h"

#include "common/host_services.h"
#include "filtrel/noise_profile.h"
#include "platform/profile.h"

#include <algorithm>

using namespace noise_dialog;

NoiseToolSettings g_noise_tools;

int read_hum_frequency(const std::string& ini_path)
{
    return kel::profile::read_int("Noise Reduction", "Hum Filter", 60, ini_path) == 50 ? 50 : 60;
}

void write_hum_frequency(const std::string& ini_path, int hz)
{
    kel::profile::write_int("Noise Reduction", "Hum Filter", hz == 50 ? 50 : 60, ini_path);
}

NoiseRemovalDialog::NoiseRemovalDialog(int hum, std::function<int()> sample)
    : hum_hz(hum == 50 ? 50 : 60), sample_(std::move(sample))
{
}

void NoiseRemovalDialog::on_open()
{
    remove_enabled = g_noise_profile.exists != 0;
}

void NoiseRemovalDialog::choose(int button)
{
    if (button == kRemove && !remove_enabled)
        return;
    if (button == kHashFilter || button == kHumFilter || button == kNoiseGate || button == kRemove)
        end_dialog(button);
}

void NoiseRemovalDialog::sample()
{
    if (sample_)
        sample_();
    remove_enabled = g_noise_profile.exists != 0;
}

void NoiseRemovalDialog::help()
{
    new_show_context_help(nullptr, kCommandContext);
}

void NoiseReductionDialog::on_open()
{
    slider.id = kSlider;
    slider.set_range(1, 100);
    g_noise_profile.reduction_percent = std::clamp(g_noise_profile.reduction_percent, 0, 99);
    slider.position = 100 - g_noise_profile.reduction_percent;
    g_noise_profile.attenuation = static_cast<float>(slider.position) * 0.01f;
    field = std::to_string(g_noise_profile.reduction_percent) + "%";
}

void NoiseReductionDialog::move_slider(int position)
{
    slider.move_to(position);
    g_noise_profile.reduction_percent = 100 - slider.position;
    g_noise_profile.attenuation = static_cast<float>(slider.position) * 0.01f;
    field = std::to_string(g_noise_profile.reduction_percent) + "%";
}

void NoiseReductionDialog::help()
{
    new_show_context_help(nullptr, kCommandContext);
}

void NoiseGateDialog::on_open()
{
    slider.id = kSlider;
    slider.set_range(0, 100);
    g_noise_tools.gate_percent = std::clamp(g_noise_tools.gate_percent, 0, 100);
    move_slider(100 - g_noise_tools.gate_percent);
    // Each run starts on both channels; a mono file has no choice.
    g_noise_tools.gate_channel_mode = 1;
    checked = kBoth;
}

void NoiseGateDialog::move_slider(int position)
{
    slider.move_to(position);
    g_noise_tools.gate_percent = 100 - slider.position;
    g_noise_tools.gate_fraction = static_cast<float>(g_noise_tools.gate_percent) * 0.01f;
    field = std::to_string(g_noise_tools.gate_percent) + "%";
}

void NoiseGateDialog::set_channels(int button)
{
    if (!stereo || button < kBoth || button > kRight)
        return;
    checked = button;
    g_noise_tools.gate_channel_mode = button - kBoth + 1;
}

void NoiseGateDialog::help()
{
    new_show_context_help(nullptr, kGateContext);
}
