#pragma once
// Tones / Effects: a tone built from a one-period table of 1001 points, written into the
// selection (Generate tones) or multiplied into it (Modulate music); tones.cpp. The whole
// selection is worked on in memory.
#include <string>
#include <vector>

namespace effra {

inline constexpr int kWaveTypes = 6;
// In the order of the type flags and of the dialog's list.
inline constexpr const char* kWaveNames[kWaveTypes] = {"Cosine",   "Sine", "Square wave",
                                                       "Sawtooth", "Ramp", "Pulse"};

// Module-wide parameters, kept for the life of the process.
struct ToneSettings
{
    int wave = 0;     // index into kWaveNames
    int generate = 1; // 1 Generate tones, 0 Modulate music
    int frequency_initial = 440;
    int frequency_final = 440; // 1 to half the sample rate, Hz
    int vibrato_frequency = 0; // 0 to 100 Hz
    int vibrato_amplitude = 0; // 0 to 100 %
    int harmonic_initial[4] = {99, 75, 50, 25};
    int harmonic_final[4] = {0, 0, 0, 0}; // 0 to 99 %, 1st to 4th
    int warble = 0;                       // 1: harmonics move from initial to final
    int swap = 0;
    int stored_final[4] = {0, 0, 0, 0}; // what Warble brings back
    int phase = 180;                    // right channel, degrees, 0 to 360
    int volume_left = 50;
    int volume_right = 50; // 0 to 100 %
    int channels = 1;      // 1 both, 2 left only, 3 right only
};

ToneSettings& tone_settings();

// One period in T[0] ... T[1000] (room for 2002 values, the rest 0).
std::vector<float> waveform_table(int wave);

// The two value keys of a preset: "Effects Values1" (the six type flags, warble, generate,
// swap) and "Effects Values2" (channels, frequencies, volumes, vibrato, harmonics, phase).
std::vector<std::vector<int>> tone_preset_values(const ToneSettings& settings);
// Takes a preset's values, each brought into its range; frequencies up to half the rate.
void apply_tone_preset(ToneSettings& settings, const std::vector<int>& key1,
                       const std::vector<int>& key2, unsigned long samples_per_second);
// The settings brought into their ranges for a file of this rate.
void clamp_tone_settings(ToneSettings& settings, unsigned long samples_per_second);

std::string tones_preset_path();

// Sample data of one run, as stored: frames of one or two samples.
struct ToneTarget
{
    unsigned char* data = nullptr;
    long frames = 0;
    int channels = 1;
    int sample_bytes = 2;
    unsigned long samples_per_second = 44100;
};

// Called between pieces with the frames done; false stops the run.
using ToneProgress = bool (*)(void* context, long frames_done);

// Synthesises into (or modulates) the target in place. False when stopped.
bool synthesise_tones(const ToneSettings& settings, const std::vector<float>& table,
                      const ToneTarget& target, ToneProgress progress, void* context);

} // namespace effra
