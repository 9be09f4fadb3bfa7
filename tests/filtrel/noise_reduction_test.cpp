// Noise reduction measured on sound: the sampled band noise goes down by what one noise
// snapshot can take out while the tone stays; silence and 0 % take nothing; the hum filter
// at 60 and 50 Hz; the gate against its rule; Cancel and bad selections leave no trace.
#include "filtrel/fft.h"
#include "filtrel/noise_dialogs.h"
#include "platform/profile.h"
#include "tests/filtrel/filter_fixture.h"

#include <cstring>
#include <map>
#include <random>

class NoiseReductionTest : public FilterTest
{
  protected:
    void SetUp() override
    {
        FilterTest::SetUp();
        g_noise_tools = NoiseToolSettings();
    }

    // 500 Hz at -20 dBFS after one second of 5 .. 8 kHz noise at -50 dBFS (rms), mono.
    static std::vector<double> test_signal(long frames)
    {
        const long n = 1L << 18;
        std::vector<float> x(static_cast<size_t>(n) + 4, 0.0f);
        std::mt19937 random(5);
        std::normal_distribution<float> gauss;
        for (long i = 1; i <= n; ++i)
            x[static_cast<size_t>(i)] = gauss(random);
        fft_real_on(x.data(), static_cast<int>(n / 2), 1);
        for (long k = 0; k < n / 2; ++k) {
            const double hz = k * 44100.0 / n;
            if (hz < 5000 || hz > 8000)
                x[static_cast<size_t>(2 * k + 1)] = x[static_cast<size_t>(2 * k + 2)] = 0.0f;
        }
        x[2] = 0.0f;
        fft_real_on(x.data(), static_cast<int>(n / 2), -1);
        double power = 0;
        for (long i = 1; i <= n; ++i)
            power += static_cast<double>(x[static_cast<size_t>(i)]) * x[static_cast<size_t>(i)];
        const double scale = 32767.0 * std::pow(10.0, -50.0 / 20) / std::sqrt(power / n);
        std::vector<double> s(static_cast<size_t>(frames));
        for (long i = 0; i < frames; ++i) {
            const double tone = i < 44100 ? 0.0 : sine(32767.0 * 0.1, 500, i);
            s[static_cast<size_t>(i)] = tone + scale * x[static_cast<size_t>(i % n + 1)];
        }
        return s;
    }

    // Energy between 5 and 8 kHz over 2^16 samples from `from`, in dB.
    static double band_db(const std::vector<double>& s, size_t from)
    {
        const int n = 1 << 16;
        std::vector<float> a(n + 4, 0.0f);
        for (int i = 0; i < n; ++i)
            a[static_cast<size_t>(i + 1)] = static_cast<float>(s[from + static_cast<size_t>(i)]);
        fft_real_on(a.data(), n / 2, 1);
        double e = 0;
        for (int k = 1; k < n / 2; ++k) {
            const double hz = k * 44100.0 / n;
            if (hz >= 5000 && hz <= 8000)
                e += static_cast<double>(a[2 * k + 1]) * a[2 * k + 1] +
                     static_cast<double>(a[2 * k + 2]) * a[2 * k + 2];
        }
        return 10 * std::log10(e + 1e-30);
    }

    // Remove noise at a reduction, through both dialogs.
    int remove_at(CChildFrame* doc, int reduction_percent)
    {
        ui.on_dialog("NOISEREMOVAL", [](kel::DialogModel& d) {
            static_cast<NoiseRemovalDialog&>(d).choose(noise_dialog::kRemove);
        });
        ui.on_dialog("NOISEREDUCTION", [reduction_percent](kel::DialogModel& d) {
            auto& r = static_cast<NoiseReductionDialog&>(d);
            r.move_slider(100 - reduction_percent);
            r.ok();
        });
        return doc->remove_noise(doc->window);
    }

    void sample(CChildFrame* doc, bool makes_profile = true)
    {
        ui.on_dialog("NOISEREMOVAL", [makes_profile](kel::DialogModel& d) {
            auto& r = static_cast<NoiseRemovalDialog&>(d);
            r.sample();
            EXPECT_EQ(r.remove_enabled, makes_profile);
            r.cancel();
        });
        EXPECT_EQ(doc->remove_noise(doc->window), 0) << "sampling alone makes no step";
    }
};

