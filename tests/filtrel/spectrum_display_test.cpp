// The spectrum displays: which blocks the waterfall analyses, a tone's peak where its
// frequency is in both displays (also above the Nyquist limit of the initial band), and
// short selections, collapsed areas and the 2D stepping without a fault.
#include "filtrel/spectrum_dialogs.h"
#include "tests/filtrel/filter_fixture.h"

class SpectrumDisplayTest : public FilterTest
{
  protected:
    void SetUp() override
    {
        FilterTest::SetUp();
        g_spectrum = SpectrumSettings();
    }
    void TearDown() override
    {
        fft_release();
        FilterTest::TearDown();
    }

    // The transform bin of the highest point of a curve over the band: display point p
    // shows magnitude first + p / per, and magnitude i (after the Nyquist element at 0)
    // the real or the imaginary part of bin (i + 1) / 2.
    static long peak_bin(const std::vector<FftPoint>& curve, long rate, int low, int high)
    {
        size_t best = 0;
        for (size_t j = 1; j < curve.size(); ++j)
            if (curve[j].y < curve[best].y)
                best = j;
        const double half = rate / 2.0;
        const size_t per = std::max(1, static_cast<int>(half / (high - low) + 0.5));
        const size_t first = static_cast<size_t>(curve.size() * static_cast<double>(low) / half);
        return static_cast<long>((first + best / per + 1) / 2);
    }
    static long bin_of(double hz, long rate) { return std::lround(hz * 256 / rate); }
};

TEST_F(SpectrumDisplayTest, FourSlicesOverOneSecondAnalyseTheEndAndQuartersBefore)
{
    const long frames = 3 * 44100;
    CChildFrame* doc = open_doc(
        frames16(frames, 2, [](int, long i) { return sine(1500, 2000, i); }), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 2 * 44100, 2 * 2 * 44100); // the second second
    WaterfallPicture picture;
    ui.on_dialog("SpectrumDisplay3D", [&](kel::DialogModel& d) {
        auto& s = static_cast<Spectrum3DDialog&>(d);
        EXPECT_EQ(s.fields[3], "11.0");
        s.move_slider(spectrum_dialog::kSlicesSlider, 64 + 4 - 4, true);
        EXPECT_EQ(s.fields[1], "4");
        picture = s.picture(800, 500);
        s.cancel();
    });
    const std::string before = contents(doc);
    ASSERT_EQ(doc->show_3D_spectrum(doc->window), 1);
    EXPECT_EQ(ui.dialogs_run, std::vector<std::string>{"SpectrumDisplay3D"});
    ASSERT_EQ(picture.slices.size(), 4u);
    const long second = 44100 * 4;
    const long last = second - 256 * 4;
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(picture.slices[static_cast<size_t>(k)].offset, last - k * second / 4) << k;
    // Labels carry the blocks' times in the file; the back slice lies high and right.
    EXPECT_EQ(picture.slices[0].label, "   1.994 s");
    EXPECT_EQ(picture.slices[3].label, "   1.244 s");
    EXPECT_LT(picture.slices[0].baseline, picture.slices[3].baseline);
    EXPECT_GT(picture.slices[0].curve[0].x, picture.slices[3].curve[0].x);
    for (const WaterfallSlice& s : picture.slices)
        EXPECT_EQ(peak_bin(s.curve, 44100, 0, 11000), bin_of(2000, 44100));
    EXPECT_FALSE(picture.slices[1].mesh.empty());
    EXPECT_EQ(contents(doc), before);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(fft_data, nullptr) << "the arrays are released";
}

