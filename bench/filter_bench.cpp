// The spectral low pass over a whole document: ten minutes of 44.1 kHz stereo 16-bit, the
// same file sox filters in bench/cases/filter.sh. The time includes everything the command
// does: the undo copy, the selection backup, the blocks and the new overview.
#include "bench/bench_support.h"
#include "common/child_frame.h"
#include "platform/profile.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint64_t kFrames = 10ull * 60 * kRate;
constexpr float kCutoff = 4000.0f;

void put32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Tones and noise well below full scale, so the peer reports no clipping.
std::string generated_wave()
{
    const std::string path = bench::scratch_dir() + "filter-10min.wav";
    const uint64_t data = kFrames * 4;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        const long have = std::ftell(f);
        std::fclose(f);
        if (static_cast<uint64_t>(have) == data + 44)
            return path;
    }
    std::vector<unsigned char> header = {'R', 'I', 'F', 'F'};
    put32(header, static_cast<uint32_t>(data + 36));
    for (char c : std::string("WAVEfmt "))
        header.push_back(static_cast<unsigned char>(c));
    put32(header, 16);
    put32(header, 1u | (2u << 16));
    put32(header, kRate);
    put32(header, kRate * 4);
    put32(header, 4u | (16u << 16));
    for (char c : std::string("data"))
        header.push_back(static_cast<unsigned char>(c));
    put32(header, static_cast<uint32_t>(data));
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(header.data(), 1, header.size(), f);
    std::vector<int16_t> block(2 * 8192);
    uint32_t x = 777;
    for (uint64_t i = 0; i < kFrames;) {
        size_t n = 0;
        for (; n < 8192 && i < kFrames; ++n, ++i) {
            x = x * 1664525u + 1013904223u;
            const double t = static_cast<double>(i) / kRate;
            const double tone =
                6000 * std::sin(2 * M_PI * 440 * t) + 4000 * std::sin(2 * M_PI * 7000 * t);
            const double noise = static_cast<double>(static_cast<int16_t>(x >> 16)) / 8;
            block[2 * n] = static_cast<int16_t>(tone + noise);
            block[2 * n + 1] = static_cast<int16_t>(tone - noise);
        }
        std::fwrite(block.data(), 4, n, f);
    }
    std::fclose(f);
    return path;
}

void BM_do_filter_waveform_lowpass(benchmark::State& state)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    const std::string dir = bench::scratch_dir();
    setenv("KELVARA_HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "config").c_str(), 1);
    kel::profile::write_string("Data directory", "Last used directory", dir,
                               kel::profile::app_profile());
    const std::string wave = generated_wave();
    auto doc = CChildFrame::create_from_file(wave.c_str());
    if (!doc) {
        state.SkipWithError("cannot open the generated file");
        return;
    }
    for (auto _ : state) {
        doc->current.select_start = 0;
        doc->current.select_end = doc->current.total_samples;
        if (!doc->do_filter_waveform(kCutoff, "LOPASS", "Low-pass filtering waveform ..."))
            state.SkipWithError("filter failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFrames * 4));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}
BENCHMARK(BM_do_filter_waveform_lowpass)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
