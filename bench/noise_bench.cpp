// Noise removal over a whole ten-minute stereo document at 50 %, as the command runs it
// after its dialogs: the profile of the first 4096 frames, then the spectral gate over
// everything (undo copy, selection backup, blocks of 4096 frames into the redo file, the new
// overview). bench/cases/noise.sh runs sox's noisered with a profile of the same passage.
#include "bench/dsp_wave.h"
#include "filtrel/noise_profile.h"

#include <benchmark/benchmark.h>

namespace {

void BM_noise_removal(benchmark::State& state)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    auto doc = bench::open_whole(bench::dsp_wave());
    if (!doc) {
        state.SkipWithError("cannot open the wave file");
        kel::set_ui(nullptr);
        return;
    }
    const long total = doc->total_samples();
    doc->select_end() = 2 * kNoiseProfileFrames;
    if (doc->characterize_noise(doc->window) != 1)
        state.SkipWithError("no profile");
    doc->select_end() = total;
    g_noise_profile.reduction_percent = 50;
    g_noise_profile.attenuation = 0.5f;
    for (auto _ : state) {
        if (!load_noise_profile() ||
            doc->do_filter_waveform(0.0f, "NOISE_REDUCTION", "Reducing Noise") != 1)
            state.SkipWithError("noise removal failed");
        release_noise_profile();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::kDspFrames * 4));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}
BENCHMARK(BM_noise_removal)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
