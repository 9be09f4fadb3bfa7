// The spectral gate reads the profile that noise reduction samples: elements strong in the
// sampled noise are scaled down, the rest pass.
#include "filtrel/fft.h"
#include "tests/filtrel/filter_fixture.h"

#include <fstream>

class NoiseGateTest : public FilterTest
{
  protected:
    // What sampling leaves behind: the packed spectrum of 4096 frames in its file, and
    // a tenth of its extremes as thresholds.
    void sample_profile(const std::function<double(long)>& noise)
    {
        std::vector<float> x(kNoiseProfileFloats, 0.0f);
        for (long i = 0; i < kNoiseProfileFrames; ++i)
            x[static_cast<size_t>(i) + 1] = static_cast<float>(noise(i));
        fft_real_on(x.data(), kNoiseProfileFrames / 2, 1);
        float most = 1.0f, least = 1.0f;
        for (int j = 0; j < kNoiseProfileFrames; ++j) {
            most = std::max(most, x[static_cast<size_t>(j)]);
            if (x[static_cast<size_t>(j)] < 0)
                least = std::min(least, x[static_cast<size_t>(j)]);
        }
        x[kNoiseProfileFrames] = x[kNoiseProfileFrames + 1] = x[kNoiseProfileFrames + 2] =
            x[kNoiseProfileFrames + 3] = 0.0f;
        g_noise_profile.file = data + "profile.tmp";
        std::ofstream(g_noise_profile.file, std::ios::binary)
            .write(reinterpret_cast<const char*>(x.data()), kNoiseProfileBytes);
        g_noise_profile.positive_threshold = 0.1f * most;
        g_noise_profile.negative_threshold = 0.1f * least;
        g_noise_profile.exists = 1;
    }
};

TEST_F(NoiseGateTest, ElementsLoudInTheSampledNoiseAreReducedAndTheRestPass)
{
    // The "noise" is a 1 kHz hum; the passage holds the hum and a 3 kHz tone.
    sample_profile([](long i) { return sine(3000, 1000, i); });
    g_noise_profile.reduction_percent = 99;
    g_noise_profile.attenuation = 0.01f;
    const long frames = 3 * 44100;
    CChildFrame* doc = open_doc(
        frames16(frames, 1, [](int, long i) { return sine(6000, 1000, i) + sine(6000, 3000, i); }),
        1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->do_filter_waveform(0.0f, "NOISE_REDUCTION", "Reducing Noise"), 1);
    EXPECT_EQ(g_undo_menu.text, "&Undo Noise reduction...\tCtrl+Z");
    EXPECT_EQ(g_noise_profile.values, nullptr) << "loaded for the run only";

    const auto out = channel16(contents(doc), 1, 0);
    EXPECT_LT(db(tone_amplitude(out, 44100, 2 * 44100, 1000) / 6000), -20.0);
    EXPECT_NEAR(db(tone_amplitude(out, 44100, 2 * 44100, 3000) / 6000), 0.0, 0.5);
}

TEST_F(NoiseGateTest, AProfileOfDigitalSilenceGatesNothing)
{
    sample_profile([](long) { return 0.0; });
    EXPECT_FLOAT_EQ(g_noise_profile.positive_threshold, 0.1f);
    EXPECT_FLOAT_EQ(g_noise_profile.negative_threshold, 0.1f);
    g_noise_profile.attenuation = 0.01f;
    const std::string noise = pcm16(noise16(20000, 9));
    CChildFrame* doc = open_doc(noise, 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->do_filter_waveform(0.0f, "NOISE_REDUCTION", "Reducing Noise"), 1);
    const std::string out = contents(doc);
    int worst = 0;
    for (size_t i = 0; i < noise.size() / 2; ++i)
        worst = std::max(worst, std::abs(word(out, i) - word(noise, i)));
    EXPECT_LE(worst, 1);
}
