#pragma once
// Shared set-up of the benchmarks: a quiet UI, a scratch folder, big generated files.
#include "platform/ui.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

// Where the generated files live; $KELVARA_BENCH_DIR or /tmp/kelvara-bench.
inline std::string scratch_dir()
{
    const char* d = std::getenv("KELVARA_BENCH_DIR");
    std::string dir = d && *d ? d : "/tmp/kelvara-bench";
    std::string cmd = "mkdir -p '" + dir + "'";
    if (std::system(cmd.c_str()) != 0)
        std::perror("mkdir");
    return dir + "/";
}

// A file of the given size with noise-like 16-bit content, written in blocks; kept between
// runs so the peers read the same bytes.
inline std::string generated_file(const std::string& name, uint64_t size_in_bytes)
{
    std::string path = scratch_dir() + name;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        long long have = std::ftell(f);
        std::fclose(f);
        if (static_cast<uint64_t>(have) == size_in_bytes)
            return path;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    static uint16_t block[1 << 15];
    uint32_t x = 12345;
    for (uint64_t done = 0; done < size_in_bytes;) {
        for (auto& w : block) {
            x = x * 1664525u + 1013904223u;
            w = static_cast<uint16_t>(x >> 16);
        }
        uint64_t n = std::min<uint64_t>(sizeof block, size_in_bytes - done);
        std::fwrite(block, 1, n, f);
        done += n;
    }
    std::fclose(f);
    return path;
}

inline double peak_rss_mb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// Says nothing and never cancels.
class QuietUi : public kel::HeadlessUi
{
  public:
    long progress_open(const std::string&) override { return 1; }
    void progress_bar(long, int, const std::string&) override {}
    void progress_time_left(long, const std::string&) override {}
    bool progress_cancel_pressed(long) override { return false; }
    void progress_close(long) override {}
};

} // namespace bench