TEST_F(NoiseReductionTest, SampledBandNoiseGoesDownAndTheToneStays)
{
    const long frames = 5 * 44100;
    const std::vector<double> in = test_signal(frames);
    const std::string bytes = frames16(frames, 1, [&](int, long i) { return in[i]; });
    const size_t probe = 2 * 44100;
    const double tone_in = tone_amplitude(in, probe, probe + 65536, 500);
    const double band_in = band_db(in, probe);

    std::map<int, std::pair<double, double>> measured; // reduction -> (band dB, tone dB)
    for (int reduction : {0, 50, 90}) {
        SCOPED_TRACE(reduction);
        CChildFrame* doc = open_doc(bytes, 1, 16, 44100);
        ASSERT_NE(doc, nullptr);
        select(doc, 0, 44100);
        sample(doc);
        select(doc, 44100, frames);
        ASSERT_EQ(remove_at(doc, reduction), 1);
        EXPECT_EQ(g_undo_menu.text, "&Undo Noise reduction...\tCtrl+Z");
        const auto out = channel16(contents(doc), 1, 0);
        measured[reduction] = {band_db(out, probe) - band_in,
                               db(tone_amplitude(out, probe, probe + 65536, 500) / tone_in)};
        EXPECT_EQ(contents(doc).substr(0, 2 * 44100), bytes.substr(0, 2 * 44100));
    }
    EXPECT_NEAR(measured[0].first, 0.0, 0.05) << "0 % changes only by the block joins";
    EXPECT_NEAR(measured[0].second, 0.0, 0.05);
    EXPECT_LE(measured[50].first, -3.0);
    EXPECT_LE(measured[90].first, -5.0);
    EXPECT_NEAR(measured[50].second, 0.0, 0.5);
    EXPECT_NEAR(measured[90].second, 0.0, 0.5);
    std::printf("band noise %.2f / %.2f dB, tone %.3f / %.3f dB at 50 / 90 %%\n",
                measured[50].first, measured[90].first, measured[50].second, measured[90].second);
}

TEST_F(NoiseReductionTest, TheProfileHoldsOnlyTheSelectedFramesAndOutlivesItsDocument)
{
    // 1000 frames of quiet noise, then a loud 3 kHz tone that must not enter the profile.
    const long frames = 20000;
    const std::vector<int16_t> quiet = noise16(1000, 3);
    auto make = [&](int c, long i) {
        return i < 1000 ? quiet[static_cast<size_t>(i)] / 64 + c * 7 : sine(20000, 3000, i);
    };
    const std::string bytes = frames16(frames, 2, make);
    CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    // Nothing highlighted: the box has its text and no profile is made.
    select(doc, 0, 0, 0);
    sample(doc, false);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Please highlight a section containing representative noise.");
    EXPECT_EQ(g_noise_profile.exists, 0);

    select(doc, 0, 2 * 1000);
    sample(doc);
    const std::string first_file = g_noise_profile.file;
    const std::string stored = read_file(first_file);
    ASSERT_EQ(stored.size(), kNoiseProfileBytes);
    std::vector<float> expected(kNoiseProfileFloats, 0.0f);
    for (long i = 0; i < 1000; ++i)
        expected[static_cast<size_t>(i) + 1] = static_cast<float>(std::lround(make(0, i)));
    fft_real_on(expected.data(), kNoiseProfileFrames / 2, 1);
    std::vector<float> got(kNoiseProfileFloats);
    std::memcpy(got.data(), stored.data(), kNoiseProfileBytes);
    float most = 1.0f;
    for (int j = 0; j < kNoiseProfileFrames; ++j) {
        EXPECT_EQ(got[static_cast<size_t>(j)], expected[static_cast<size_t>(j)]) << j;
        most = std::max(most, expected[static_cast<size_t>(j)]);
    }
    EXPECT_FLOAT_EQ(g_noise_profile.positive_threshold, 0.1f * most);
    EXPECT_LT(most, 1e6f) << "the tone after the selection (4e7 here) is not in it";

    // Closing the document keeps the profile; another document can use it.
    close_doc(doc);
    EXPECT_TRUE(exists(first_file));
    CChildFrame* other = open_doc(bytes, 2, 16, 44100);
    ASSERT_NE(other, nullptr);
    const std::string before = contents(other);
    // Cancel in the second dialog: no step, nothing changed.
    ui.on_dialog("NOISEREMOVAL", [](kel::DialogModel& d) {
        auto& r = static_cast<NoiseRemovalDialog&>(d);
        EXPECT_TRUE(r.remove_enabled);
        r.choose(noise_dialog::kRemove);
    });
    EXPECT_EQ(other->remove_noise(other->window), 0);
    EXPECT_EQ(ui.dialogs_run.back(), "NOISEREDUCTION");
    EXPECT_EQ(contents(other), before);
    EXPECT_EQ(other->undo_available, 0);
    ASSERT_EQ(remove_at(other, 60), 1);
    EXPECT_NE(contents(other), before);
    // A new sample replaces the file.
    select(other, 0, 2 * 500);
    sample(other);
    EXPECT_NE(g_noise_profile.file, first_file);
    EXPECT_FALSE(exists(first_file));
    EXPECT_TRUE(exists(g_noise_profile.file));
}

