// Throughput of the MS ADPCM block codec in memory, on a chord with noise in the blocks
// the suite writes (44.1 kHz: 2036 frames in 1024 bytes per channel).
#include "formats/msadpcm.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#include <vector>

namespace ms = kel::msadpcm;

namespace {

constexpr int kFrames = 2036;
constexpr int kBlocks = 217; // about ten seconds at 44.1 kHz

std::vector<int16_t> music(int channels)
{
    std::mt19937 rng(1);
    std::vector<int16_t> x(static_cast<size_t>(kFrames) * kBlocks * channels);
    for (size_t i = 0; i < x.size() / channels; ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        const double chord = std::sin(2 * M_PI * 261.63 * t) + std::sin(2 * M_PI * 329.63 * t) +
                             std::sin(2 * M_PI * 392.0 * t);
        for (int c = 0; c < channels; ++c)
            x[i * channels + c] = static_cast<int16_t>((c ? -6500 : 7000) * chord +
                                                       static_cast<int>(rng() % 2001) - 1000);
    }
    return x;
}

enum class Mode { Block, Run, Portable };

void encode(benchmark::State& state, Mode mode)
{
    const int channels = static_cast<int>(state.range(0));
    const std::vector<int16_t> x = music(channels);
    std::vector<uint8_t> out(ms::bytes_for_frames(kFrames, channels));
    std::vector<uint8_t> run(out.size() * kBlocks);
    for (auto _ : state) {
        if (mode == Mode::Run) {
            benchmark::DoNotOptimize(
                ms::encode_blocks(x.data(), kFrames * kBlocks, channels, kFrames, run.data()));
        } else {
            for (int b = 0; b < kBlocks; ++b) {
                const int16_t* block = x.data() + static_cast<size_t>(b) * kFrames * channels;
                benchmark::DoNotOptimize(
                    mode == Mode::Portable
                        ? ms::detail::encode_blocks_portable(block, kFrames, channels, kFrames,
                                                             out.data())
                        : ms::encode_block(block, kFrames, channels, out.data()));
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlocks * kFrames);
    state.SetBytesProcessed(state.iterations() * kBlocks * kFrames * channels * 2);
}

// One block per call, as the converter did; a run of blocks per call; the plain path.
void BM_Encode(benchmark::State& state)
{
    encode(state, Mode::Block);
}
void BM_EncodeRun(benchmark::State& state)
{
    encode(state, Mode::Run);
}
void BM_EncodePortable(benchmark::State& state)
{
    encode(state, Mode::Portable);
}

void BM_Decode(benchmark::State& state)
{
    const int channels = static_cast<int>(state.range(0));
    const std::vector<int16_t> x = music(channels);
    const size_t block_bytes = ms::bytes_for_frames(kFrames, channels);
    std::vector<uint8_t> coded(block_bytes * kBlocks);
    for (int b = 0; b < kBlocks; ++b)
        ms::encode_block(x.data() + static_cast<size_t>(b) * kFrames * channels, kFrames, channels,
                         coded.data() + b * block_bytes);
    std::vector<int16_t> out(static_cast<size_t>(kFrames) * channels);
    for (auto _ : state) {
        for (int b = 0; b < kBlocks; ++b)
            benchmark::DoNotOptimize(ms::decode_block(coded.data() + b * block_bytes, block_bytes,
                                                      channels, kFrames, out.data()));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlocks * kFrames);
    state.SetBytesProcessed(state.iterations() * kBlocks * kFrames * channels * 2);
}

} // namespace

BENCHMARK(BM_Encode)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeRun)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePortable)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
