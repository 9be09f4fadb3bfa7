#include "effra/tones_dialog.h"

#include "common/host_services.h"
#include "common/preset_values.h"

#include <algorithm>
#include <utility>

namespace effra {

TonesDialog::TonesDialog(ToneSettings& settings, int channels, unsigned long samples_per_second)
    : settings_(settings), channels_(channels), rate_(samples_per_second)
{
    const int nyquist = std::max(1, static_cast<int>(std::min(rate_ / 2, 1000000ul)));
    sliders_ = {{kFrequencyInitial, 521, 1, nyquist, "Initial"},
                {kFrequencyFinal, 390, 1, nyquist, "Final"},
                {kVibratoFrequency, 522, 0, 100, "Freq."},
                {kVibratoAmplitude, 523, 0, 100, "Ampl."},
                {kHarmonicInitial[0], 508, 0, 99, "1st"},
                {kHarmonicInitial[1], 509, 0, 99, "2nd"},
                {kHarmonicInitial[2], 510, 0, 99, "3rd"},
                {kHarmonicInitial[3], 511, 0, 99, "4th"},
                {kHarmonicFinal[0], 537, 0, 99, "1st"},
                {kHarmonicFinal[1], 538, 0, 99, "2nd"},
                {kHarmonicFinal[2], 539, 0, 99, "3rd"},
                {kHarmonicFinal[3], 540, 0, 99, "4th"},
                {kPhase, 527, 0, 360, "Phase"},
                {kVolumeLeft, 530, 0, 100, "Left"},
                {kVolumeRight, 531, 0, 100, "Right"}};
}

void TonesDialog::on_open()
{
    clamp_tone_settings(settings_, rate_);
    if (!channel_buttons_visible())
        settings_.channels = 1;
    type_choice_ = settings_.wave;
    if (settings_.warble)
        std::copy(std::begin(settings_.harmonic_final), std::end(settings_.harmonic_final),
                  settings_.stored_final);
}

const TonesDialog::Slider* TonesDialog::slider(int id) const
{
    for (const Slider& s : sliders_)
        if (s.id == id)
            return &s;
    return nullptr;
}

int* TonesDialog::field(int id)
{
    return const_cast<int*>(std::as_const(*this).field(id));
}

const int* TonesDialog::field(int id) const
{
    const ToneSettings& s = settings_;
    switch (id) {
    case kFrequencyInitial:
        return &s.frequency_initial;
    case kFrequencyFinal:
        return &s.frequency_final;
    case kVibratoFrequency:
        return &s.vibrato_frequency;
    case kVibratoAmplitude:
        return &s.vibrato_amplitude;
    case kVolumeLeft:
        return &s.volume_left;
    case kVolumeRight:
        return &s.volume_right;
    case kPhase:
        return &s.phase;
    default:
        break;
    }
    for (int k = 0; k < 4; ++k) {
        if (id == kHarmonicInitial[k])
            return &s.harmonic_initial[k];
        if (id == kHarmonicFinal[k])
            return &s.harmonic_final[k];
    }
    return nullptr;
}

int TonesDialog::value(int id) const
{
    const int* f = field(id);
    return f ? *f : 0;
}

int TonesDialog::position(int id) const
{
    const Slider* s = slider(id);
    return s ? s->maximum + s->minimum - value(id) : 0;
}

void TonesDialog::slider_moved(int id, int position)
{
    const Slider* s = slider(id);
    int* f = field(id);
    if (!s || !f || !slider_enabled(id))
        return;
    *f = std::clamp(s->maximum + s->minimum - position, s->minimum, s->maximum);
    // What Warble brings back is what was last set here.
    for (int k = 0; k < 4; ++k)
        if (id == kHarmonicFinal[k])
            settings_.stored_final[k] = *f;
}

std::string TonesDialog::text(int id) const
{
    const std::string v = std::to_string(value(id));
    if (id == kFrequencyInitial || id == kFrequencyFinal || id == kVibratoFrequency)
        return v + " Hz";
    if (id == kPhase)
        return v + " deg";
    return v + "%";
}

bool TonesDialog::slider_enabled(int id) const
{
    for (int k = 0; k < 4; ++k)
        if (id == kHarmonicFinal[k])
            return warble_on();
    return slider(id) != nullptr;
}

void TonesDialog::constant()
{
    if (settings_.warble)
        std::copy(std::begin(settings_.harmonic_final), std::end(settings_.harmonic_final),
                  settings_.stored_final);
    settings_.warble = 0;
}

void TonesDialog::warble()
{
    if (!settings_.warble)
        std::copy(std::begin(settings_.stored_final), std::end(settings_.stored_final),
                  settings_.harmonic_final);
    settings_.warble = 1;
}

void TonesDialog::swap()
{
    if (!swap_enabled())
        return;
    toggle_parameter(&settings_.swap);
    for (int k = 0; k < 4; ++k) {
        std::swap(settings_.harmonic_initial[k], settings_.harmonic_final[k]);
        settings_.stored_final[k] = settings_.harmonic_final[k];
    }
}

void TonesDialog::channel_button(int control_id)
{
    if (channel_buttons_visible() && control_id >= kBoth && control_id <= kRight)
        settings_.channels = control_id - kBoth + 1;
}

int TonesDialog::checked_channel_button() const
{
    return kBoth + std::clamp(settings_.channels, 1, 3) - 1;
}

void TonesDialog::ok()
{
    settings_.wave = std::clamp(type_choice_, 0, kWaveTypes - 1);
    end_dialog(kel::kIdOk);
}

int TonesDialog::save()
{
    settings_.wave = std::clamp(type_choice_, 0, kWaveTypes - 1);
    return save_preset_values(preset_family(PresetKind::Tones), tones_preset_path(),
                              tone_preset_values(settings_));
}

void TonesDialog::help()
{
    new_show_context_help(nullptr, 11517);
}

} // namespace effra
