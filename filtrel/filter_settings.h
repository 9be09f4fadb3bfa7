#pragma once
// What the Filter command remembers between runs, and its preset values in
// "KVSFILTR.INI" (key "Filter Values1": "type frequency width", or for a band-pass
// sweep "1001 start stop width", all in Hz).
#include <string>
#include <vector>

inline constexpr int kFilterHash = 275;
inline constexpr int kFilterLowPass = 276;
inline constexpr int kFilterHighPass = 277;
inline constexpr int kFilterBandPass = 278;
inline constexpr int kFilterNotch = 279;
inline constexpr int kFilterSweep = 1001; // preset files only; also the dialog's check box
inline constexpr int kFilterCommand = 11509;

struct FilterSettings
{
    int type = kFilterBandPass;
    int frequency_step = 10; // units of 10 Hz
    float frequency = 100.0f;
    int width_step = 500; // Hz
    float width = 500.0f;
    int sweep_start_step = 10; // units of 10 Hz
    int sweep_stop_step = 600;
    float sweep_start = 100.0f;
    float sweep_stop = 6000.0f;
    int sweep = 0;
    std::string type_text = "BANDPASS";
    std::string progress_text = "Band-pass filtering waveform ...";
};

extern FilterSettings g_filter;

// Type and progress texts of a type; false (texts untouched) for a type without them.
bool filter_type_texts(int type, std::string& type_text, std::string& progress_text);
// Sets the type and, where the type has them, its texts.
void set_filter_type(FilterSettings& settings, int type);

// Applies the integers of a preset's value key. Any type counts as read; only 275 to
// 279 and 1001 change the other settings.
void apply_filter_preset(FilterSettings& settings, const std::vector<int>& values);
// Reads key "Filter Values1" of the named preset (at most 59 characters); false when it
// is missing or empty, with the settings untouched.
bool read_filter_preset(FilterSettings& settings, const std::string& ini_path,
                        const std::string& preset);
// The integers Save writes for the given type: four for a band pass with the sweep on,
// else three.
std::vector<int> filter_preset_values(const FilterSettings& settings, int type);
