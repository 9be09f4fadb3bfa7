// Streaming speed of the document's file services on a 1 GiB working file.
#include "bench/bench_support.h"
#include "common/child_frame.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint64_t kSize = 1ull << 30;

void setup_doc(CChildFrame& doc)
{
    doc.wave_format.channels = 2;
    doc.wave_format.bits_per_sample = 16;
    doc.wave_format.block_align = 4;
    doc.wave_format.sample_rate = 44100;
    doc.wave_format.avg_bytes_per_sec = 176400;
}

void BM_copy_file_to_file(benchmark::State& state)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    const std::string src = bench::generated_file("work-1g.raw", kSize);
    const std::string dst = bench::scratch_dir() + "copy-ours.raw";
    CChildFrame doc;
    setup_doc(doc);
    for (auto _ : state) {
        int fd = ::open(dst.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ::close(fd);
        if (!doc.copy_file_to_file(dst.c_str(), src.c_str(), kSize, 0, 0, 0, nullptr))
            state.SkipWithError("copy failed");
    }
    ::unlink(dst.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    kel::set_ui(nullptr);
}
BENCHMARK(BM_copy_file_to_file)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_build_overview(benchmark::State& state)
{
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    const std::string src = bench::generated_file("work-1g.raw", kSize);
    CChildFrame doc;
    setup_doc(doc);
    for (auto _ : state) {
        std::snprintf(doc.current.file_name, sizeof doc.current.file_name, "%s", src.c_str());
        doc.current.total_samples = static_cast<long>(kSize / 2);
        if (!doc.prepare_slot(doc.current, SlotRole::Current, "Opening file %s..."))
            state.SkipWithError("overview failed");
        doc.current.release_levels();
    }
    doc.current.file_name[0] = '\0'; // not ours to delete
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kSize));
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
    kel::set_ui(nullptr);
}
BENCHMARK(BM_build_overview)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
