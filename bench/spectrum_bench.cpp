// One waterfall of 100 slices drawn at 1600 x 900 from a ten-minute stereo document: the
// picture (100 blocks of 256 frames read, analysed and placed) and its painting into an
// image, as the display does after a change; and the painting alone. Against the 16 ms of
// one frame at 60 Hz.
#include "bench/dsp_wave.h"
#include "filtrel/spectrum_display.h"
#include "filtrel/ui/spectrum_windows.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 900;

struct Waterfall
{
    bench::QuietUi quiet;
    std::unique_ptr<CChildFrame> doc;
    Waterfall()
    {
        kel::set_ui(&quiet);
        doc = bench::open_whole(bench::dsp_wave());
        if (!doc)
            return;
        compute_spectrum_section(*doc);
        g_spectrum = SpectrumSettings();
        g_spectrum.slices = 100;
        g_spectrum.high_hz = 22050;
        fft_allocate(kSpectrumFrames, kFftForSpectrumDisplay);
    }
    ~Waterfall()
    {
        fft_release();
        doc.reset();
        kel::set_ui(nullptr);
    }
};

void BM_waterfall(benchmark::State& state)
{
    Waterfall w;
    if (!w.doc) {
        state.SkipWithError("cannot open the wave file");
        return;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        WaterfallPicture picture;
        picture.width = kWidth;
        picture.height = kHeight;
        w.doc->display_3D_spectrum(picture);
        QPainter p(&image);
        filtrel_ui::paint_waterfall(p, picture);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
        if (picture.slices.size() != 100)
            state.SkipWithError("not 100 slices");
    }
}
BENCHMARK(BM_waterfall)->Unit(benchmark::kMillisecond);

void BM_waterfall_paint(benchmark::State& state)
{
    Waterfall w;
    if (!w.doc) {
        state.SkipWithError("cannot open the wave file");
        return;
    }
    WaterfallPicture picture;
    picture.width = kWidth;
    picture.height = kHeight;
    w.doc->display_3D_spectrum(picture);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        filtrel_ui::paint_waterfall(p, picture);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_waterfall_paint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
