// The AVX2 passes of the fast transform: four complex points per vector. Only the
// functions here are built for AVX2 (no header code is), and they run only where the
// processor has it. No fused multiply-add: each product is rounded before its sum, as in
// the plain passes, so the results are the same to the bit.
#include "filtrel/fft_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#define KEL_AVX2 __attribute__((target("avx2")))

namespace {

// t = w x with per-point twiddles (wr0, wi0, wr1, wi1, ...).
KEL_AVX2 inline __m256 cmul4(__m256 w, __m256 x)
{
    const __m256 xs = _mm256_permute_ps(x, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm256_addsub_ps(_mm256_mul_ps(_mm256_moveldup_ps(w), x),
                            _mm256_mul_ps(_mm256_movehdup_ps(w), xs));
}

struct Bc
{
    __m256 wr;
    __m256 wi;
};

KEL_AVX2 inline Bc broadcast(const float* w)
{
    return {_mm256_set1_ps(w[0]), _mm256_set1_ps(w[1])};
}

// The same with one twiddle for all four points.
KEL_AVX2 inline __m256 cmul4(const Bc& w, __m256 x)
{
    const __m256 xs = _mm256_permute_ps(x, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm256_addsub_ps(_mm256_mul_ps(w.wr, x), _mm256_mul_ps(w.wi, xs));
}

// Four groups side by side (lane j of each vector is group j): the four vectors r0 .. r3,
// transposed as 4 x 4 complex points, give each group its points 0 .. 3.
KEL_AVX2 inline void store_groups(float* const* out, int offset, __m256 r0, __m256 r1, __m256 r2,
                                  __m256 r3)
{
    const __m256d t0 = _mm256_unpacklo_pd(_mm256_castps_pd(r0), _mm256_castps_pd(r1));
    const __m256d t1 = _mm256_unpackhi_pd(_mm256_castps_pd(r0), _mm256_castps_pd(r1));
    const __m256d t2 = _mm256_unpacklo_pd(_mm256_castps_pd(r2), _mm256_castps_pd(r3));
    const __m256d t3 = _mm256_unpackhi_pd(_mm256_castps_pd(r2), _mm256_castps_pd(r3));
    _mm256_storeu_ps(out[0] + offset, _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x20)));
    _mm256_storeu_ps(out[1] + offset, _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x20)));
    _mm256_storeu_ps(out[2] + offset, _mm256_castpd_ps(_mm256_permute2f128_pd(t0, t2, 0x31)));
    _mm256_storeu_ps(out[3] + offset, _mm256_castpd_ps(_mm256_permute2f128_pd(t1, t3, 0x31)));
}

KEL_AVX2 void first2_avx2(const float* src, float* dst, int n, const int* group_rev,
                          const float* tw2)
{
    const int q = n / 4;
    const Bc w0 = broadcast(tw2), w1 = broadcast(tw2 + 2);
    for (int r = 0; r < q; r += 4) {
        const __m256 a = _mm256_loadu_ps(src + 2 * r);
        const __m256 b = _mm256_loadu_ps(src + 2 * (2 * q + r));
        const __m256 c = _mm256_loadu_ps(src + 2 * (q + r));
        const __m256 d = _mm256_loadu_ps(src + 2 * (3 * q + r));
        // Pass 1 has the twiddle (1, 0) only.
        const __m256 a1 = _mm256_add_ps(a, b), b1 = _mm256_sub_ps(a, b);
        const __m256 c1 = _mm256_add_ps(c, d), d1 = _mm256_sub_ps(c, d);
        const __m256 t0 = cmul4(w0, c1), t1 = cmul4(w1, d1);
        float* const out[4] = {dst + 8 * group_rev[r], dst + 8 * group_rev[r + 1],
                               dst + 8 * group_rev[r + 2], dst + 8 * group_rev[r + 3]};
        store_groups(out, 0, _mm256_add_ps(a1, t0), _mm256_add_ps(b1, t1), _mm256_sub_ps(a1, t0),
                     _mm256_sub_ps(b1, t1));
    }
}

