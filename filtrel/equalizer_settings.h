#pragma once
// The four bands of the Equalize command, kept between commands, and their presets in
// "KVSEQUAL.INI" (keys FGW1 .. FGW4: "frequency gain width").
//
// Gain g runs from -60 to 60 (0 switches a band off); the band's amplitude factor is
// 10^(g / 100), that is 0.2 g dB. Frequency 0 .. rate/2 Hz, width 0 .. 1000 Hz.
#include <string>
#include <vector>

inline constexpr int kEqualizeCommand = 11506;
inline constexpr int kEqualizeFrames = 512;
inline constexpr int kEqualizerBands = 4;
inline constexpr int kEqualizerGainLimit = 60;
inline constexpr int kEqualizerWidthLimit = 1000;

struct EqualizerBand
{
    int frequency; // Hz
    int gain;      // hundredths of a decade of amplitude
    int width;     // Hz
};

struct EqualizerSettings
{
    EqualizerBand bands[kEqualizerBands] = {
        {2205, 30, 800}, {4410, -30, 800}, {6615, 30, 800}, {8820, -30, 800}};
};

extern EqualizerSettings g_equalizer;

// 10^(g / 100).
double equalizer_factor(int gain);
// The gain the band applies, in dB (0.2 g).
double equalizer_decibels(int gain);

// The multiplier of every element 0 .. n of an n-point packed spectrum at this rate: the
// bands in order, each multiplying elements c - trunc(0.8 w) <= j < c + trunc(0.8 w),
// 0 < j < n, by a e^-((j - c) / w)^2 with c = trunc(2 n f / rate), w = trunc(2 n width /
// rate). Elements no band reaches keep 1 (the multiplier jumps to 1 at a band's edge).
std::vector<float> equalizer_multipliers(const EqualizerSettings& settings, long rate, int n);
// True when some band has a gain.
bool equalizer_active(const EqualizerSettings& settings);

// Reads keys FGW1 .. FGW4 of the preset in order; each value is brought into its range.
// A missing or empty key shows "Failed to get equalize parameters" and stops the read
// (bands already read keep their new values).
bool read_equalizer_preset(EqualizerSettings& settings, const std::string& ini_path,
                           const std::string& preset);
// One value list per key, FGW1 .. FGW4.
std::vector<std::vector<int>> equalizer_preset_values(const EqualizerSettings& settings);

// "KVSEQUAL.INI" beside this module.
std::string equalizer_preset_path();
std::string module_directory();