TEST_F(NoiseReductionTest, AProfileOfSilenceRemovesNothing)
{
    const long frames = 3 * 44100;
    const std::vector<int16_t> noise = noise16(frames, 11);
    const std::string bytes = frames16(frames, 1, [&](int, long i) {
        return i < 5000 ? 0.0 : noise[static_cast<size_t>(i)] / 4.0;
    });
    CChildFrame* doc = open_doc(bytes, 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 5000);
    sample(doc);
    EXPECT_FLOAT_EQ(g_noise_profile.positive_threshold, 0.1f);
    EXPECT_FLOAT_EQ(g_noise_profile.negative_threshold, 0.1f);
    select(doc, 5000, frames);
    ASSERT_EQ(remove_at(doc, 99), 1);
    const std::string out = contents(doc);
    int worst = 0;
    for (size_t i = 0; i < bytes.size() / 2; ++i)
        worst = std::max(worst, std::abs(word(out, i) - word(bytes, i)));
    EXPECT_LE(worst, 1);
}

TEST_F(NoiseReductionTest, TheHumFilterTakesMainsDownAtSixtyOrFiftyHertz)
{
    const long frames = 3 * 44100;
    for (int mains : {60, 50}) {
        SCOPED_TRACE(mains);
        const std::string bytes = frames16(
            frames, 2, [&](int, long i) { return sine(8000, mains, i) + sine(8000, 1000, i); });
        CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
        ASSERT_NE(doc, nullptr);
        ui.on_dialog("NOISEREMOVAL", [mains](kel::DialogModel& d) {
            auto& r = static_cast<NoiseRemovalDialog&>(d);
            EXPECT_EQ(r.hum_hz, 60) << "the default, and what the last run stored";
            r.set_hum(mains);
            r.choose(noise_dialog::kHumFilter);
        });
        ASSERT_EQ(doc->remove_noise(doc->window), 1);
        const std::string text =
            mains == 50 ? "Filtering 50 cycle hum ..." : "Filtering 60 cycle hum ...";
        EXPECT_TRUE(std::any_of(ui.progress.begin(), ui.progress.end(),
                                [&](const auto& e) { return e.text == text; }));
        ui.progress.clear();
        for (int c = 0; c < 2; ++c) {
            const auto out = channel16(contents(doc), 2, c);
            EXPECT_LT(db(tone_amplitude(out, 44100, 3 * 44100 - 1, mains) / 8000), -20.0);
            EXPECT_GT(db(tone_amplitude(out, 44100, 3 * 44100 - 1, 1000) / 8000), -1.0);
        }
        // The choice is kept with the Filter presets.
        EXPECT_EQ(
            kel::profile::read_int("Noise Reduction", "Hum Filter", 60, program + "KVSFILTR.INI"),
            mains);
        if (mains == 50) {
            ui.on_dialog("NOISEREMOVAL", [](kel::DialogModel& d) {
                EXPECT_EQ(static_cast<NoiseRemovalDialog&>(d).hum_hz, 50);
            });
            EXPECT_EQ(doc->remove_noise(doc->window), 0);
        }
    }
}

