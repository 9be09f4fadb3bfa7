// Cut and paste on a one-hour 44.1 kHz stereo 16-bit document (about 635 MB), beside a
// plain `cp` of the same working file: every edit rewrites the whole working file, so
// the copy speed is the limit. The folder is $KELVARA_BENCH_DIR, else a new one in /tmp.
#include "common/child_frame.h"
#include "editor/edit/clipboard_files.h"
#include "editor/edit/edit_commands.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/riff.h"
#include "platform/ui.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr uint32_t kRate = 44100;
constexpr long kFrames = 44100L * 3600;
constexpr long kBytes = kFrames * 4;

// A window that shows progress and keeps nothing, as the real one does.
class QuietUi : public kel::HeadlessUi
{
  public:
    void progress_bar(long, int, const std::string&) override {}
    void progress_time_left(long, const std::string&) override {}
    long progress_open(const std::string&) override { return 1; }
    void progress_close(long) override {}
    bool progress_cancel_pressed(long) override { return false; }
};

struct Bench
{
    std::string dir;
    std::unique_ptr<CChildFrame> doc;
};

double peak_rss_mb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// Streams a wave file of noise-like samples in 1 MB pieces.
bool write_wave(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    auto le32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
    };
    auto le16 = [&](uint16_t v) {
        std::fputc(v & 0xFF, f);
        std::fputc(v >> 8, f);
    };
    std::fwrite("RIFF", 1, 4, f);
    le32(static_cast<uint32_t>(36 + kBytes));
    std::fwrite("WAVEfmt ", 1, 8, f);
    le32(16);
    le16(1);
    le16(2);
    le32(kRate);
    le32(kRate * 4);
    le16(4);
    le16(16);
    std::fwrite("data", 1, 4, f);
    le32(static_cast<uint32_t>(kBytes));
    std::vector<uint16_t> piece(1 << 19);
    uint32_t x = 12345;
    long left = kBytes / 2;
    while (left > 0) {
        const long n = std::min<long>(left, static_cast<long>(piece.size()));
        for (long i = 0; i < n; ++i) {
            x = x * 1664525u + 1013904223u;
            piece[static_cast<size_t>(i)] = static_cast<uint16_t>(x >> 16);
        }
        if (std::fwrite(piece.data(), 2, static_cast<size_t>(n), f) != static_cast<size_t>(n)) {
            std::fclose(f);
            return false;
        }
        left -= n;
    }
    return std::fclose(f) == 0;
}

Bench& bench()
{
    static Bench b;
    static QuietUi quiet;
    if (b.doc)
        return b;
    kel::set_ui(&quiet);
    if (const char* d = std::getenv("KELVARA_BENCH_DIR"); d && *d) {
        b.dir = kel::paths::with_slash(d);
    } else {
        char tmpl[] = "/tmp/kelvara-edit-bench-XXXXXX";
        if (!mkdtemp(tmpl))
            std::abort();
        b.dir = std::string(tmpl) + "/";
    }
    kel::paths::make_dirs(b.dir + "data");
    kel::paths::make_dirs(b.dir + "config");
    setenv("KELVARA_HOME", b.dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (b.dir + "config").c_str(), 1);
    kel::profile::write_string("Data directory", "Last used directory", b.dir + "data/",
                               kel::profile::app_profile());
    const std::string wave = b.dir + "hour.wav";
    if (!write_wave(wave))
        std::abort();
    b.doc = CChildFrame::create_from_file(wave.c_str());
    ::unlink(wave.c_str());
    if (!b.doc)
        std::abort();
    std::atexit([] {
        b.doc.reset();
        erase_clipboard();
        ::unlink((b.dir + "copy.raw").c_str());
        ::unlink((b.dir + "config/Kelvara/Orlo.ini").c_str());
        ::rmdir((b.dir + "config/Kelvara").c_str());
        ::rmdir((b.dir + "config").c_str());
        ::rmdir((b.dir + "data").c_str());
        if (!std::getenv("KELVARA_BENCH_DIR"))
            ::rmdir(b.dir.c_str());
    });
    return b;
}

// Each timed step starts with nothing waiting to be written, so no step pays for the
// write-back of the one before.
void settle()
{
    ::sync();
}

void select_middle(CChildFrame& doc, long seconds, int has)
{
    const long words = seconds * kRate * 2;
    const long mid = doc.current.total_samples / 2 / 2 * 2;
    doc.current.select_start = mid;
    doc.current.select_end = mid + words;
    doc.current.has_selection = has;
}

void BM_Cut(benchmark::State& state)
{
    Bench& b = bench();
    for (auto _ : state) {
        state.PauseTiming();
        settle();
        state.ResumeTiming();
        select_middle(*b.doc, 10, 1);
        if (!edit_cut(*b.doc)) {
            state.SkipWithError("cut failed");
            break;
        }
        state.PauseTiming();
        b.doc->undo_command();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
    state.counters["peak_rss_MB"] = peak_rss_mb();
}

void BM_Paste(benchmark::State& state)
{
    Bench& b = bench();
    select_middle(*b.doc, 10, 1);
    if (!edit_copy(*b.doc)) {
        state.SkipWithError("copy failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        settle();
        state.ResumeTiming();
        select_middle(*b.doc, 0, 0);
        if (!edit_paste(*b.doc)) {
            state.SkipWithError("paste failed");
            break;
        }
        state.PauseTiming();
        b.doc->undo_command();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
    state.counters["peak_rss_MB"] = peak_rss_mb();
}

// The peer: cp of the document's working file, in this same run.
void BM_CpWorkingFile(benchmark::State& state)
{
    Bench& b = bench();
    const std::string from = b.doc->working_file();
    const std::string to = b.dir + "copy.raw";
    for (auto _ : state) {
        state.PauseTiming();
        settle();
        state.ResumeTiming();
        char* argv[] = {const_cast<char*>("cp"), const_cast<char*>(from.c_str()),
                        const_cast<char*>(to.c_str()), nullptr};
        pid_t pid;
        int status = 0;
        if (posix_spawnp(&pid, "cp", nullptr, nullptr, argv, environ) != 0 ||
            waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("cp failed");
            break;
        }
        state.PauseTiming();
        ::unlink(to.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// Best of three single runs each (bench/cases/edit.sh takes the least).
BENCHMARK(BM_CpWorkingFile)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Cut)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Paste)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
