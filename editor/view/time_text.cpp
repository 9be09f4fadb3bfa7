#include "editor/view/time_text.h"

#include "common/child_frame.h"
#include "platform/profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
int g_time_format = 0; // 0: not read yet
} // namespace

int time_format()
{
    if (g_time_format == 0)
        load_time_format();
    return g_time_format;
}

void set_time_format(int format)
{
    g_time_format = format;
}

void load_time_format()
{
    const long v =
        kel::profile::read_int("Preferences", "Time format", 1, kel::profile::app_profile());
    g_time_format = v == 24 || v == 25 || v == 30 || v == 6 || v == 7 ? static_cast<int>(v) : 1;
}

double top_level_milliseconds(const CChildFrame& doc)
{
    const int rate = static_cast<int>(doc.wave_format.sample_rate);
    const int channels = doc.wave_format.channels;
    if (rate <= 0 || channels <= 0)
        return 0.0;
    return static_cast<double>(doc.current.total_samples) / rate / channels * 1000.0;
}

double position_seconds(const CChildFrame& doc, long position)
{
    const long total = doc.current.total_samples;
    if (total <= 0)
        return 0.0;
    return top_level_milliseconds(doc) / static_cast<double>(total) * position * 0.001;
}

std::string smpte_text(double seconds, int frame_rate)
{
    if (!(seconds > 0.0))
        seconds = 0.0;
    const int hours = static_cast<int>(seconds / 3600.0);
    double rest = seconds - hours * 3600.0;
    const int minutes = static_cast<int>(rest / 60.0);
    rest -= minutes * 60.0;
    const int whole = static_cast<int>(rest);
    const int frames = static_cast<int>((rest - whole) * frame_rate);
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", hours, minutes, whole, frames);
    return text;
}

std::string clock_text(double seconds)
{
    if (!(seconds > 0.0))
        seconds = 0.0;
    const int hours = static_cast<int>(seconds / 3600.0);
    double rest = seconds - hours * 3600.0;
    const int minutes = static_cast<int>(rest / 60.0);
    rest -= minutes * 60.0;
    const int whole = static_cast<int>(rest);
    char ms[16];
    std::snprintf(ms, sizeof ms, "%03.0f", (rest - whole) * 1000.0);
    ms[3] = '\0'; // a fraction that rounds up to 1000 keeps only three digits
    char text[48];
    std::snprintf(text, sizeof text, " %02d:%02d:%02d.%s", hours, minutes, whole, ms);
    return text;
}

std::string position_text(const CChildFrame& doc, long position, int format, double* seconds)
{
    const double s = position_seconds(doc, position);
    if (seconds)
        *seconds = s;
    char text[48];
    switch (format) {
    case 24:
    case 25:
    case 30:
        return smpte_text(s, format);
    case kTimeBlocks: {
        const long align = doc.wave_format.block_align ? doc.wave_format.block_align : 1;
        std::snprintf(text, sizeof text, "%ld", position / align);
        return text;
    }
    case kTimeWords:
        std::snprintf(text, sizeof text, "%ld", position);
        return text;
    default:
        std::snprintf(text, sizeof text, "%7.3f%s", s, " sec");
        return text;
    }
}

long seconds_to_samples(const CChildFrame& doc, double seconds)
{
    const double ms = top_level_milliseconds(doc);
    if (ms <= 0.0 || !(seconds > 0.0))
        return 0;
    const double words = seconds * static_cast<double>(doc.current.total_samples) / (ms * 0.001);
    return std::clamp(static_cast<long>(words), 0L, doc.current.total_samples);
}

std::string zoom_readout_text(float zoom_factor)
{
    char format[8];
    std::snprintf(format, sizeof format, "%c%s", '%', zoom_factor < 0.5f ? "5.3f" : "5.0f");
    char text[48];
    std::snprintf(text, sizeof text, format, static_cast<double>(zoom_factor));
    return text;
}