KEL_AVX2 void first3_avx2(const float* src, float* dst, int n, const int* group_rev,
                          const float* tw2, const float* tw3)
{
    const int q = n / 8;
    const Bc u0 = broadcast(tw2), u1 = broadcast(tw2 + 2);
    const Bc w0 = broadcast(tw3), w1 = broadcast(tw3 + 2), w2 = broadcast(tw3 + 4),
             w3 = broadcast(tw3 + 6);
    // Point i of a group comes from the eighth of the input its bits reversed name.
    const float* s0 = src;
    const float* s1 = src + 2 * (4 * q);
    const float* s2 = src + 2 * (2 * q);
    const float* s3 = src + 2 * (6 * q);
    const float* s4 = src + 2 * q;
    const float* s5 = src + 2 * (5 * q);
    const float* s6 = src + 2 * (3 * q);
    const float* s7 = src + 2 * (7 * q);
    for (int r = 0; r < q; r += 4) {
        const int o = 2 * r;
        // Pass 1: the twiddle (1, 0) only.
        const __m256 x0 = _mm256_loadu_ps(s0 + o), x1 = _mm256_loadu_ps(s1 + o);
        const __m256 x2 = _mm256_loadu_ps(s2 + o), x3 = _mm256_loadu_ps(s3 + o);
        const __m256 x4 = _mm256_loadu_ps(s4 + o), x5 = _mm256_loadu_ps(s5 + o);
        const __m256 x6 = _mm256_loadu_ps(s6 + o), x7 = _mm256_loadu_ps(s7 + o);
        const __m256 a0 = _mm256_add_ps(x0, x1), a1 = _mm256_sub_ps(x0, x1);
        const __m256 a2 = _mm256_add_ps(x2, x3), a3 = _mm256_sub_ps(x2, x3);
        const __m256 a4 = _mm256_add_ps(x4, x5), a5 = _mm256_sub_ps(x4, x5);
        const __m256 a6 = _mm256_add_ps(x6, x7), a7 = _mm256_sub_ps(x6, x7);
        // Pass 2.
        __m256 t = cmul4(u0, a2);
        const __m256 b0 = _mm256_add_ps(a0, t), b2 = _mm256_sub_ps(a0, t);
        t = cmul4(u1, a3);
        const __m256 b1 = _mm256_add_ps(a1, t), b3 = _mm256_sub_ps(a1, t);
        t = cmul4(u0, a6);
        const __m256 b4 = _mm256_add_ps(a4, t), b6 = _mm256_sub_ps(a4, t);
        t = cmul4(u1, a7);
        const __m256 b5 = _mm256_add_ps(a5, t), b7 = _mm256_sub_ps(a5, t);
        // Pass 3.
        float* const out[4] = {dst + 16 * group_rev[r], dst + 16 * group_rev[r + 1],
                               dst + 16 * group_rev[r + 2], dst + 16 * group_rev[r + 3]};
        const __m256 t0 = cmul4(w0, b4), t1 = cmul4(w1, b5);
        const __m256 t2 = cmul4(w2, b6), t3 = cmul4(w3, b7);
        store_groups(out, 0, _mm256_add_ps(b0, t0), _mm256_add_ps(b1, t1), _mm256_add_ps(b2, t2),
                     _mm256_add_ps(b3, t3));
        store_groups(out, 8, _mm256_sub_ps(b0, t0), _mm256_sub_ps(b1, t1), _mm256_sub_ps(b2, t2),
                     _mm256_sub_ps(b3, t3));
    }
}

