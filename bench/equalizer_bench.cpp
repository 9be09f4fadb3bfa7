// The Equalize command's processing over a whole ten-minute stereo document with the four
// bands at +6, -6, +6, -6 dB (2205, 4410, 6615 and 8820 Hz, 800 Hz wide), everything the
// command does after its dialogs: undo copy, selection backup, the 512-frame blocks and the
// new overview. bench/cases/equalizer.sh runs sox's four equalizer stages on the same file.
#include "bench/dsp_wave.h"
#include "filtrel/equalizer_settings.h"

#include <benchmark/benchmark.h>

namespace {

void BM_equalize(benchmark::State& state)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    auto doc = bench::open_whole(bench::dsp_wave());
    if (!doc) {
        state.SkipWithError("cannot open the wave file");
        kel::set_ui(nullptr);
        return;
    }
    g_equalizer = EqualizerSettings();
    for (auto _ : state) {
        if (doc->do_equalize_waveform(doc->window) != 1)
            state.SkipWithError("equalizing failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::kDspFrames * 4));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}
BENCHMARK(BM_equalize)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
