#pragma once
// Helpers of the ADPCM tests: outside tools, raw sample files, our own decode of a file.
#include "tests/support/wave_files.h"

#include <cstdint>
#include <string>
#include <vector>

// True when `tool` (sox, ffmpeg, ...) can be run.
bool have_tool(const std::string& tool);
// Runs a shell command quietly; true when it exits with 0.
bool run(const std::string& command);
std::string quoted(const std::string& path);
// Runs a shell command and returns what it printed on standard output.
std::string capture(const std::string& command);

std::vector<int16_t> read_s16(const std::string& path);
std::vector<uint8_t> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes);

// An MS ADPCM file decoded block by block with our codec, trimmed to its "fact" count.
struct OurDecode
{
    bool ok = false;
    int channels = 0;
    std::vector<int16_t> samples;      // interleaved
    std::vector<int> block_predictors; // per block and channel, in order
};
OurDecode decode_with_ours(const std::string& path);

// The same stream decoded with a prediction that divides by 256 rounding toward zero
// instead of shifting. Used to show what a decoder that rounds so makes of our files.
std::vector<int16_t> decode_truncating(const std::string& path);

// A music-like test signal: a C major chord over pink noise, different per channel.
bool make_chord(const std::string& path, int rate, int channels, double seconds);

// Path of a program built with the suite (waveconv, ...).
std::string tool_path(const std::string& name);
