// Echo and reverb on a 10-minute 44.1 kHz stereo 16-bit document, the whole command as the
// editor runs it: undo copy, block loop on the redo file, tail copy and new overview.
#include "bench/bench_support.h"
#include "common/child_frame.h"
#include "effra/delay_effect.h"
#include "platform/profile.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint64_t kDataBytes = 600ull * kRate * 4;

void put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// The same wave file the peer is given: a plain 44-byte header over generated samples.
std::string wave_file()
{
    const std::string raw = bench::generated_file("echo-10min.raw", kDataBytes);
    const std::string wav = bench::scratch_dir() + "echo-10min.wav";
    if (FILE* f = std::fopen(wav.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        const long long have = std::ftell(f);
        std::fclose(f);
        if (static_cast<uint64_t>(have) == kDataBytes + 44)
            return wav;
    }
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                           'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   2,   0};
    put32(h + 4, static_cast<uint32_t>(kDataBytes + 36));
    put32(h + 24, kRate);
    put32(h + 28, kRate * 4);
    h[32] = 4;
    h[34] = 16;
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, static_cast<uint32_t>(kDataBytes));
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
void use_scratch_profile()
{
    const std::string dir = bench::scratch_dir();
    setenv("XDG_CONFIG_HOME", (dir + "config").c_str(), 1);
    setenv("KELVARA_HOME", (dir + "home").c_str(), 1);
    std::string cmd = "mkdir -p '" + dir + "config' '" + dir + "home' '" + dir + "work'";
    if (std::system(cmd.c_str()) != 0)
        std::perror("mkdir");
    kel::profile::write_string("Data directory", "Last used directory", dir + "work/",
                               kel::profile::app_profile());
}

void run(benchmark::State& state, const effra::DelayEffect& effect, int delay_ms, int decay)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    use_scratch_profile();
    const std::string wav = wave_file();
    std::unique_ptr<CChildFrame> doc = CChildFrame::create_from_file(wav.c_str());
    if (!doc) {
        state.SkipWithError("cannot open the wave file");
        kel::set_ui(nullptr);
        return;
    }
    effra::DelaySettings& s = effra::delay_settings();
    s = effra::DelaySettings();
    s.delay_ms(effect) = delay_ms;
    s.decay_percent(effect) = decay;
    for (auto _ : state) {
        doc->select_start() = 0;
        doc->select_end() = doc->total_samples();
        if (doc->do_new_echo_waveform(effect.name, 1) != 1)
            state.SkipWithError("processing failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kDataBytes));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}

void BM_echo(benchmark::State& state)
{
    run(state, effra::echo_effect(), 250, 50);
}
BENCHMARK(BM_echo)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

void BM_reverb(benchmark::State& state)
{
    run(state, effra::reverb_effect(), 40, 40);
}
BENCHMARK(BM_reverb)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
