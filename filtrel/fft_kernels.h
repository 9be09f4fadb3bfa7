#pragma once
// The passes of the fast transform, one set per instruction set. Arrays here are 0-based
// interleaved complex (re, im); n is the number of complex points, a power of two >= 16.
// Every set does the same multiplications and additions in the same order on the same
// twiddle values, so all of them give the results of the plain radix-2 passes.
//
// Twiddles are (wr, wi) float pairs taken from the per-pass recurrence tables.
// - first2 / first3: bit reversal fused with the first two or three radix-2 passes.
//   src and dst must not overlap. group_rev[m] is m bit-reversed over log2(n) - 2 (or 3)
//   bits; tw2 holds the 2 twiddles of pass 2, tw3 the 4 of pass 3.
// - fused: two radix-2 passes of half spans h and 2h (h >= 4) as one radix-4 pass. The
//   table holds, for each run of four butterflies k .. k+3, the pass-one twiddles of k,
//   then the pass-two twiddles of k and of k + h: 24 floats in the order they are read.
//   src may equal dst. With scale != 1 every output is multiplied by it (the inverse's 1/n).
// - real_pass: the packed real transform's pairing of i = 2 .. n/2 with its mirror, on
//   the 1-based array x, wr[i - 2], wi[i - 2] its twiddles.

struct FftKernels
{
    void (*first2)(const float* src, float* dst, int n, const int* group_rev, const float* tw2);
    void (*first3)(const float* src, float* dst, int n, const int* group_rev, const float* tw2,
                   const float* tw3);
    void (*fused)(const float* src, float* dst, int n, int h, const float* tw, float scale);
    void (*real_pass)(float* x, int n, const float* wr, const float* wi, float c1, float c2);
};

const FftKernels& fft_kernels_plain();
#if defined(__x86_64__) || defined(__i386__)
const FftKernels& fft_kernels_sse2();
const FftKernels& fft_kernels_avx2();
#endif
