#include "filtrel/fft.h"
#include "filtrel/fft_paths.h"
#include "tests/support/test_env.h"

#include <cmath>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
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

void PrintTo(FftPath path, std::ostream* os)
{
    *os << fft_path_name(path);
}

// Every size on every code path: the naive DFT as the reference, the round trip, and the
// classic radix-2 loop's bits (the filters' outputs must not depend on the processor).
class FftPaths : public ::testing::TestWithParam<std::tuple<int, FftPath>>
{
  protected:
    void SetUp() override
    {
        if (!fft_path_available(std::get<1>(GetParam())))
            GTEST_SKIP() << "this processor lacks " << fft_path_name(std::get<1>(GetParam()));
    }
    void TearDown() override { fft_use_best_path(); }

    static std::vector<float> run(FftPath path, std::vector<float> x, int n, int direction)
    {
        EXPECT_TRUE(fft_use_path(path));
        fft_real_on(x.data(), n / 2, direction);
        return x;
    }
};

TEST_P(FftPaths, MatchesTheDftTheRoundTripAndTheClassicLoop)
{
    const auto [n, path] = GetParam();
    auto x = random_block(n, 2);
    // Sentinels around the data: element 0 and the 3 spare elements are never written.
    x[0] = x[static_cast<size_t>(n) + 1] = x[static_cast<size_t>(n) + 3] = 7.0f;
    std::vector<double> in(x.begin() + 1, x.begin() + 1 + n);
    const auto spectrum = run(path, x, n, 1);

    // The DFT with the positive exponent, exact angles from a table of j k mod n.
    std::vector<double> c(static_cast<size_t>(n)), s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        c[static_cast<size_t>(i)] = std::cos(2 * M_PI * i / n);
        s[static_cast<size_t>(i)] = std::sin(2 * M_PI * i / n);
    }
    const double scale = rms(spectrum, n) + 1;
    double worst = 0;
    for (int k = 0; k <= n / 2; ++k) {
        double re = 0, im = 0;
        for (int j = 0; j < n; ++j) {
            const size_t a = static_cast<size_t>((static_cast<long>(j) * k) % n);
            re += in[static_cast<size_t>(j)] * c[a];
            im += in[static_cast<size_t>(j)] * s[a];
        }
        double got_re, got_im = 0;
        if (k == 0) {
            got_re = spectrum[1];
        } else if (k == n / 2) {
            got_re = spectrum[2];
        } else {
            got_re = spectrum[static_cast<size_t>(2 * k + 1)];
            got_im = spectrum[static_cast<size_t>(2 * k + 2)];
        }
        worst = std::max({worst, std::fabs(got_re - re), std::fabs(got_im - im)});
    }
    EXPECT_LT(worst / scale, 1e-5);

    const auto back = run(path, spectrum, n, -1);
    double drift = 0;
    for (int i = 1; i <= n; ++i)
        drift = std::max(drift, std::fabs(double(back[static_cast<size_t>(i)]) - x[i]));
    // Single precision over log2(N) passes: a few ulps of the signal's scale.
    EXPECT_LT(drift, 32767.0 * 1e-5);
    for (size_t i : {size_t{0}, static_cast<size_t>(n) + 1, static_cast<size_t>(n) + 3}) {
        EXPECT_EQ(spectrum[i], 7.0f) << "element " << i;
        EXPECT_EQ(back[i], 7.0f) << "element " << i;
    }

    const auto classic = run(FftPath::Radix2, x, n, 1);
    const auto classic_back = run(FftPath::Radix2, classic, n, -1);
    int differ = 0;
    for (int i = 1; i <= n; ++i)
        differ += spectrum[static_cast<size_t>(i)] != classic[static_cast<size_t>(i)] ||
                  back[static_cast<size_t>(i)] != classic_back[static_cast<size_t>(i)];
    EXPECT_EQ(differ, 0) << "elements that differ from the classic loop's";
}

INSTANTIATE_TEST_SUITE_P(SizesAndPaths, FftPaths,
                         ::testing::Combine(::testing::Values(4, 8, 16, 32, 64, 128, 256, 512, 1024,
                                                              4096, 8192),
                                            ::testing::Values(FftPath::Radix2, FftPath::Plain,
                                                              FftPath::Sse2, FftPath::Avx2)),
                         [](const auto& info) {
                             std::string name = fft_path_name(std::get<1>(info.param));
                             std::erase(name, '-');
                             return name + "_" + std::to_string(std::get<0>(info.param));
                         });

TEST(Fft, SizesWithoutARadix2TransformLeaveTheArrayAlone)
{
    std::vector<float> x = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const auto before = x;
    fft_real_on(x.data(), 6, 1);
    fft_complex_on(x.data(), 3, -1);
    fft_complex_on(x.data(), 0, 1);
    EXPECT_EQ(x, before);
}

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
