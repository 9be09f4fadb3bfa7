#include "filtrel/filter_settings.h"

#include "common/preset_values.h"
#include "platform/profile.h"

FilterSettings g_filter;

bool filter_type_texts(int type, std::string& type_text, std::string& progress_text)
{
    switch (type) {
    case kFilterHash:
        type_text = "HASH";
        progress_text = "Hash filtering waveform ...";
        return true;
    case kFilterLowPass:
        type_text = "LOPASS";
        progress_text = "Low-pass filtering waveform ...";
        return true;
    case kFilterHighPass:
        type_text = "HIPASS";
        progress_text = "High-pass filtering waveform ...";
        return true;
    case kFilterBandPass:
        type_text = "BANDPASS";
        progress_text = "Band-pass filtering waveform ...";
        return true;
    case kFilterNotch:
        type_text = "NOTCH";
        progress_text = "Notch-filtering waveform ...";
        return true;
    case kFilterSweep:
        type_text = "BANDPASS";
        progress_text = "Filter-sweep waveform ...";
        return true;
    }
    return false;
}

void set_filter_type(FilterSettings& settings, int type)
{
    settings.type = type;
    filter_type_texts(type, settings.type_text, settings.progress_text);
}

void apply_filter_preset(FilterSettings& s, const std::vector<int>& values)
{
    auto at = [&](size_t i) { return i < values.size() ? values[i] : 0; };
    const int type = at(0);
    s.type = type;
    if (type == kFilterSweep) {
        s.sweep = 1;
        filter_type_texts(type, s.type_text, s.progress_text);
        s.sweep_start = static_cast<float>(at(1));
        s.sweep_stop = static_cast<float>(at(2));
        s.width_step = at(3);
        s.width = static_cast<float>(at(3));
        s.sweep_start_step = at(1) / 10;
        s.sweep_stop_step = at(2) / 10;
    } else if (type >= kFilterHash && type <= kFilterNotch) {
        s.sweep = 0;
        filter_type_texts(type, s.type_text, s.progress_text);
        s.frequency = static_cast<float>(at(1));
        s.frequency_step = at(1) / 10;
        s.width_step = at(2);
        s.width = static_cast<float>(at(2));
    }
}

bool read_filter_preset(FilterSettings& settings, const std::string& ini_path,
                        const std::string& preset)
{
    const PresetFamily family = preset_family(PresetKind::Filter);
    auto text = kel::profile::lookup(preset, family.value_prefix + "1", ini_path);
    if (!text || text->empty())
        return false;
    std::string value = text->substr(0, 59);
    apply_filter_preset(settings, parse_preset_values(value));
    return true;
}

std::vector<int> filter_preset_values(const FilterSettings& s, int type)
{
    // A loaded sweep preset has no radio button of its own: it is a band pass.
    if (type == kFilterSweep)
        type = kFilterBandPass;
    if (type == kFilterBandPass && s.sweep)
        return {kFilterSweep, static_cast<int>(s.sweep_start), static_cast<int>(s.sweep_stop),
                static_cast<int>(s.width)};
    return {type, static_cast<int>(s.frequency), static_cast<int>(s.width)};
}
