#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Builds RIFF/WAVE byte images for tests, including broken ones.
struct WaveImage
{
    uint16_t format_tag = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    std::string samples;    // raw data bytes
    std::string before_fmt; // whole chunks placed before "fmt "
    std::string between;    // ... between "fmt " and "data"
    std::string after_data; // ... after "data"
    int fmt_size = 16;      // bytes of the fmt body written (extra bytes are zero)
    int64_t data_size_override = -1;
    int64_t riff_size_override = -1;
    std::string form = "WAVE";

    std::string bytes() const;
};

std::string chunk(const std::string& id, const std::string& body);
std::string le16(uint16_t v);
std::string le32(uint32_t v);
// Interleaved 16-bit samples, little-endian.
std::string pcm16(const std::vector<int16_t>& words);
// A deterministic pseudo-random run of 16-bit words.
std::vector<int16_t> noise16(size_t count, uint32_t seed);
// 10 log10(signal energy / error energy) over the common length.
double snr_db(const std::vector<int16_t>& reference, const std::vector<int16_t>& test);
