// Our packed real transform against FFTW's measured single-precision plan: one forward and
// one inverse per iteration on each side. Ours works in place and scales the inverse; FFTW
// goes out of place and leaves its inverse unscaled, so its side does no more than ours.
#include "filtrel/fft.h"
#include "filtrel/fft_paths.h"

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

void run_ours(benchmark::State& state, FftPath path)
{
    const int n = static_cast<int>(state.range(0));
    if (!fft_use_path(path)) {
        state.SkipWithError("this processor lacks the path");
        return;
    }
    auto x = block(n);
    for (auto _ : state) {
        fft_real_on(x.data(), n / 2, 1);
        benchmark::DoNotOptimize(x.data());
        fft_real_on(x.data(), n / 2, -1);
        benchmark::ClobberMemory();
    }
    state.SetLabel(fft_path_name(path));
    fft_use_best_path();
}

// The path the processor gets, and each fast path by itself.
void BM_fft_real(benchmark::State& state)
{
    fft_use_best_path();
    run_ours(state, fft_path());
}
void BM_fft_real_sse2(benchmark::State& state)
{
    run_ours(state, FftPath::Sse2);
}
void BM_fft_real_plain(benchmark::State& state)
{
    run_ours(state, FftPath::Plain);
}
BENCHMARK(BM_fft_real)->Arg(1024)->Arg(4096);
BENCHMARK(BM_fft_real_sse2)->Arg(1024)->Arg(4096);
BENCHMARK(BM_fft_real_plain)->Arg(1024)->Arg(4096);

void BM_fftw(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    float* in = fftwf_alloc_real(static_cast<size_t>(n));
    float* back = fftwf_alloc_real(static_cast<size_t>(n));
    fftwf_complex* out = fftwf_alloc_complex(static_cast<size_t>(n / 2 + 1));
    fftwf_plan fwd = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    fftwf_plan inv = fftwf_plan_dft_c2r_1d(n, out, back, FFTW_MEASURE);
    auto x = block(n);
    for (int i = 0; i < n; ++i) // after planning, which overwrites the arrays
        in[i] = x[static_cast<size_t>(i)];
    for (auto _ : state) {
        fftwf_execute(fwd);
        benchmark::DoNotOptimize(out);
        fftwf_execute(inv);
        benchmark::DoNotOptimize(back);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(fwd);
    fftwf_destroy_plan(inv);
    fftwf_free(in);
    fftwf_free(back);
    fftwf_free(out);
}
BENCHMARK(BM_fftw)->Arg(1024)->Arg(4096);

} // namespace

BENCHMARK_MAIN();
