#pragma once
// Echo and reverb: two effects on one delay line of exactly one block per channel. They
// share the entry point, the dialog, the preset file and the block loop; each has its own
// ranges and its own per-sample formula (echo.cpp, reverb.cpp).
#include "common/preset_values.h"

#include <cstdint>

namespace effra {

// One processed channel of one block, as stored in the file.
struct DelayBlock
{
    void* first_sample = nullptr; // this channel's sample of frame 0 (uint8_t or int16_t)
    long frame_count = 0;
    int stride = 1;                // samples from one frame to the next: the channel count
    int sample_bytes = 0;          // 1: unsigned around 128, 2: signed little-endian
    int32_t* delay_line = nullptr; // entry i: state of frame i of the previous block
    float gain = 0.0f;             // decay * 0.01 in single precision
};

using DelayBlockFunction = void (*)(const DelayBlock& block);

// What tells the two effects apart.
struct DelayEffect
{
    const char* name; // "Echo" / "Reverb": formula, preset section, messages
    int command;      // menu command and undo step
    PresetKind preset_kind;
    const char* dialog_template; // "NewEcho" / "NewReverb"
    const char* caption;
    const char* progress_text;
    int delay_min_ms, delay_max_ms;
    int decay_min_percent, decay_max_percent;
    bool has_tail; // "Outside selection" lets the output run on past the selection
    DelayBlockFunction process;
};

const DelayEffect& echo_effect();
const DelayEffect& reverb_effect();
// "Echo" is the echo; any other name the reverb. Null for a null name.
const DelayEffect* effect_named(const char* name);
const DelayEffect& effect_for_command(int command);

void echo_block(const DelayBlock& block);
void reverb_block(const DelayBlock& block);

// Module-wide parameters, kept between calls for the life of the process.
struct DelaySettings
{
    int echo_delay_ms = 250;
    int echo_decay_percent = 50;
    int reverb_delay_ms = 40;
    int reverb_decay_percent = 40;
    int channel_choice = 1; // 1 both, 2 left only, 3 right only
    int outside = 0;        // 1: the echo tail may run on past the selection's end

    int& delay_ms(const DelayEffect& effect);
    int& decay_percent(const DelayEffect& effect);
};

DelaySettings& delay_settings();

// Stored order of a preset value: delay, decay, channel choice, outside flag.
std::vector<int> preset_values_of(const DelaySettings& settings, const DelayEffect& effect);
// Takes the values of a preset; each is brought into its range (a preset file is outside
// input: a decay of 100 or more would divide by zero, a delay of hours exhaust memory).
// Missing values keep what the settings had.
void apply_preset_values(DelaySettings& settings, const DelayEffect& effect,
                         const std::vector<int>& values);

// The module's own directory (trailing '/'), where KVSECHO.INI lives.
std::string preset_directory();
std::string preset_file_path();

// Block geometry of one run.
struct DelayGeometry
{
    unsigned long delay_bytes = 0;  // rounded down to whole frames, at least one frame
    unsigned long block_frames = 0; // N: the delay in frames
    unsigned long block_bytes = 0;  // B = N * frame size
    unsigned long delay_line_entries = 0;
};

DelayGeometry delay_geometry(unsigned long sample_rate, int delay_ms, int frame_bytes);

// Extra bytes the echo may run on past the selection: trunc(B * 180 / (100 - decay)).
unsigned long echo_tail_bytes(unsigned long block_bytes, int decay_percent);

} // namespace effra
