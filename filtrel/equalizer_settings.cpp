#include "filtrel/equalizer_settings.h"

#include "common/host_services.h"
#include "common/preset_values.h"
#include "platform/paths.h"

#include <algorithm>
#include <cmath>

EqualizerSettings g_equalizer;

double equalizer_factor(int gain)
{
    return std::pow(10.0, gain * 0.01);
}

double equalizer_decibels(int gain)
{
    return gain * 0.2;
}

bool equalizer_active(const EqualizerSettings& s)
{
    for (const EqualizerBand& b : s.bands)
        if (b.gain != 0)
            return true;
    return false;
}

std::vector<float> equalizer_multipliers(const EqualizerSettings& s, long rate, int n)
{
    std::vector<float> m(static_cast<size_t>(n) + 1, 1.0f);
    if (rate <= 0)
        return m;
    for (const EqualizerBand& b : s.bands) {
        if (b.gain == 0)
            continue;
        const long c = static_cast<long>(2.0 * n * b.frequency / static_cast<double>(rate));
        const long w = static_cast<long>(2.0 * n * b.width / static_cast<double>(rate));
        if (w <= 0)
            continue;
        const long reach = static_cast<long>(0.8 * static_cast<double>(w));
        const double a = equalizer_factor(b.gain);
        for (long j = std::max(1L, c - reach); j < std::min<long>(n, c + reach); ++j) {
            const double u = static_cast<double>(j - c) / static_cast<double>(w);
            m[static_cast<size_t>(j)] =
                static_cast<float>(m[static_cast<size_t>(j)] * a * std::exp(-u * u));
        }
    }
    return m;
}

std::string module_directory()
{
    return kel::paths::module_dir_of(reinterpret_cast<const void*>(&module_directory));
}

std::string equalizer_preset_path()
{
    return module_directory() + preset_family(PresetKind::Equalizer).ini_file;
}

bool read_equalizer_preset(EqualizerSettings& s, const std::string& ini_path,
                           const std::string& preset)
{
    const PresetFamily family = preset_family(PresetKind::Equalizer);
    for (int k = 0; k < kEqualizerBands; ++k) {
        std::vector<int> v;
        if (!read_preset_values(family, ini_path, preset, k + 1, v)) {
            ErrMsg("%s", "Failed to get equalize parameters");
            return false;
        }
        v.resize(3, 0);
        // A preset file is outside input: keep every value where the dialog can put it.
        s.bands[k].frequency = std::max(0, v[0]);
        s.bands[k].gain = std::clamp(v[1], -kEqualizerGainLimit, kEqualizerGainLimit);
        s.bands[k].width = std::clamp(v[2], 0, kEqualizerWidthLimit);
    }
    return true;
}

std::vector<std::vector<int>> equalizer_preset_values(const EqualizerSettings& s)
{
    std::vector<std::vector<int>> out;
    for (const EqualizerBand& b : s.bands)
        out.push_back({b.frequency, b.gain, b.width});
    return out;
}
