#pragma once
// Markers in a wave file: a "cue " chunk with one point per single marker or pair, and
// a LIST/"adtl" with a "labl" name per point; a pair's point carries an "ltxt" whose
// length reaches the end marker and whose text is the end marker's name. Positions in
// the file are sample frames, ours are sample words. Other editors read the same chunks.
#include "platform/riff.h"

#include <cstdint>
#include <string>
#include <vector>

struct MarkerTable;

// One point as the file holds it, in frames; length 0 for a single marker.
struct CuePoint
{
    uint32_t id = 0;
    uint32_t frame = 0;
    uint32_t length = 0;
    std::string name;
    std::string end_name;
};

// The bodies are checked against their own sizes: a count that does not fit, or a
// sub-chunk that overruns its list, makes the parse fail (false) and nothing is taken.
bool cue_parse(const uint8_t* body, size_t length, std::vector<CuePoint>& points);
bool adtl_parse(const uint8_t* body, size_t length, std::vector<CuePoint>& points);

// The points of a table whose sound has `channels` channels.
std::vector<CuePoint> cue_points_of(const MarkerTable& table, int channels);
// The table the points give, positions clamped to total_samples; at most 49 markers.
MarkerTable markers_of_points(const std::vector<CuePoint>& points, int channels,
                              long total_samples);

// Writes "cue " and LIST/"adtl" at the current position; nothing for no points. kOk or
// the riff error.
int cue_write(kel::riff::File& file, const std::vector<CuePoint>& points);
// The points of a wave file's first "cue " chunk named by its first LIST/"adtl"; empty
// when it has none or either chunk is damaged.
std::vector<CuePoint> cue_read_wave_file(const std::string& path);

// What the next wave header written carries (create_waveform_format_header).
extern std::vector<CuePoint> cue_points_for_save;
