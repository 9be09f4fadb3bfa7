#pragma once
// The file the DSP module's benchmarks and their sox peers work on: ten minutes of
// 44.1 kHz stereo 16-bit, a chord with a little noise (well below full scale, so neither
// side clips), and a document opened on it with working files in the scratch folder.
#include "bench/bench_support.h"
#include "common/child_frame.h"
#include "platform/profile.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace bench {

constexpr uint32_t kDspRate = 44100;
constexpr uint64_t kDspFrames = 600ull * kDspRate;

inline void put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A plain 44-byte header over 16-bit samples.
inline void write_wave_header(FILE* f, uint64_t data_bytes, int channels, uint32_t rate)
{
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                           'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   0,   0};
    put32(h + 4, static_cast<uint32_t>(data_bytes + 36));
    h[22] = static_cast<unsigned char>(channels);
    put32(h + 24, rate);
    put32(h + 28, rate * 2 * channels);
    h[32] = static_cast<unsigned char>(2 * channels);
    h[34] = 16;
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, static_cast<uint32_t>(data_bytes));
    std::fwrite(h, 1, sizeof h, f);
}

inline std::string dsp_wave()
{
    const std::string path = scratch_dir() + "dsp-10min.wav";
    const uint64_t data = kDspFrames * 4;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        const long have = std::ftell(f);
        std::fclose(f);
        if (static_cast<uint64_t>(have) == data + 44)
            return path;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    write_wave_header(f, data, 2, kDspRate);
    std::vector<int16_t> block(2 * 8192);
    uint32_t x = 4242;
    for (uint64_t i = 0; i < kDspFrames;) {
        size_t n = 0;
        for (; n < 8192 && i < kDspFrames; ++n, ++i) {
            x = x * 1664525u + 1013904223u;
            const double t = static_cast<double>(i) / kDspRate;
            const double chord = 3000 * std::sin(2 * M_PI * 261.63 * t) +
                                 2500 * std::sin(2 * M_PI * 329.63 * t) +
                                 2000 * std::sin(2 * M_PI * 392.0 * t);
            const double noise = static_cast<double>(static_cast<int16_t>(x >> 16)) / 16;
            block[2 * n] = static_cast<int16_t>(chord + noise);
            block[2 * n + 1] = static_cast<int16_t>(0.8 * chord - noise);
        }
        std::fwrite(block.data(), 4, n, f);
    }
    std::fclose(f);
    return path;
}

// Working files go to a folder of the scratch directory, not beside the program.
inline void use_scratch_profile()
{
    const std::string dir = scratch_dir();
    setenv("XDG_CONFIG_HOME", (dir + "config").c_str(), 1);
    setenv("KELVARA_HOME", (dir + "home").c_str(), 1);
    std::string cmd = "mkdir -p '" + dir + "config' '" + dir + "home' '" + dir + "work'";
    if (std::system(cmd.c_str()) != 0)
        std::perror("mkdir");
    kel::profile::write_string("Data directory", "Last used directory", dir + "work/",
                               kel::profile::app_profile());
}

// The document on a wave file, with the whole file highlighted.
inline std::unique_ptr<CChildFrame> open_whole(const std::string& wave)
{
    use_scratch_profile();
    std::unique_ptr<CChildFrame> doc = CChildFrame::create_from_file(wave.c_str());
    if (doc) {
        doc->owner_window = doc->window;
        doc->select_start() = 0;
        doc->select_end() = doc->total_samples();
        doc->has_selection() = 1;
    }
    return doc;
}

} // namespace bench
