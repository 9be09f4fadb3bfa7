#pragma once
// SMPTE time as the synchronisation features use it: hours, minutes, seconds and frames
// at the process-wide frame rate, its packed and seconds forms, the place in a file that
// a time stands for, and the checked reading of typed times.
//
// 30 drop: frames count 0 .. 29 each second, but the labels 00 and 01 are skipped at the
// start of every minute except the tenth ones (00, 10, 20, ...), so an hour holds 107892
// labels and the count keeps step with 29.97 frames a second. Everything that advances,
// converts or checks a time here follows that rule; a dropped label is never produced and
// never accepted as typed. Seconds and places in a file read the labels at 30 a second,
// which keeps within a tenth of a second of the clock and meets it at every tenth minute.
#include "common/wave_format.h"
#include "editor/view/smpte_entry.h"

#include <cstdint>
#include <string>

namespace synchro {

// The one SMPTE time of the program, and its seconds, shared with the time-mark dialog.
using ::smpte_seconds;
using ::SmpteTime;

// The frame rate, 24 initially; 25, 30 or 30 drop through SETSMPTE.
extern int smpte_fps;
extern bool smpte_drop;
// SETSMPTE's "Starting SMPTE time".
extern SmpteTime smpte_start_time;

// ((hours × 256 + minutes) << 16) | (seconds × 256 + frames).
uint32_t smpte_packed(const SmpteTime& t);
// "%02d:%02d:%02d:%02d".
std::string smpte_text(const SmpteTime& t);

// The first sample word of a time in a file of that format: whole frames of sound,
// counted exactly (no rounding through seconds), in sample words as playback's start
// takes them.
long smpte_to_sample_words(const SmpteTime& t, int fps, const WaveFormat& format);
// One step of the "Adjust sync" buttons: fps milliseconds of sound, in bytes, the two
// low bits cleared.
long sync_adjust_bytes(const WaveFormat& format, int fps);

// True for the labels 30 drop skips (seconds 0, frames 0 or 1, minute not a tenth one).
bool is_dropped_label(const SmpteTime& t);
// One frame on: frames carry into seconds, minutes and hours; hours wrap after 23.
void smpte_step(SmpteTime& t, int fps, bool drop);
// n frames on (n >= 0), as n steps would.
void smpte_add_frames(SmpteTime& t, long n, int fps, bool drop);
// A time in seconds split at fps, frames rounded to nearest (0 at any other rate than
// 24, 25 or 30); a dropped label becomes frame 2 of the same second.
SmpteTime smpte_from_seconds(double seconds, int fps, bool drop);

// Reads "hh:mm:ss:ff" (';' or '.' also accepted before the frames): four unsigned
// numbers, nothing else, each in range (frames below fps, no dropped label). False with
// a message for the user otherwise; *out is then untouched.
bool parse_smpte(const std::string& text, int fps, bool drop, SmpteTime* out, std::string* message);
// One number of a dialog's edit: digits only (blanks around allowed), low .. high.
bool parse_smpte_field(const std::string& text, int low, int high, int* out);
// The message for a time that does not read.
std::string smpte_format_message(int fps);

} // namespace synchro
