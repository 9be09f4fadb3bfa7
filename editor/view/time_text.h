#pragma once
// Positions and durations as text: seconds, SMPTE time code, plain counts, and the
// zoom readout. Positions are sample words of the document's top level.
#include <string>

class CChildFrame;

// The process-wide time format: 1 seconds, 24/25/30 SMPTE, 6 blocks, 7 sample words.
inline constexpr int kTimeSeconds = 1;
inline constexpr int kTimeBlocks = 6;
inline constexpr int kTimeWords = 7;

// The "Preferences"/"Time format" value, kept in memory once read.
int time_format();
void set_time_format(int format);
// Reads it again from the application profile (missing: seconds).
void load_time_format();

// The duration of the document in milliseconds counted at its top level, whatever
// zoom level is in use (the overview level holds fewer words).
double top_level_milliseconds(const CChildFrame& doc);

// Seconds of a position in sample words.
double position_seconds(const CChildFrame& doc, long position);

// The text of a position in a format; seconds receives the position's seconds.
std::string position_text(const CChildFrame& doc, long position, int format,
                          double* seconds = nullptr);

// "%02d:%02d:%02d:%02d" at a frame rate.
std::string smpte_text(double seconds, int frame_rate);

// " %02d:%02d:%02d.mmm", with its leading blank.
std::string clock_text(double seconds);

// The sample word at a time; whole part, held within 0 and total_samples.
long seconds_to_samples(const CChildFrame& doc, double seconds);

// The zoom factor as the readout under the play bar shows it.
std::string zoom_readout_text(float zoom_factor);
