// Our packed real transform against FFTW's measured single-precision plan.
#include "filtrel/fft.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>
#include <random>
#include <vector>

namespace {

std::vector<float> block(int n)
{
    std::mt19937 gen(5);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> x(static_cast<size_t>(n) + 4);
    for (auto& v : x)
        v = d(gen);
    return x;
}

void BM_fft_real(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    auto x = block(n);
    for (auto _ : state) {
        fft_real_on(x.data(), n / 2, 1);
        benchmark::DoNotOptimize(x.data());
        fft_real_on(x.data(), n / 2, -1);
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_fft_real)->Arg(1024)->Arg(4096);

void BM_fftw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    float* in = fftwf_alloc_real(static_cast<size_t>(n));
    fftwf_complex* out = fftwf_alloc_complex(static_cast<size_t>(n / 2 + 1));
    fftwf_plan fwd = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    fftwf_plan inv = fftwf_plan_dft_c2r_1d(n, out, in, FFTW_MEASURE);
    auto x = block(n);
    for (int i = 0; i < n; ++i)
        in[i] = x[static_cast<size_t>(i)];
    for (auto _ : state) {
        fftwf_execute(fwd);
        benchmark::DoNotOptimize(out);
        fftwf_execute(inv);
        for (int i = 0; i < n; ++i) // the inverse is unscaled; keep values bounded
            in[i] *= 1.0f / n;
    }
    state.SetItemsProcessed(state.iterations() * 2);
    fftwf_destroy_plan(fwd);
    fftwf_destroy_plan(inv);
    fftwf_free(in);
    fftwf_free(out);
}
BENCHMARK(BM_fftw)->Arg(1024)->Arg(4096);

} // namespace

BENCHMARK_MAIN();
