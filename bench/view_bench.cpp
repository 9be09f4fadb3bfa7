// Full redraws of the waveform image of a one-hour 44.1 kHz stereo document, 1920 pixels
// wide: at the whole-file zoom (from the overview) and at one frame per pixel (from the
// mapped working file). The working file is sparse apart from a region of real data, so
// the run needs no 635 MB of disk; drawing reads the same pages either way.
#include "common/child_frame.h"
#include "editor/view/ui/waveform_image.h"
#include "editor/view/view_colors.h"
#include "platform/ui.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr long kFrames = 44100L * 3600;
constexpr int kWidth = 1920;
constexpr int kHeight = 400;

struct HourDocument
{
    std::string file;
    CChildFrame doc;

    kel::HeadlessUi ui;

    HourDocument()
    {
        ui.screen_w = 1920; // the levels follow the screen
        kel::set_ui(&ui);
        const char* tmp = std::getenv("TMPDIR");
        file = std::string(tmp ? tmp : "/tmp") + "/kelvara_view_bench.tmp";
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::ftruncate(fd, kFrames * 4) != 0)
            std::abort();
        // Ten seconds of real sound at the start, where the close-up view looks.
        std::vector<short> block(2 * 44100 * 10);
        for (size_t i = 0; i < block.size() / 2; ++i) {
            const double v = 20000 * std::sin(i * 0.0627) * std::sin(i * 0.00003);
            block[2 * i] = static_cast<short>(v);
            block[2 * i + 1] = static_cast<short>(-v / 2);
        }
        if (::pwrite(fd, block.data(), block.size() * 2, 0) < 0)
            std::abort();
        ::close(fd);
        doc.wave_format.channels = 2;
        doc.wave_format.sample_rate = 44100;
        doc.wave_format.bits_per_sample = 16;
        doc.wave_format.block_align = 4;
        std::snprintf(doc.current.file_name, sizeof doc.current.file_name, "%s", file.c_str());
        doc.current.total_samples = kFrames * 2;
        if (!doc.prepare_slot(doc.current, SlotRole::Current, "Processing file %s..."))
            std::abort();
        // An overview with a moving envelope, as music would give.
        short* level1 = doc.current.view16[1];
        const long groups = doc.current.level_samples[1] / 4;
        for (long g = 0; g < groups; ++g) {
            const short peak = static_cast<short>(8000 + 20000 * std::fabs(std::sin(g * 0.001)));
            level1[4 * g] = static_cast<short>(-peak);
            level1[4 * g + 1] = static_cast<short>(-peak / 2);
            level1[4 * g + 2] = peak;
            level1[4 * g + 3] = static_cast<short>(peak / 2);
        }
    }
    ~HourDocument()
    {
        doc.current.release_levels();
        ::unlink(file.c_str());
        kel::set_ui(nullptr);
    }
};

HourDocument& hour()
{
    static HourDocument h;
    return h;
}

void redraw(benchmark::State& state, bool whole_file)
{
    CChildFrame& doc = hour().doc;
    doc.current.zoom_factor = whole_file ? 1.0f : doc.current.base_factor;
    doc.first_visible = 0;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    WaveColumns columns;
    const ViewColors colors;
    for (auto _ : state) {
        render_waveform(image, doc, kWidth, colors, columns);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["columns"] = columns.count;
    state.counters["overview"] = columns.from_overview ? 1 : 0;
}

void BM_RedrawWholeFile(benchmark::State& state)
{
    redraw(state, true);
}
void BM_RedrawFramePerPixel(benchmark::State& state)
{
    redraw(state, false);
}

} // namespace

BENCHMARK(BM_RedrawWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawFramePerPixel)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
