// Recording a 10-minute 44.1 kHz stereo 16-bit take from the virtual input through the
// record dialog's whole path (ring of buffers, record file, readouts): once at full speed
// under a pinned clock that is moved a second at a time, and once for 10 s at real time
// to measure the processor time it takes.
#include "bench/bench_support.h"
#include "common/child_frame.h"
#include "editor/devices/record.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/wave_device.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/resource.h>
#include <thread>

namespace wd = kel::wave_device;
namespace ev = kel::events;

namespace {

constexpr uint64_t kSecondBytes = 44100 * 4;

CChildFrame& document()
{
    static bench::QuietUi quiet;
    static std::unique_ptr<CChildFrame> doc;
    if (doc)
        return *doc;
    kel::set_ui(&quiet);
    const std::string dir = bench::scratch_dir() + "record/";
    kel::paths::make_dirs(dir + "data");
    kel::paths::make_dirs(dir + "config");
    setenv("KELVARA_HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "config").c_str(), 1);
    kel::profile::write_string("Data directory", "Last used directory", dir + "data/",
                               kel::profile::app_profile());
    // A one-second document to record into.
    const std::string wave = dir + "one.wav";
    if (FILE* f = std::fopen(wave.c_str(), "wb")) {
        const uint32_t bytes = static_cast<uint32_t>(kSecondBytes);
        const uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,   0x00020001,
                                   44100,      44100 * 4,  0x00100004, 0x61746164, bytes};
        std::fwrite(header, 1, sizeof header, f);
        std::vector<char> zeros(bytes);
        std::fwrite(zeros.data(), 1, zeros.size(), f);
        std::fclose(f);
    }
    doc = CChildFrame::create_from_file(wave.c_str());
    if (!doc)
        std::abort();
    wd::set_backend(wd::Backend::Virtual);
    wd::set_virtual_source(bench::generated_file("record-source.raw", kSecondBytes * 600));
    std::atexit([] { doc.reset(); });
    return *doc;
}

double cpu_seconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_Record10MinutesFullSpeed(benchmark::State& state)
{
    CChildFrame& doc = document();
    kel::clock::fix(1000);
    for (auto _ : state) {
        NewRecordDialog dialog(&doc);
        dialog.on_open();
        dialog.click(NewRecordDialog::kRecord);
        while (dialog.recorded_bytes() < kSecondBytes * 600 && dialog.recording()) {
            kel::clock::advance(1000);
            wd::settle();
            ev::pump();
        }
        dialog.click(NewRecordDialog::kStop);
        kel::clock::advance(600);
        wd::settle();
        ev::pump();
        if (dialog.record_file_bytes() < kSecondBytes * 600) {
            state.SkipWithError("the take is short");
            break;
        }
        state.counters["take_s"] = static_cast<double>(dialog.record_file_bytes()) / kSecondBytes;
        dialog.click(kel::kIdCancel);
    }
    kel::clock::unfix();
    state.counters["peak_rss_MB"] = bench::peak_rss_mb();
}

void BM_Record10SecondsRealTime(benchmark::State& state)
{
    CChildFrame& doc = document();
    std::mutex m;
    std::condition_variable woken;
    bool posted = false;
    ev::set_wake_hook([&] {
        std::lock_guard<std::mutex> lock(m);
        posted = true;
        woken.notify_all();
    });
    for (auto _ : state) {
        NewRecordDialog dialog(&doc);
        dialog.on_open();
        const double cpu_before = cpu_seconds();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        dialog.click(NewRecordDialog::kRecord);
        // An event loop that sleeps until something is posted or a timer is due.
        while (std::chrono::steady_clock::now() < until) {
            {
                std::unique_lock<std::mutex> lock(m);
                const long next = ev::ms_until_next_timer();
                woken.wait_for(lock, std::chrono::milliseconds(next < 0 ? 50 : next + 1),
                               [&] { return posted; });
                posted = false;
            }
            ev::pump();
        }
        dialog.click(NewRecordDialog::kStop);
        for (int i = 0; i < 100 && dialog.recording(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ev::pump();
        }
        state.counters["cpu_s"] = cpu_seconds() - cpu_before;
        state.counters["take_s"] = static_cast<double>(dialog.record_file_bytes()) / kSecondBytes;
        dialog.click(kel::kIdCancel);
    }
    ev::set_wake_hook(nullptr);
}

} // namespace

BENCHMARK(BM_Record10MinutesFullSpeed)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();
BENCHMARK(BM_Record10SecondsRealTime)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK_MAIN();
