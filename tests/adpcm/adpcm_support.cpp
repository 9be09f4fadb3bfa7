#include "tests/adpcm/adpcm_support.h"

#include "editor/files/wave_conv_reader.h"
#include "formats/msadpcm.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

bool have_tool(const std::string& tool)
{
    return run("command -v " + tool);
}

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

std::string capture(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        pclose(p);
    }
    return out;
}

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<int16_t> read_s16(const std::string& path)
{
    std::vector<uint8_t> b = read_bytes(path);
    std::vector<int16_t> out(b.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(static_cast<uint16_t>(b[2 * i] | (b[2 * i + 1] << 8)));
    return out;
}

OurDecode decode_with_ours(const std::string& path)
{
    OurDecode d;
    WaveConvSource s;
    if (!wave_conv_read_source(path, s) || s.format_tag() != 2)
        return d;
    d.channels = s.channels();
    const int align = s.block_align();
    const int spb = s.field16(18);
    std::vector<uint8_t> all = read_bytes(path);
    std::vector<int16_t> block(static_cast<size_t>(spb) * d.channels);
    for (uint64_t at = 0; at < s.data_size; at += align) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(align, s.data_size - at));
        const uint8_t* p = all.data() + s.data_offset + at;
        for (int c = 0; c < d.channels; ++c)
            d.block_predictors.push_back(p[c]);
        int frames = kel::msadpcm::decode_block(p, n, d.channels, spb, block.data());
        if (frames < 0)
            return d;
        d.samples.insert(d.samples.end(), block.begin(), block.begin() + frames * d.channels);
    }
    if (s.fact > 0 && d.samples.size() > static_cast<size_t>(s.fact) * d.channels)
        d.samples.resize(static_cast<size_t>(s.fact) * d.channels);
    d.ok = true;
    return d;
}

std::vector<int16_t> decode_truncating(const std::string& path)
{
    using namespace kel::msadpcm;
    std::vector<int16_t> out;
    WaveConvSource s;
    if (!wave_conv_read_source(path, s))
        return out;
    const int ch = s.channels();
    const int align = s.block_align();
    const int spb = s.field16(18);
    std::vector<uint8_t> all = read_bytes(path);
    for (uint64_t at = 0; at < s.data_size; at += align) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(align, s.data_size - at));
        const uint8_t* p = all.data() + s.data_offset + at;
        int c1[2], c2[2], delta[2], s1[2], s2[2];
        for (int c = 0; c < ch; ++c) {
            c1[c] = kCoefficients[p[c]][0];
            c2[c] = kCoefficients[p[c]][1];
            delta[c] = static_cast<int16_t>(p[ch + 2 * c] | (p[ch + 2 * c + 1] << 8));
            s1[c] = static_cast<int16_t>(p[3 * ch + 2 * c] | (p[3 * ch + 2 * c + 1] << 8));
            s2[c] = static_cast<int16_t>(p[5 * ch + 2 * c] | (p[5 * ch + 2 * c + 1] << 8));
        }
        const int frames = std::min(spb, frames_in_bytes(n, ch));
        for (int c = 0; c < ch; ++c)
            out.push_back(static_cast<int16_t>(s2[c]));
        for (int c = 0; c < ch; ++c)
            out.push_back(static_cast<int16_t>(s1[c]));
        for (int i = 0; i < (frames - 2) * ch; ++i) {
            const int c = i % ch;
            const uint8_t byte = p[7 * ch + i / 2];
            const int nibble = (i & 1) ? (byte & 15) : (byte >> 4);
            const int prediction = (s1[c] * c1[c] + s2[c] * c2[c]) / 256;
            const int code = nibble >= 8 ? nibble - 16 : nibble;
            const int v = std::clamp(prediction + code * delta[c], -32768, 32767);
            delta[c] = std::max(16, (kAdaptation[nibble] * delta[c]) >> 8);
            s2[c] = s1[c];
            s1[c] = v;
            out.push_back(static_cast<int16_t>(v));
        }
    }
    if (s.fact > 0 && out.size() > static_cast<size_t>(s.fact) * ch)
        out.resize(static_cast<size_t>(s.fact) * ch);
    return out;
}

bool make_chord(const std::string& path, int rate, int channels, double seconds)
{
    char cmd[512];
    const char* mix = channels == 2 ? "remix 1,2,4v0.3 2,3,4v0.3" : "remix 1,2,3,4v0.3";
    std::snprintf(cmd, sizeof cmd,
                  "sox -r %d -c 4 -n -b 16 %s synth %.3f sine 261.63 sine 329.63 sine 392 "
                  "pinknoise %s norm -3",
                  rate, quoted(path).c_str(), seconds, mix);
    return run(cmd);
}

std::string tool_path(const std::string& name)
{
    const char* dir = std::getenv("KELVARA_TEST_TOOLS");
    return std::string(dir ? dir : ".") + "/" + name;
}
