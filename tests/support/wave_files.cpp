#include "tests/support/wave_files.h"

#include <algorithm>
#include <cmath>

std::string le16(uint16_t v)
{
    std::string s(2, '\0');
    s[0] = static_cast<char>(v & 0xFF);
    s[1] = static_cast<char>(v >> 8);
    return s;
}

std::string le32(uint32_t v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string chunk(const std::string& id, const std::string& body)
{
    std::string s = id + le32(static_cast<uint32_t>(body.size())) + body;
    if (body.size() & 1)
        s.push_back('\0');
    return s;
}

std::string pcm16(const std::vector<int16_t>& words)
{
    std::string s;
    s.reserve(words.size() * 2);
    for (int16_t w : words)
        s += le16(static_cast<uint16_t>(w));
    return s;
}

std::vector<int16_t> noise16(size_t count, uint32_t seed)
{
    std::vector<int16_t> out(count);
    uint32_t x = seed ? seed : 1;
    for (size_t i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<int16_t>(x & 0xFFFF);
    }
    return out;
}

std::string WaveImage::bytes() const
{
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    std::string fmt = le16(format_tag) + le16(channels) + le32(rate) + le32(rate * align) +
                      le16(align) + le16(bits);
    fmt.resize(static_cast<size_t>(fmt_size), '\0');
    std::string data = "data" +
                       le32(data_size_override >= 0 ? static_cast<uint32_t>(data_size_override)
                                                    : static_cast<uint32_t>(samples.size())) +
                       samples;
    if (samples.size() & 1)
        data.push_back('\0');
    std::string body = form + before_fmt + chunk("fmt ", fmt) + between + data + after_data;
    uint32_t riff_size = riff_size_override >= 0 ? static_cast<uint32_t>(riff_size_override)
                                                 : static_cast<uint32_t>(body.size());
    return "RIFF" + le32(riff_size) + body;
}

double snr_db(const std::vector<int16_t>& reference, const std::vector<int16_t>& test)
{
    const size_t n = std::min(reference.size(), test.size());
    double signal = 0, noise = 0;
    for (size_t i = 0; i < n; ++i) {
        const double e = static_cast<double>(reference[i]) - test[i];
        signal += static_cast<double>(reference[i]) * reference[i];
        noise += e * e;
    }
    return noise == 0 ? 200.0 : 10.0 * std::log10(signal / noise);
}
