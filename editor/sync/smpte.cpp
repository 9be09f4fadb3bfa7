#include "editor/sync/smpte.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

namespace synchro {

int smpte_fps = 24;
bool smpte_drop = false;
SmpteTime smpte_start_time;

uint32_t smpte_packed(const SmpteTime& t)
{
    return (static_cast<uint32_t>(t.hours * 256 + t.minutes) << 16) |
           static_cast<uint32_t>(t.seconds * 256 + t.frames);
}

std::string smpte_text(const SmpteTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", t.hours, t.minutes, t.seconds,
                  t.frames);
    return text;
}

long smpte_to_sample_words(const SmpteTime& t, int fps, const WaveFormat& format)
{
    if (fps <= 0)
        fps = 24;
    const long long rate = format.sample_rate;
    const long long whole = (t.hours * 3600LL + t.minutes * 60LL + t.seconds) * rate;
    const long long frames = whole + t.frames * rate / fps;
    return static_cast<long>(frames * std::max<int>(1, format.channels));
}

long sync_adjust_bytes(const WaveFormat& format, int fps)
{
    const long long bytes =
        static_cast<long long>(format.block_align) * format.sample_rate * fps / 1000;
    return static_cast<long>(bytes & ~3LL);
}

bool is_dropped_label(const SmpteTime& t)
{
    return t.seconds == 0 && t.frames < 2 && t.minutes % 10 != 0;
}

void smpte_step(SmpteTime& t, int fps, bool drop)
{
    if (fps <= 0)
        fps = 24;
    if (++t.frames < fps)
        return;
    t.frames = 0;
    if (++t.seconds >= 60) {
        t.seconds = 0;
        if (++t.minutes >= 60) {
            t.minutes = 0;
            if (++t.hours > 23)
                t.hours = 0;
        }
    }
    if (drop && fps == 30 && is_dropped_label(t))
        t.frames = 2;
}

void smpte_add_frames(SmpteTime& t, long n, int fps, bool drop)
{
    for (long i = 0; i < n; ++i)
        smpte_step(t, fps, drop);
}

SmpteTime smpte_from_seconds(double seconds, int fps, bool drop)
{
    SmpteTime t;
    if (!(seconds >= 0.0))
        return t;
    long long whole = static_cast<long long>(std::floor(seconds));
    int frames = 0;
    if (fps == 24 || fps == 25 || fps == 30) {
        frames = static_cast<int>(std::lround((seconds - static_cast<double>(whole)) * fps));
        if (frames >= fps) {
            frames = 0;
            ++whole;
        }
    }
    t.frames = frames;
    t.seconds = static_cast<int>(whole % 60);
    t.minutes = static_cast<int>(whole / 60 % 60);
    t.hours = static_cast<int>(whole / 3600 % 24);
    if (drop && fps == 30 && is_dropped_label(t))
        t.frames = 2;
    return t;
}

namespace {

// Digits from *p on; false when there are none or too many for an int.
bool read_number(const char*& p, int* out)
{
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    long value = 0;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        value = value * 10 + (*p++ - '0');
        if (++digits > 6)
            return false;
    }
    *out = static_cast<int>(value);
    return true;
}

} // namespace

std::string smpte_format_message(int fps)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "Enter the time as hours:minutes:seconds:frames, with hours from 0 to 23, "
                  "minutes and seconds from 0 to 59 and frames from 0 to %d.",
                  (fps > 0 ? fps : 24) - 1);
    return text;
}

bool parse_smpte(const std::string& text, int fps, bool drop, SmpteTime* out, std::string* message)
{
    if (fps <= 0)
        fps = 24;
    // The frames may also follow a ';' or a '.', as drop-frame times are often written.
    std::string typed = text;
    const size_t mark = typed.find_last_of(";.");
    if (mark != std::string::npos && typed.find_first_of(";.") == mark &&
        typed.find(':', mark) == std::string::npos)
        typed[mark] = ':';
    SmpteTime t;
    if (!::parse_smpte_time(typed, fps, t)) {
        if (message)
            *message = smpte_format_message(fps);
        return false;
    }
    if (drop && fps == 30 && is_dropped_label(t)) {
        if (message)
            *message = "30 drop has no frames 0 and 1 at the start of this minute.";
        return false;
    }
    *out = t;
    return true;
}

bool parse_smpte_field(const std::string& text, int low, int high, int* out)
{
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    int value = 0;
    if (!read_number(p, &value))
        return false;
    while (*p == ' ')
        ++p;
    if (*p != '\0' || text.size() != std::char_traits<char>::length(text.c_str()))
        return false;
    if (value < low || value > high)
        return false;
    *out = value;
    return true;
}

} // namespace synchro
