#pragma once
// The 10-minute 44.1 kHz stereo 16-bit wave file the effect benchmarks and their peers
// share, and a profile that keeps working files in the scratch folder.
#include "bench/bench_support.h"
#include "platform/profile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace bench {

inline constexpr uint32_t kEffectRate = 44100;
inline constexpr uint64_t kEffectDataBytes = 600ull * kEffectRate * 4;

inline void put_le32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// A plain 44-byte header over generated samples; made once and kept.
inline std::string effect_wave_file()
{
    const std::string raw = generated_file("echo-10min.raw", kEffectDataBytes);
    const std::string wav = scratch_dir() + "echo-10min.wav";
    if (FILE* f = std::fopen(wav.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        const long long have = std::ftell(f);
        std::fclose(f);
        if (static_cast<uint64_t>(have) == kEffectDataBytes + 44)
            return wav;
    }
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                           'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   2,   0};
    put_le32(h + 4, static_cast<uint32_t>(kEffectDataBytes + 36));
    put_le32(h + 24, kEffectRate);
    put_le32(h + 28, kEffectRate * 4);
    h[32] = 4;
    h[34] = 16;
    std::memcpy(h + 36, "data", 4);
    put_le32(h + 40, static_cast<uint32_t>(kEffectDataBytes));
    FILE* out = std::fopen(wav.c_str(), "wb");
    FILE* in = std::fopen(raw.c_str(), "rb");
    if (!out || !in)
        std::abort();
    std::fwrite(h, 1, sizeof h, out);
    static unsigned char block[1 << 16];
    for (size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;)
        std::fwrite(block, 1, n, out);
    std::fclose(in);
    std::fclose(out);
    return wav;
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

} // namespace bench
