#pragma once
// Positions as text, as the modules show them: seconds, SMPTE time code and plain counts.
// Positions are sample words of the document's top level; the format is the one the
// editor hands to the module (1 seconds, 24/25/30 SMPTE, 6 blocks, 7 sample words).
#include <string>

class CChildFrame;

inline constexpr int kTimeSeconds = 1;
inline constexpr int kTimeBlocks = 6;
inline constexpr int kTimeWords = 7;

// Seconds of a position in sample words.
double position_seconds(const CChildFrame& doc, long position);

// The text of a position in a format; seconds receives the position's seconds.
std::string position_text(const CChildFrame& doc, long position, int format,
                          double* seconds = nullptr);

// "%02d:%02d:%02d:%02d" at a frame rate.
std::string smpte_text(double seconds, int frame_rate);

// " %02d:%02d:%02d.mmm", with its leading blank.
std::string clock_text(double seconds);
