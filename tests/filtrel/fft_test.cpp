#include "filtrel/fft.h"
#include "tests/support/test_env.h"

#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<float> random_block(int n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> d(-32767.0f, 32767.0f);
    std::vector<float> x(static_cast<size_t>(n) + 4, 0.0f);
    for (int i = 1; i <= n; ++i)
        x[static_cast<size_t>(i)] = d(gen);
    return x;
}

double rms(const std::vector<float>& x, int n)
{
    double s = 0;
    for (int i = 1; i <= n; ++i)
        s += double(x[i]) * x[i];
    return std::sqrt(s / n);
}

} // namespace

class FftSizes : public ::testing::TestWithParam<int>
{
};

TEST_P(FftSizes, ForwardThenInverseGivesTheInputBack)
{
    const int n = GetParam();
    auto x = random_block(n, 1);
    auto original = x;
    fft_real_on(x.data(), n / 2, 1);
    fft_real_on(x.data(), n / 2, -1);
    double worst = 0;
    for (int i = 1; i <= n; ++i)
        worst = std::max(worst, std::fabs(double(x[i]) - original[i]));
    // Single precision over log2(N) passes: a few ulps of the signal's scale.
    EXPECT_LT(worst, 32767.0 * 1e-5) << n;
    EXPECT_EQ(x[0], 0.0f) << "element 0 is never data";
}

TEST_P(FftSizes, MatchesANaiveDoublePrecisionDft)
{
    const int n = GetParam();
    auto x = random_block(n, 2);
    std::vector<double> in(x.begin() + 1, x.begin() + 1 + n);
    fft_real_on(x.data(), n / 2, 1);
    const double scale = rms(std::vector<float>(x), n) + 1;
    double worst = 0;
    for (int k = 0; k <= n / 2; ++k) {
        double re = 0, im = 0;
        for (int j = 0; j < n; ++j) {
            const double a = 2 * M_PI * double(j) * k / n;
            re += in[j] * std::cos(a);
            im += in[j] * std::sin(a);
        }
        double got_re, got_im = 0;
        if (k == 0) {
            got_re = x[1];
        } else if (k == n / 2) {
            got_re = x[2];
        } else {
            got_re = x[2 * k + 1];
            got_im = x[2 * k + 2];
        }
        worst = std::max({worst, std::fabs(got_re - re), std::fabs(got_im - im)});
    }
    EXPECT_LT(worst / scale, 1e-3) << n;
}

INSTANTIATE_TEST_SUITE_P(Sizes, FftSizes, ::testing::Values(16, 256, 512, 1024, 4096, 8192));

TEST(Fft, ComplexInverseScalesByN)
{
    std::vector<float> x = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    // A unit impulse at point 0 of 4 points is flat in frequency.
    fft_complex_on(x.data(), 4, 1);
    for (int k = 0; k < 4; ++k) {
        EXPECT_FLOAT_EQ(x[1 + 2 * k], 1.0f);
        EXPECT_FLOAT_EQ(x[2 + 2 * k], 0.0f);
    }
    fft_complex_on(x.data(), 4, -1);
    EXPECT_FLOAT_EQ(x[1], 1.0f);
    EXPECT_FLOAT_EQ(x[3], 0.0f);
}

TEST(Fft, SineLandsInItsBinWithThePositiveExponentSign)
{
    const int n = 1024;
    std::vector<float> x(n + 4, 0.0f);
    for (int j = 0; j < n; ++j)
        x[j + 1] = static_cast<float>(std::sin(2 * M_PI * 10 * j / n));
    fft_real_on(x.data(), n / 2, 1);
    // sin = (e^{ia} - e^{-ia}) / 2i: with the positive exponent bin 10 holds +n/2 imaginary.
    EXPECT_NEAR(x[21], 0.0f, 0.01f);
    EXPECT_NEAR(x[22], n / 2.0f, 0.05f);
    EXPECT_NEAR(x[23], 0.0f, 0.01f);
}

class FftAllocation : public TestEnv
{
};

TEST_F(FftAllocation, ArraysComeAndGoAndFailuresReportTheirMessage)
{
    ASSERT_EQ(fft_allocate(4096, 5), 1);
    EXPECT_EQ(fft_size, 4096);
    ASSERT_NE(fft_data, nullptr);
    EXPECT_EQ(fft_data[4099], 0.0f);
    EXPECT_EQ(fft_magnitude, nullptr);
    ASSERT_EQ(fft_allocate(1024, kFftForSpectrumDisplay), 1);
    EXPECT_NE(fft_magnitude, nullptr);
    EXPECT_NE(fft_points, nullptr);
    fft_release();
    fft_release();
    EXPECT_EQ(fft_data, nullptr);
    fft_release();
}