template <bool Scale>
KEL_AVX2 void fused_avx2_t(const float* src, float* dst, int n, int h, const float* tw, float scale)
{
    const __m256 s = _mm256_set1_ps(scale);
    const int hf = 2 * h; // floats between the four points of a butterfly
    for (int base = 0; base < n; base += 4 * h) {
        const float* w = tw;
        const float* in = src + 2 * base;
        float* out = dst + 2 * base;
        for (int k0 = 0; k0 < h; k0 += 4, w += 24, in += 8, out += 8) {
            const __m256 wa = _mm256_loadu_ps(w), wb = _mm256_loadu_ps(w + 8);
            const __m256 wc = _mm256_loadu_ps(w + 16);
            const __m256 a = _mm256_loadu_ps(in), b = _mm256_loadu_ps(in + hf);
            const __m256 c = _mm256_loadu_ps(in + 2 * hf), d = _mm256_loadu_ps(in + 3 * hf);
            __m256 t = cmul4(wa, b);
            const __m256 a1 = _mm256_add_ps(a, t), b1 = _mm256_sub_ps(a, t);
            t = cmul4(wa, d);
            const __m256 c1 = _mm256_add_ps(c, t), d1 = _mm256_sub_ps(c, t);
            t = cmul4(wb, c1);
            __m256 a2 = _mm256_add_ps(a1, t), c2 = _mm256_sub_ps(a1, t);
            t = cmul4(wc, d1);
            __m256 b2 = _mm256_add_ps(b1, t), d2 = _mm256_sub_ps(b1, t);
            if constexpr (Scale) {
                a2 = _mm256_mul_ps(a2, s);
                b2 = _mm256_mul_ps(b2, s);
                c2 = _mm256_mul_ps(c2, s);
                d2 = _mm256_mul_ps(d2, s);
            }
            _mm256_storeu_ps(out, a2);
            _mm256_storeu_ps(out + hf, b2);
            _mm256_storeu_ps(out + 2 * hf, c2);
            _mm256_storeu_ps(out + 3 * hf, d2);
        }
    }
}

KEL_AVX2 void fused_avx2(const float* src, float* dst, int n, int h, const float* tw, float scale)
{
    if (scale != 1.0f)
        fused_avx2_t<true>(src, dst, n, h, tw, scale);
    else
        fused_avx2_t<false>(src, dst, n, h, tw, scale);
}