TEST_F(NoiseReductionTest, TheGateSilencesQuietBlocksAndKeepsTheRestBitIdentical)
{
    // Stereo 16-bit: 6144-byte blocks of 1536 frames. The left channel is quiet in every
    // other block, the right one in every third; the gate at 10 % (T = 3276).
    const long block = 1536, blocks = 12;
    auto loud = [](int c, long b) { return c == 0 ? b % 2 == 0 : b % 3 != 0; };
    const std::string bytes = frames16(block * blocks, 2, [&](int c, long i) {
        return sine(loud(c, i / block) ? 12000 : 2500, 440 + 300 * c, i);
    });
    for (int mode : {1, 2, 3}) {
        SCOPED_TRACE(mode);
        CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
        ASSERT_NE(doc, nullptr);
        ui.on_dialog("NOISEREMOVAL", [](kel::DialogModel& d) {
            static_cast<NoiseRemovalDialog&>(d).choose(noise_dialog::kNoiseGate);
        });
        ui.on_dialog("NOISEGATE", [mode](kel::DialogModel& d) {
            auto& g = static_cast<NoiseGateDialog&>(d);
            g.move_slider(90);
            EXPECT_EQ(g.field, "10%");
            g.set_channels(noise_dialog::kBoth + mode - 1);
            g.ok();
        });
        ASSERT_EQ(doc->remove_noise(doc->window), 1);
        const std::string out = contents(doc);
        long silenced = 0;
        for (long i = 0; i < block * blocks; ++i)
            for (int c = 0; c < 2; ++c) {
                const size_t w = static_cast<size_t>(2 * i + c);
                const bool gated = mode == 1 || mode == c + 2;
                if (gated && !loud(c, i / block)) {
                    ASSERT_EQ(word(out, w), 0) << i;
                    ++silenced;
                } else {
                    ASSERT_EQ(word(out, w), word(bytes, w)) << i;
                }
            }
        EXPECT_GT(silenced, 0);
    }
    // Mono: consecutive words are the two words of a pair. Cancel leaves it all as it was.
    const std::string mono = frames16(
        4 * 3072, 1, [](int, long i) { return i < 3072 ? sine(200, 440, i) : sine(9000, 440, i); });
    CChildFrame* doc = open_doc(mono, 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ui.on_dialog("NOISEREMOVAL", [](kel::DialogModel& d) {
        static_cast<NoiseRemovalDialog&>(d).choose(noise_dialog::kNoiseGate);
    });
    ui.on_dialog("NOISEGATE", [](kel::DialogModel& d) {
        auto& g = static_cast<NoiseGateDialog&>(d);
        EXPECT_FALSE(g.stereo);
        g.move_slider(95);
        g.ok();
    });
    ui.cancel_after_polls(2);
    EXPECT_EQ(doc->remove_noise(doc->window), 0);
    EXPECT_EQ(contents(doc), mono);
    EXPECT_EQ(doc->undo_available, 0);
    ui.cancel_after_polls(0);
    ui.on_dialog("NOISEREMOVAL", [](kel::DialogModel& d) {
        static_cast<NoiseRemovalDialog&>(d).choose(noise_dialog::kNoiseGate);
    });
    ui.on_dialog("NOISEGATE", [](kel::DialogModel& d) {
        auto& g = static_cast<NoiseGateDialog&>(d);
        g.move_slider(95);
        g.ok();
    });
    ASSERT_EQ(doc->remove_noise(doc->window), 1);
    const std::string out = contents(doc);
    EXPECT_EQ(out.substr(0, 2 * 3072), std::string(2 * 3072, '\0'));
    EXPECT_EQ(out.substr(2 * 3072), mono.substr(2 * 3072));
}
