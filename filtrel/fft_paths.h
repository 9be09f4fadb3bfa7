#pragma once
// Which code runs the transform. The best the processor has is chosen at start; tests and
// benchmarks may force another to compare them. Every path gives the same results.

enum class FftPath {
    Radix2, // the classic in-place loop, one pass per span
    Plain,  // fused passes in portable code
    Sse2,
    Avx2,
};

bool fft_path_available(FftPath path);
FftPath fft_path();
// False (and nothing changes) when the processor lacks the path.
bool fft_use_path(FftPath path);
void fft_use_best_path();
const char* fft_path_name(FftPath path);
