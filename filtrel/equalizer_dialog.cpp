#include "filtrel/equalizer_dialog.h"

#include "common/host_services.h"
#include "common/preset_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace equalize_dialog;

namespace {

std::string formatted(const char* format, double v, const char* unit)
{
    char text[48];
    std::snprintf(text, sizeof text, format, v, unit);
    return text;
}

std::string hertz(int v)
{
    char text[48];
    std::snprintf(text, sizeof text, "%d%s", v, " Hz");
    return text;
}

EqualizerCurve curve_of(const EqualizerSettings& s, long rate)
{
    EqualizerCurve c;
    const int n = kEqualizeFrames;
    const std::vector<float> m = equalizer_multipliers(s, rate, n);
    const float step = static_cast<float>(rate) / (2.0f * n);
    c.points.emplace_back(0.0f, 0.0f);
    for (int j = 1; j < n; ++j)
        c.points.emplace_back(step * j, static_cast<float>(20.0 * std::log10(m[j])));
    c.points.emplace_back(static_cast<float>(rate) / 2.0f, 0.0f);
    return c;
}

} // namespace

EqualizerGraph equalizer_graph(const EqualizerSettings& s, long rate)
{
    EqualizerGraph g;
    g.sample_rate = rate;
    g.level_lines = {{0.0f, "0 dB"}, {6.0f, "+6 dB"}, {-6.0f, "-6 dB"}};
    for (int k = 0; k < kEqualizerBands; ++k) {
        EqualizerSettings alone;
        for (EqualizerBand& b : alone.bands)
            b.gain = 0;
        alone.bands[k] = s.bands[k];
        g.bands[k] = curve_of(alone, rate);
        g.bands[k].active = s.bands[k].gain != 0;
        g.bands[k].centre_hz = static_cast<float>(s.bands[k].frequency);
        char text[32];
        std::snprintf(text, sizeof text, "%s%4.1f", "Vol x ", equalizer_factor(s.bands[k].gain));
        g.bands[k].label = text;
    }
    g.total = curve_of(s, rate);
    g.total.active = equalizer_active(s);
    return g;
}

EqualizeDialog::EqualizeDialog(EqualizerSettings& settings, long sample_rate, std::string ini_path)
    : settings_(settings), sample_rate_(sample_rate), ini_path_(std::move(ini_path))
{
    for (int k = 0; k < kEqualizerBands; ++k) {
        frequency[k].id = kFrequencySlider[k];
        gain[k].id = kGainSlider[k];
        width[k].id = kWidthSlider[k];
    }
}

std::string EqualizeDialog::band_title(int band)
{
    return "Channel " + std::to_string(band + 1);
}

DialogSlider* EqualizeDialog::slider(int id)
{
    for (int k = 0; k < kEqualizerBands; ++k)
        for (DialogSlider* s : {&frequency[k], &gain[k], &width[k]})
            if (s->id == id)
                return s;
    return nullptr;
}

void EqualizeDialog::on_open()
{
    const int half = static_cast<int>(sample_rate_ / 2);
    for (int k = 0; k < kEqualizerBands; ++k) {
        EqualizerBand& b = settings_.bands[k];
        b.frequency = std::clamp(b.frequency, 0, half);
        b.gain = std::clamp(b.gain, -kEqualizerGainLimit, kEqualizerGainLimit);
        b.width = std::clamp(b.width, 0, kEqualizerWidthLimit);
        frequency[k].set_range(0, half);
        frequency[k].position = half - b.frequency;
        gain[k].set_range(0, 2 * kEqualizerGainLimit);
        gain[k].position = kEqualizerGainLimit - b.gain;
        width[k].set_range(0, kEqualizerWidthLimit);
        width[k].position = kEqualizerWidthLimit - b.width;
        show_band(k);
    }
    graph = equalizer_graph(settings_, sample_rate_);
}

void EqualizeDialog::show_band(int k)
{
    const EqualizerBand& b = settings_.bands[k];
    frequency_field[k] = hertz(b.frequency);
    // The band multiplies by 10^(g/100), that is 0.2 g dB: the field shows the gain that
    // is applied, while presets keep g itself.
    gain_field[k] = formatted("%4.1f%s", equalizer_decibels(b.gain), " dB");
    width_field[k] = hertz(b.width);
}

void EqualizeDialog::move_slider(int slider_id, int position)
{
    for (int k = 0; k < kEqualizerBands; ++k) {
        EqualizerBand& b = settings_.bands[k];
        if (slider_id == frequency[k].id) {
            frequency[k].move_to(position);
            b.frequency = static_cast<int>(sample_rate_ / 2) - frequency[k].position;
        } else if (slider_id == gain[k].id) {
            gain[k].move_to(position);
            b.gain = kEqualizerGainLimit - gain[k].position;
        } else if (slider_id == width[k].id) {
            width[k].move_to(position);
            b.width = kEqualizerWidthLimit - width[k].position;
        } else {
            continue;
        }
        show_band(k);
        graph = equalizer_graph(settings_, sample_rate_);
        return;
    }
}

void EqualizeDialog::help()
{
    new_show_context_help(nullptr, kEqualizeCommand);
}

int EqualizeDialog::save()
{
    return save_preset_values(preset_family(PresetKind::Equalizer), ini_path_,
                              equalizer_preset_values(settings_));
}
