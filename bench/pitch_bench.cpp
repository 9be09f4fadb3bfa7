// Pitch and tempo over a whole ten-minute stereo document, everything the commands do after
// their dialogs (the engine, the new working file from head, result and tail, the new
// overview; each run is undone, untimed, before the next):
//   BM_pitch_splice  an octave up with the splicing engine (factor 2, length kept)
//   BM_pitch_fft     an octave up with the FFT engine (ratio 0.5)
//   BM_tempo_faster  1.15 times as fast (factor 1 / 1.15), as sox's tempo 1.15
//   BM_tempo_slower  1.15 times as long (tempo +100), as sox's tempo 1 / 1.15
// bench/cases/pitch.sh runs sox's pitch and tempo on the same file.
#include "bench/dsp_wave.h"
#include "filtrel/pitch_settings.h"

#include <benchmark/benchmark.h>
#include <functional>

namespace {

void run(benchmark::State& state, const std::function<int(CChildFrame&)>& operation)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    auto doc = bench::open_whole(bench::dsp_wave());
    if (!doc) {
        state.SkipWithError("cannot open the wave file");
        kel::set_ui(nullptr);
        return;
    }
    g_pitch = PitchSettings();
    for (auto _ : state) {
        if (operation(*doc) != 1)
            state.SkipWithError("processing failed");
        state.PauseTiming();
        doc->undo_command();
        doc->select_start() = 0;
        doc->select_end() = doc->total_samples();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::kDspFrames * 4));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    doc.reset();
    kel::set_ui(nullptr);
}

int splice(CChildFrame& doc, int command, float factor)
{
    begin_passage(doc);
    unsigned long out = 0;
    return doc.modify_passage_time(splice_segment_frames(44100), factor, &out, command, 131072, 1,
                                   1);
}

void BM_pitch_splice(benchmark::State& state)
{
    run(state, [](CChildFrame& d) { return splice(d, kPitchCommand, 2.0f); });
}
void BM_pitch_fft(benchmark::State& state)
{
    run(state, [](CChildFrame& d) { return d.change_pitch_with_FFT("FFT Change Pitch", 0.5f); });
}
void BM_tempo_faster(benchmark::State& state)
{
    run(state, [](CChildFrame& d) { return splice(d, kTempoCommand, 1.0f / 1.15f); });
}
void BM_tempo_slower(benchmark::State& state)
{
    run(state, [](CChildFrame& d) { return splice(d, kTempoCommand, 1.15f); });
}

#define PITCH_BENCH(name)                                                                          \
    BENCHMARK(name)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(1)                                                                            \
        ->Repetitions(3)                                                                           \
        ->MeasureProcessCPUTime()
PITCH_BENCH(BM_pitch_splice);
PITCH_BENCH(BM_pitch_fft);
PITCH_BENCH(BM_tempo_faster);
PITCH_BENCH(BM_tempo_slower);

} // namespace

BENCHMARK_MAIN();
