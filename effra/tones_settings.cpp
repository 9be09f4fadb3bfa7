// The tone generator's parameters, its waveform table and its preset values.
#include "common/preset_values.h"
#include "effra/delay_effect.h"
#include "effra/tones.h"

#include <algorithm>
#include <cmath>

namespace effra {

ToneSettings& tone_settings()
{
    static ToneSettings settings;
    return settings;
}

std::vector<float> waveform_table(int wave)
{
    std::vector<float> t(2002, 0.0f);
    for (int i = 0; i <= 1000; ++i) {
        float v = 0.0f;
        switch (wave) {
        case 0: // Cosine
            v = static_cast<float>(std::cos(i * 0.0062831853));
            break;
        case 1: // Sine
            v = static_cast<float>(std::sin(i * 0.0062831853));
            break;
        case 2: // Square wave
            v = i <= 499 ? 1.0f : -1.0f;
            break;
        case 3: // Sawtooth, which is a triangle
            v = i <= 499 ? static_cast<float>(i * 0.004 - 1.0)
                         : static_cast<float>(1.0 - (i - 500) * 0.004);
            break;
        case 4: // Ramp
            v = static_cast<float>(i * 0.002 - 1.0);
            break;
        case 5: // Pulse
            v = i <= 99 ? 1.0f : (i <= 199 ? -1.0f : 0.0f);
            break;
        default:
            break;
        }
        t[static_cast<size_t>(i)] = v;
    }
    return t;
}

std::vector<std::vector<int>> tone_preset_values(const ToneSettings& s)
{
    std::vector<int> key1;
    for (int i = 0; i < kWaveTypes; ++i)
        key1.push_back(s.wave == i ? 1 : 0);
    key1.push_back(s.warble);
    key1.push_back(s.generate);
    key1.push_back(s.swap);
    std::vector<int> key2{s.channels,     s.frequency_initial, s.frequency_final,  s.volume_left,
                          s.volume_right, s.vibrato_frequency, s.vibrato_amplitude};
    for (int h : s.harmonic_initial)
        key2.push_back(h);
    for (int h : s.harmonic_final)
        key2.push_back(h);
    key2.push_back(s.phase);
    return {key1, key2};
}

void clamp_tone_settings(ToneSettings& s, unsigned long samples_per_second)
{
    const int nyquist = std::max(1, static_cast<int>(std::min(samples_per_second / 2, 1000000ul)));
    s.wave = std::clamp(s.wave, 0, kWaveTypes - 1);
    s.generate = s.generate ? 1 : 0;
    s.frequency_initial = std::clamp(s.frequency_initial, 1, nyquist);
    s.frequency_final = std::clamp(s.frequency_final, 1, nyquist);
    s.vibrato_frequency = std::clamp(s.vibrato_frequency, 0, 100);
    s.vibrato_amplitude = std::clamp(s.vibrato_amplitude, 0, 100);
    for (int k = 0; k < 4; ++k) {
        s.harmonic_initial[k] = std::clamp(s.harmonic_initial[k], 0, 99);
        s.harmonic_final[k] = std::clamp(s.harmonic_final[k], 0, 99);
        s.stored_final[k] = std::clamp(s.stored_final[k], 0, 99);
    }
    s.warble = s.warble ? 1 : 0;
    s.swap = s.swap ? 1 : 0;
    s.phase = std::clamp(s.phase, 0, 360);
    s.volume_left = std::clamp(s.volume_left, 0, 100);
    s.volume_right = std::clamp(s.volume_right, 0, 100);
    if (s.channels < 1 || s.channels > 3)
        s.channels = 1;
}

void apply_tone_preset(ToneSettings& s, const std::vector<int>& key1, const std::vector<int>& key2,
                       unsigned long samples_per_second)
{
    auto at = [](const std::vector<int>& v, size_t i, int current) {
        return i < v.size() ? v[i] : current;
    };
    // Of several type flags the first wins; with none the type stays.
    for (int i = kWaveTypes - 1; i >= 0; --i)
        if (at(key1, static_cast<size_t>(i), 0))
            s.wave = i;
    s.warble = at(key1, 6, s.warble);
    s.generate = at(key1, 7, s.generate);
    s.swap = at(key1, 8, s.swap);
    s.channels = at(key2, 0, s.channels);
    s.frequency_initial = at(key2, 1, s.frequency_initial);
    s.frequency_final = at(key2, 2, s.frequency_final);
    s.volume_left = at(key2, 3, s.volume_left);
    s.volume_right = at(key2, 4, s.volume_right);
    s.vibrato_frequency = at(key2, 5, s.vibrato_frequency);
    s.vibrato_amplitude = at(key2, 6, s.vibrato_amplitude);
    for (size_t k = 0; k < 4; ++k) {
        s.harmonic_initial[k] = at(key2, 7 + k, s.harmonic_initial[k]);
        s.harmonic_final[k] = at(key2, 11 + k, s.harmonic_final[k]);
    }
    s.phase = at(key2, 15, s.phase);
    clamp_tone_settings(s, samples_per_second);
    if (s.warble)
        std::copy(std::begin(s.harmonic_final), std::end(s.harmonic_final), s.stored_final);
}

std::string tones_preset_path()
{
    return preset_directory() + preset_family(PresetKind::Tones).ini_file;
}

} // namespace effra
