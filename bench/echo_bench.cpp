// Echo and reverb on a 10-minute 44.1 kHz stereo 16-bit document, the whole command as the
// editor runs it: undo copy, block loop on the redo file, tail copy and new overview.
#include "bench/effect_bench_support.h"
#include "common/child_frame.h"
#include "effra/delay_effect.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr uint64_t kDataBytes = bench::kEffectDataBytes;

void run(benchmark::State& state, const effra::DelayEffect& effect, int delay_ms, int decay)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    bench::use_scratch_profile();
    const std::string wav = bench::effect_wave_file();
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
