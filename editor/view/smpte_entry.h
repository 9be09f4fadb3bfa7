#pragma once
// SMPTE times the user types, "hours:minutes:seconds:frames". Each field is checked
// rather than scanned blindly: a sign, a stray character, a missing or a fifth field,
// or a value out of range is refused with a text that says what is wrong.
#include <string>

struct SmpteTime
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    bool operator==(const SmpteTime&) const = default;
};

// The frame rate an SMPTE time counts in: 24, 25, else 30 (30 drop counts 30 a second).
int smpte_frame_rate(int time_format);

// Exactly four fields of decimal digits (blanks around a field are allowed), hours below
// 24, minutes and seconds below 60, frames below frame_rate. True with `out` set; false
// with `error` set and `out` left as it was.
bool parse_smpte_time(const std::string& text, int frame_rate, SmpteTime& out,
                      std::string* error = nullptr);
// The same check for four fields typed apart (the hours, minutes, seconds and frames
// edits of a dialog).
bool parse_smpte_fields(const std::string& hours, const std::string& minutes,
                        const std::string& seconds, const std::string& frames, int frame_rate,
                        SmpteTime& out, std::string* error = nullptr);

// Seconds from the start: frames / frame_rate + minutes x 60 + hours x 3600 + seconds.
double smpte_seconds(const SmpteTime& time, int frame_rate);
