#pragma once
// What the digit display and the level meter show, apart from how they are painted.
#include <cstddef>
#include <cstdint>
#include <string>

namespace plavo {

// "%02d%02d%02d%02d" of hours, minutes, seconds and frames (25 per second).
std::string time_digits(double seconds);
// The four digits the display draws: minutes and seconds (characters 3 to 6).
std::string shown_digits(double seconds);

// The meter reads 838 bytes of a buffer at 167603 x counter / 200.
inline constexpr size_t kMeterSpan = 167603;
inline constexpr int kMeterTicks = 200;
inline constexpr int kSegments = 16;

struct Levels
{
    int left = 0;
    int right = 0;
};

// Largest 16-bit sample per channel (from -32767) of the counter's window of the buffer,
// divided by 256. Mono shows the same level on both rows. Never reads past `bytes`.
Levels meter_levels(const uint8_t* buffer, size_t bytes, int channels, int counter);

// Segment k (0 .. 15) is lit when 8 x k < level.
inline bool segment_lit(int k, int level)
{
    return 8 * k < level;
}

struct Rgb
{
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
Rgb segment_colour(int k, bool lit);

} // namespace plavo
