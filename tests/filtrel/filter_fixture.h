#pragma once
// Documents of generated tones for the filter tests, with the module's settings reset.
#include "filtrel/filter_settings.h"
#include "filtrel/noise_profile.h"
#include "filtrel/spectral_filter.h"
#include "tests/support/edit_fixture.h"

#include <cmath>
#include <functional>
#include <vector>

class FilterTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        g_filter = FilterSettings();
        g_spectral = SpectralRun();
        g_noise_profile = NoiseProfile();
    }
    void TearDown() override
    {
        release_noise_profile();
        g_noise_profile = NoiseProfile();
        EditTest::TearDown();
    }

    // Interleaved 16-bit frames; channel c of frame i is make(c, i).
    static std::string frames16(long frames, int channels,
                                const std::function<double(int, long)>& make)
    {
        std::vector<int16_t> w;
        w.reserve(static_cast<size_t>(frames * channels));
        for (long i = 0; i < frames; ++i)
            for (int c = 0; c < channels; ++c)
                w.push_back(static_cast<int16_t>(std::lround(make(c, i))));
        return pcm16(w);
    }

    static double sine(double amplitude, double hz, long i, double rate = 44100.0)
    {
        return amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate);
    }

    // Channel c of 16-bit data as doubles.
    static std::vector<double> channel16(const std::string& bytes, int channels, int c)
    {
        std::vector<double> out;
        for (size_t i = static_cast<size_t>(c); 2 * i + 1 < bytes.size();
             i += static_cast<size_t>(channels))
            out.push_back(word(bytes, i));
        return out;
    }

    static double rms(const std::vector<double>& x, size_t from, size_t to)
    {
        double s = 0;
        for (size_t i = from; i < to; ++i)
            s += x[i] * x[i];
        return std::sqrt(s / static_cast<double>(to - from));
    }

    // Amplitude of the component at hz over [from, to), by correlation.
    static double tone_amplitude(const std::vector<double>& x, size_t from, size_t to, double hz,
                                 double rate = 44100.0)
    {
        double re = 0, im = 0;
        for (size_t i = from; i < to; ++i) {
            const double a = 2.0 * M_PI * hz * static_cast<double>(i) / rate;
            re += x[i] * std::cos(a);
            im += x[i] * std::sin(a);
        }
        return 2.0 * std::hypot(re, im) / static_cast<double>(to - from);
    }

    static double db(double ratio) { return 20.0 * std::log10(ratio); }
};
