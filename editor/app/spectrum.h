#pragma once
// The main frame's 16-band spectrum indicator: bar values from the FFT of one block.
#include <array>
#include <vector>

namespace app {

inline constexpr int kSpectrumBars = 16;
// A bar value of 33 is an empty bar; smaller values are taller bars.
inline constexpr int kSpectrumEmpty = 33;

// The block that command 170 shows: playback fills it, then sends 170 to the frame.
extern std::vector<float> g_spectrum_block;

// In-place radix-2 FFT of n complex values (interleaved re, im); n a power of two.
void fft_in_place(float* data, int n_complex);

// Bars of a block of n samples (n even, at least 34): the samples are transformed as
// n/2 complex points; M is the largest magnitude of all n values; bar k is
// 28 - trunc(|value[2 + 2k]| * 33 / M). All empty when the block is silent or too short.
std::array<int, kSpectrumBars> spectrum_bars(const std::vector<float>& samples);

} // namespace app
