#include "filtrel/pitch_settings.h"

#include "common/child_frame.h"

#include <cstdio>
#include <unistd.h>

PitchSettings g_pitch;
PassageRun g_passage;

void begin_passage(const CChildFrame& doc)
{
    g_passage.span = selection_frames(doc);
    g_passage.select_start = doc.current.select_start;
    g_passage.select_end = doc.current.select_end;
    g_passage.output_bytes = 0;
}

void drop_passage_file()
{
    if (!g_passage.temp_file.empty())
        ::unlink(g_passage.temp_file.c_str());
    g_passage.temp_file.clear();
}

int splice_segment_frames(long rate)
{
    if (rate <= 11025)
        return 4096;
    if (rate < 44100)
        return 8192;
    return 16384;
}

long splice_segment_length(long l, long nominal)
{
    if (l <= 0)
        return 0;
    if (nominal <= 0 || nominal >= l)
        return l;
    const long d = l / nominal;
    if (l % nominal == 0)
        return nominal;
    long s = nominal;
    while ((d + 1) * s > l && s > nominal / 2)
        s -= 2;
    return s > 0 ? s : 1;
}

double segment_factor(double factor, int variable, int rising, long k, long n)
{
    if (!variable || n <= 0)
        return factor;
    const double at = static_cast<double>(k) / static_cast<double>(n);
    return rising ? 1.0 + (factor - 1.0) * at : factor + (1.0 - factor) * at;
}

double pitch_percent(int value)
{
    return value * 0.166667 * 0.5;
}

double tempo_percent(int value)
{
    return value * 0.15;
}

float passage_factor(double percent)
{
    return static_cast<float>(1.0 + percent * 0.01);
}

float fft_pitch_ratio(int v)
{
    const int x = v - 100;
    if (x <= 0)
        return 1.0f + static_cast<float>(x + 12) * 0.083333336f;
    return 1.0f - static_cast<float>(x) * 0.041666668f;
}

float tempo_key_ratio(int v)
{
    const int x = v - 100;
    if (x <= 0)
        return 1.0f - static_cast<float>(x) * 0.083333336f;
    return 1.0f - static_cast<float>(x) * 0.041666668f;
}
