#pragma once
// What the pitch and tempo commands remember between runs, the keyboard's keys and the
// arithmetic that turns the dialogs' values into factors.
#include "filtrel/module_selection.h"

#include <string>

inline constexpr int kTempoCommand = 11500;
inline constexpr int kPitchCommand = 11502;
inline constexpr int kShiftCommand = 11513;
inline constexpr int kFramePickingCommand = 20; // modify_passage_time's frame-picking engine

struct PitchSettings
{
    int pitch_value = 0;    // "NEWPITCH" slider, -100 .. 100
    int tempo_value = 0;    // "NEWTEMPO" slider
    int quantize_value = 0; // "QUANTIZE" slider
    int variable = 0;       // the factor moves between the chosen one and 1 over the section
    int rising = 0;         // ... from 1 toward it (else from it toward 1)
    int glide_up = 0;       // keyboard dialog; at most one of the two
    int glide_down = 0;
};

extern PitchSettings g_pitch;

// One command's working state: the section on whole frames, the selection in sample words
// as the command found it, and the temporary file the engines write.
struct PassageRun
{
    FrameSpan span;
    long select_start = 0;
    long select_end = 0;
    std::string temp_file;
    unsigned long output_bytes = 0;
};

extern PassageRun g_passage;

// Takes the document's selection into g_passage.
void begin_passage(const CChildFrame& doc);
// Deletes the temporary file, if any.
void drop_passage_file();
// A new, empty temporary file for the engines (message 5031 when it cannot be made).
bool make_passage_temporary();

// Nominal segment of the splicing engine, in frames: 4096 up to 11025 Hz, 8192 below
// 44100 Hz, else 16384.
int splice_segment_frames(long sample_rate);
// Segment length for a section: the nominal one when it divides the section, else
// shortened (by 2, not below half) until one more segment fits; the section itself when
// it is not longer than the nominal segment.
long splice_segment_length(long section_frames, long nominal_frames);

// The factor of segment k of n: constant, or moving between the factor and 1.
double segment_factor(double factor, int variable, int rising, long k, long n);

// Percent of the "NEWPITCH" and "NEWTEMPO" sliders, and the factor 1 + p / 100.
double pitch_percent(int value);
double tempo_percent(int value);
float passage_factor(double percent);

// Keyboard values: f flats give 88 + f, s sharps 100 + s, "No change" 200.
inline constexpr int kNoChangeValue = 200;
// "&Slow method" (FFT): r above 1 lowers the pitch; 12 flats 2, 12 sharps 0.5.
float fft_pitch_ratio(int key_value);
// "Change &tempo": r' as the keyboard gives it; the engine runs with G = 1 / r'.
float tempo_key_ratio(int key_value);
