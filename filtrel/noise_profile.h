#pragma once
// The noise profile that the spectral gate ("NOISE_REDUCTION") compares every block
// against: the packed spectrum of 4096 frames of sampled noise, elements 0 to 4095 one
// to one, with its two thresholds. Noise reduction samples it ("&Sample") and keeps it in
// a 16400-byte temporary file between its two steps; the gate reads it from memory.
#include <string>

inline constexpr int kNoiseProfileFrames = 4096;
inline constexpr int kNoiseProfileFloats = kNoiseProfileFrames + 4;
inline constexpr unsigned long kNoiseProfileBytes = kNoiseProfileFloats * sizeof(float); // 16400

struct NoiseProfile
{
    float* values = nullptr; // kNoiseProfileFloats while a step runs, else null
    float positive_threshold = 1.0f;
    float negative_threshold = -1.0f;
    int reduction_percent = 50;
    float attenuation = 0.5f; // (100 - reduction) / 100
    int exists = 0;           // a profile has been sampled since the module was loaded
    std::string file;         // its temporary file
};

extern NoiseProfile g_noise_profile;

// Brings the profile of its temporary file into memory for one removal step; the
// sampling step fills values, thresholds and file. 0 after message 5000 (memory)
// or when the file is missing or short.
int load_noise_profile();
void release_noise_profile();

// The gate of one block: every element whose profile value is beyond its threshold
// (positive above t+, negative below t-) is scaled by the attenuation. Without a profile
// in memory the block is left as it is.
void apply_noise_gate(float* x, int n);
