// The compressor, spatial placement and tones on a 10-minute 44.1 kHz stereo 16-bit
// document, each the whole command as the editor runs it: undo copy, the processing on the
// redo file (in blocks, or the selection in memory), tail copy and new overview.
#include "bench/effect_bench_support.h"
#include "common/child_frame.h"
#include "editor/modules/presets.h"
#include "effra/compressor_dialog.h"
#include "effra/spatial.h"
#include "effra/tones.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// Opens the shared file and runs one command per iteration over the whole of it.
void run(benchmark::State& state, const std::function<void(bench::QuietUi&)>& prepare,
         const std::function<bool(CChildFrame&)>& command)
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
    for (auto _ : state) {
        state.PauseTiming();
        prepare(quiet);
        doc->select_start() = 0;
        doc->select_end() = doc->total_samples();
        state.ResumeTiming();
        if (!command(*doc))
            state.SkipWithError("processing failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::kEffectDataBytes));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}

// The curve the peer is given: -90 -> -90, -20 -> -20 and 0 -> -15 dBFS; the graph's left
// corner stands for -40 dBFS, below which both keep the identity.
int level_pixel(double dbfs, int size, bool input)
{
    const double v = dbfs * 100.0 / (20.0 * std::log10(32767.0));
    return static_cast<int>(std::lround(input ? size * (1.0 + v / 45.0) : -v * size / 45.0));
}

void BM_compressor(benchmark::State& state)
{
    run(
        state,
        [](bench::QuietUi& ui) {
            effra::gain_settings() = effra::GainSettings();
            effra::gain_settings().points = {
                {3, effra::kGraphHeight - 3},
                {effra::kGraphWidth - 3, level_pixel(-15.0, effra::kGraphHeight, false)},
                {level_pixel(-20.0, effra::kGraphWidth, true),
                 level_pixel(-20.0, effra::kGraphHeight, false)}};
            ui.on_dialog("NEWSELECT",
                         [](kel::DialogModel& m) { static_cast<PresetSelectDialog&>(m).create(); });
            ui.on_dialog("CONTROLPOINTSENVELOPE", [](kel::DialogModel& m) {
                static_cast<effra::CompressorDialog&>(m).ok();
            });
        },
        [](CChildFrame& doc) { return doc.amplify_waveform_by_envelope(doc.window, 1) == 1; });
}
BENCHMARK(BM_compressor)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

void BM_spatial(benchmark::State& state)
{
    run(
        state,
        [](bench::QuietUi&) {
            effra::spatial_settings() = effra::SpatialSettings(); // far right, 4 ms
        },
        [](CChildFrame& doc) {
            doc.undo_available = 0;
            doc.spatially_locate_waveform(doc.window);
            return doc.undo_available == 1;
        });
}
BENCHMARK(BM_spatial)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

void BM_tones(benchmark::State& state)
{
    run(
        state,
        [](bench::QuietUi&) {
            // A plain 440 Hz tone on both channels, as the peer's sine.
            effra::ToneSettings s;
            for (int& h : s.harmonic_initial)
                h = 0;
            s.phase = 0;
            effra::tone_settings() = s;
        },
        [](CChildFrame& doc) {
            doc.undo_available = 0;
            doc.generate_special_effects();
            return doc.undo_available == 1;
        });
}
BENCHMARK(BM_tones)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