KEL_AVX2 void real_pass_avx2(float* x, int n, const float* twr, const float* twi, float c1,
                             float c2)
{
    const int np3 = 2 * n + 3;
    int i = 2;
    const __m256 vc1 = _mm256_set1_ps(c1), vc2 = _mm256_set1_ps(c2), vmc2 = _mm256_set1_ps(-c2);
    // Eight pairs at a time, held in the order 0 1 4 5 2 3 6 7 that the in-lane shuffles
    // give; the twiddles are put in the same order.
    for (; i + 7 <= n / 2; i += 8) {
        float* lo = x + (2 * i - 1);        // re, im of i .. i+7
        float* hi = x + (np3 - 2 * i - 14); // re, im of the mirrors of i+7 .. i
        const __m256 l0 = _mm256_loadu_ps(lo), l1 = _mm256_loadu_ps(lo + 8);
        // Mirrors with their halves exchanged: (m5 m4 | m7 m6) and (m1 m0 | m3 m2).
        const __m256 h0 = _mm256_permute2f128_ps(_mm256_loadu_ps(hi), _mm256_loadu_ps(hi), 0x01);
        const __m256 h1 =
            _mm256_permute2f128_ps(_mm256_loadu_ps(hi + 8), _mm256_loadu_ps(hi + 8), 0x01);
        const __m256 ar = _mm256_shuffle_ps(l0, l1, _MM_SHUFFLE(2, 0, 2, 0));
        const __m256 ai = _mm256_shuffle_ps(l0, l1, _MM_SHUFFLE(3, 1, 3, 1));
        const __m256 br = _mm256_shuffle_ps(h1, h0, _MM_SHUFFLE(0, 2, 0, 2));
        const __m256 bi = _mm256_shuffle_ps(h1, h0, _MM_SHUFFLE(1, 3, 1, 3));
        const __m256 wr = _mm256_castpd_ps(_mm256_permute4x64_pd(
            _mm256_castps_pd(_mm256_loadu_ps(twr + (i - 2))), _MM_SHUFFLE(3, 1, 2, 0)));
        const __m256 wi = _mm256_castpd_ps(_mm256_permute4x64_pd(
            _mm256_castps_pd(_mm256_loadu_ps(twi + (i - 2))), _MM_SHUFFLE(3, 1, 2, 0)));
        const __m256 h1r = _mm256_mul_ps(vc1, _mm256_add_ps(ar, br));
        const __m256 h1i = _mm256_mul_ps(vc1, _mm256_sub_ps(ai, bi));
        const __m256 h2r = _mm256_mul_ps(vmc2, _mm256_add_ps(ai, bi));
        const __m256 h2i = _mm256_mul_ps(vc2, _mm256_sub_ps(ar, br));
        const __m256 wr_h2r = _mm256_mul_ps(wr, h2r), wi_h2i = _mm256_mul_ps(wi, h2i);
        const __m256 wr_h2i = _mm256_mul_ps(wr, h2i), wi_h2r = _mm256_mul_ps(wi, h2r);
        const __m256 o1 = _mm256_sub_ps(_mm256_add_ps(h1r, wr_h2r), wi_h2i);
        const __m256 o2 = _mm256_add_ps(_mm256_add_ps(h1i, wr_h2i), wi_h2r);
        const __m256 o3 = _mm256_add_ps(_mm256_sub_ps(h1r, wr_h2r), wi_h2i);
        const __m256 o4 =
            _mm256_add_ps(_mm256_add_ps(_mm256_sub_ps(_mm256_setzero_ps(), h1i), wr_h2i), wi_h2r);
        // Interleaving undoes the order: (0 1 | 2 3) and (4 5 | 6 7).
        _mm256_storeu_ps(lo, _mm256_unpacklo_ps(o1, o2));
        _mm256_storeu_ps(lo + 8, _mm256_unpackhi_ps(o1, o2));
        // The mirrors go back in descending order.
        const __m256d m_lo = _mm256_castps_pd(_mm256_unpacklo_ps(o3, o4)); // 0 1 | 2 3
        const __m256d m_hi = _mm256_castps_pd(_mm256_unpackhi_ps(o3, o4)); // 4 5 | 6 7
        _mm256_storeu_ps(hi,
                         _mm256_castpd_ps(_mm256_permute4x64_pd(m_hi, _MM_SHUFFLE(0, 1, 2, 3))));
        _mm256_storeu_ps(hi + 8,
                         _mm256_castpd_ps(_mm256_permute4x64_pd(m_lo, _MM_SHUFFLE(0, 1, 2, 3))));
    }
    for (; i <= n / 2; ++i) {
        const int i1 = i + i - 1;
        const int i2 = i1 + 1;
        const int i3 = np3 - i2;
        const int i4 = i3 + 1;
        const float wr = twr[i - 2], wi = twi[i - 2];
        const float h1r = c1 * (x[i1] + x[i3]);
        const float h1i = c1 * (x[i2] - x[i4]);
        const float h2r = -c2 * (x[i2] + x[i4]);
        const float h2i = c2 * (x[i1] - x[i3]);
        x[i1] = h1r + wr * h2r - wi * h2i;
        x[i2] = h1i + wr * h2i + wi * h2r;
        x[i3] = h1r - wr * h2r + wi * h2i;
        x[i4] = -h1i + wr * h2i + wi * h2r;
    }
}

} // namespace

const FftKernels& fft_kernels_avx2()
{
    static const FftKernels k{first2_avx2, first3_avx2, fused_avx2, real_pass_avx2};
    return k;
}

#endif
