#include "plavo/meter.h"

#include <algorithm>
#include <cstdio>

namespace plavo {

std::string time_digits(double seconds)
{
    if (seconds < 0)
        seconds = 0;
    const long whole = static_cast<long>(seconds);
    const int hours = static_cast<int>(whole / 3600);
    const int minutes = static_cast<int>(whole / 60 % 60);
    const int secs = static_cast<int>(whole % 60);
    const int frames = static_cast<int>((seconds - static_cast<double>(whole)) * 25);
    char text[40];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d", hours % 100, minutes, secs, frames);
    return text;
}

std::string shown_digits(double seconds)
{
    return time_digits(seconds).substr(2, 4);
}

Levels meter_levels(const uint8_t* buffer, size_t bytes, int channels, int counter)
{
    Levels levels;
    if (!buffer || channels < 1 || channels > 2 || counter < 0)
        return levels;
    const size_t frame = 2 * static_cast<size_t>(channels);
    // The window never reaches past the buffer really there.
    const size_t end = std::min(bytes, kMeterSpan);
    size_t at = kMeterSpan * static_cast<size_t>(counter) / kMeterTicks;
    at -= at % frame;
    const size_t stop = at + kMeterSpan / kMeterTicks;
    int peak[2] = {-32767, -32767};
    for (; at < stop && at + 4 * channels <= end; at += frame) {
        for (int c = 0; c < channels; ++c) {
            const int16_t v =
                static_cast<int16_t>(buffer[at + 2 * c] | (buffer[at + 2 * c + 1] << 8));
            peak[c] = std::max<int>(peak[c], v);
        }
    }
    levels.left = peak[0] / 256;
    levels.right = channels == 2 ? peak[1] / 256 : levels.left;
    return levels;
}

Rgb segment_colour(int k, bool lit)
{
    static const Rgb on[] = {{0, 255, 0}, {163, 255, 0}, {255, 255, 0}, {255, 180, 0}, {255, 0, 0}};
    static const Rgb off[] = {
        {0, 180, 0}, {120, 140, 0}, {180, 180, 0}, {225, 100, 0}, {180, 0, 0}};
    const int group = k < 8 ? 0 : std::min(4, 1 + (k - 8) / 2);
    return lit ? on[group] : off[group];
}

} // namespace plavo
