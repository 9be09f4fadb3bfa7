// The flange (6 ms, 2 Hz, 88 % depth, 25 % feedback, 100 % mix) over a whole ten-minute
// stereo document, as the command runs it after its dialogs: undo copy, selection backup,
// the comb over the redo file in pieces, the new overview. bench/cases/flange.sh runs sox's
// flanger on the same file.
#include "bench/dsp_wave.h"
#include "filtrel/flange.h"

#include <benchmark/benchmark.h>

namespace {

void BM_flange(benchmark::State& state)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    auto doc = bench::open_whole(bench::dsp_wave());
    if (!doc) {
        state.SkipWithError("cannot open the wave file");
        kel::set_ui(nullptr);
        return;
    }
    g_flange = FlangeSettings();
    for (auto _ : state) {
        if (doc->digital_filter_waveform(0, 0, 0.0f, "FLANGE", "Flanging waveform ...", 3) != 1)
            state.SkipWithError("flanging failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::kDspFrames * 4));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}
BENCHMARK(BM_flange)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