TEST_F(SpectrumDisplayTest, AToneAboveTheNyquistLimitOfTheInitialBandPeaksRightIn2D)
{
    // At 11025 Hz the initial band (up to 11 kHz) lies above half the rate: it is clamped.
    for (long rate : {11025L, 44100L}) {
        SCOPED_TRACE(rate);
        g_spectrum = SpectrumSettings();
        CChildFrame* doc =
            open_doc(frames16(rate, 1, [rate](int, long i) { return sine(2000, 2000, i, rate); }),
                     1, 16, static_cast<uint32_t>(rate));
        ASSERT_NE(doc, nullptr);
        SpectrumPlot plot;
        WaterfallPicture picture;
        ui.on_dialog("SpectrumDisplay3D", [&](kel::DialogModel& d) {
            auto& s = static_cast<Spectrum3DDialog&>(d);
            picture = s.picture(640, 400);
            // Low stops 1000 Hz below high.
            s.move_slider(spectrum_dialog::kLowSlider, 0, true);
            EXPECT_EQ(g_spectrum.low_hz, g_spectrum.high_hz - 1000);
            s.move_slider(spectrum_dialog::kLowSlider, static_cast<int>(rate / 2), true);
            EXPECT_EQ(g_spectrum.low_hz, 0);
            s.browse();
        });
        ui.on_dialog("SpectrumDisplay2D", [&](kel::DialogModel& d) {
            auto& s = static_cast<Spectrum2DDialog&>(d);
            plot = s.plot(640, 400);
            EXPECT_TRUE(s.step(spectrum_dialog::kNext));
            EXPECT_EQ(g_spectrum.position_2d, 256);
            s.toggle(spectrum_dialog::kLogScale);
            EXPECT_EQ(g_spectrum.log_scale, 1);
            s.cancel();
        });
        ASSERT_EQ(doc->show_3D_spectrum(doc->window), 1);
        EXPECT_EQ(ui.dialogs_run,
                  (std::vector<std::string>{"SpectrumDisplay3D", "SpectrumDisplay2D",
                                            "SpectrumDisplay3D"}));
        ui.dialogs_run.clear();
        EXPECT_EQ(g_spectrum.log_scale, 0) << "closing the 2D display turns it off";
        const int high = rate == 11025 ? 5512 : 11000;
        EXPECT_EQ(g_spectrum.high_hz, high);
        ASSERT_EQ(plot.curve.size(), 256u);
        EXPECT_EQ(peak_bin(plot.curve, rate, 0, high), bin_of(2000, rate));
        EXPECT_EQ(plot.title, "Frequency components at    0.000 sec");
        ASSERT_FALSE(picture.slices.empty());
        EXPECT_EQ(peak_bin(picture.slices.back().curve, rate, 0, high), bin_of(2000, rate));
    }
}

TEST_F(SpectrumDisplayTest, ShortSelectionsAndCollapsedAreasWorkWithoutAFault)
{
    CChildFrame* doc = open_doc(pcm16(noise16(2 * 4000, 4)), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 2 * 3000, 2 * 3100); // 100 frames: shorter than a block and than a second
    ui.on_dialog("SpectrumDisplay3D", [&](kel::DialogModel& d) {
        auto& s = static_cast<Spectrum3DDialog&>(d);
        EXPECT_NEAR(g_spectrum_section.play_ms, 100 / 44.1, 1e-6);
        EXPECT_TRUE(s.picture(0, 300).slices.empty());
        EXPECT_TRUE(s.picture(300, 0).slices.empty());
        const WaterfallPicture& p = s.picture(300, 200);
        ASSERT_EQ(p.slices.size(), 16u);
        EXPECT_LT(p.slices[0].offset, 0) << "starts before the selection";
        // The marker runs over the inner slices during the selection's playing time.
        const double ms = g_spectrum_section.play_ms;
        EXPECT_TRUE(marker_at(p, ms * 0.5, ms).shown);
        EXPECT_FALSE(marker_at(p, ms * 2, ms).shown);
        s.browse();
    });
    ui.on_dialog("SpectrumDisplay2D", [&](kel::DialogModel& d) {
        auto& s = static_cast<Spectrum2DDialog&>(d);
        EXPECT_TRUE(s.plot(200, 0).curve.empty());
        EXPECT_TRUE(s.step(spectrum_dialog::kNext)); // 256 of the 400 bytes
        EXPECT_FALSE(s.step(spectrum_dialog::kNext));
        EXPECT_EQ(g_spectrum.position_2d, 256);
        EXPECT_EQ(s.plot(200, 100).curve.size(), 256u);
        EXPECT_TRUE(s.step(spectrum_dialog::kPrev));
        EXPECT_FALSE(s.step(spectrum_dialog::kPrev));
        s.cancel();
    });
    ASSERT_EQ(doc->show_3D_spectrum(doc->window), 1);
    // Holding Next: once, again after a second, ten times every 150 ms, then every 40 ms.
    std::vector<int> delays;
    for (int step = 1; step <= 13; ++step)
        delays.push_back(repeat_delay_ms(step));
    EXPECT_EQ(delays,
              (std::vector<int>{1000, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 40, 40}));
}
