// The plain and SSE2 passes of the fast transform. Complex products are always
// (wr xr - wi xi, wr xi + wi xr), each product rounded before the sum, the butterfly
// b = a - t, a = a + t: the same arithmetic as the classic radix-2 loop.
#include "filtrel/fft_kernels.h"

#include <cstdint>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

struct Cx
{
    float r;
    float i;
};

inline Cx load(const float* p)
{
    return {p[0], p[1]};
}
inline void store(float* p, Cx v)
{
    p[0] = v.r;
    p[1] = v.i;
}
inline Cx add(Cx a, Cx b)
{
    return {a.r + b.r, a.i + b.i};
}
inline Cx sub(Cx a, Cx b)
{
    return {a.r - b.r, a.i - b.i};
}
inline Cx mul(const float* w, Cx x)
{
    return {w[0] * x.r - w[1] * x.i, w[0] * x.i + w[1] * x.r};
}
inline Cx scaled(Cx v, float s)
{
    return {v.r * s, v.i * s};
}

void first2_plain(const float* src, float* dst, int n, const int* group_rev, const float* tw2)
{
    const int q = n / 4;
    for (int r = 0; r < q; ++r) {
        const Cx a = load(src + 2 * r), b = load(src + 2 * (2 * q + r));
        const Cx c = load(src + 2 * (q + r)), d = load(src + 2 * (3 * q + r));
        // Pass 1 has the twiddle (1, 0) only.
        const Cx a1 = add(a, b), b1 = sub(a, b), c1 = add(c, d), d1 = sub(c, d);
        const Cx t0 = mul(tw2, c1), t1 = mul(tw2 + 2, d1);
        float* o = dst + 8 * group_rev[r];
        store(o, add(a1, t0));
        store(o + 2, add(b1, t1));
        store(o + 4, sub(a1, t0));
        store(o + 6, sub(b1, t1));
    }
}

void first3_plain(const float* src, float* dst, int n, const int* group_rev, const float* tw2,
                  const float* tw3)
{
    static constexpr int kRev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    const int q = n / 8;
    for (int r = 0; r < q; ++r) {
        Cx v[8];
        for (int i = 0; i < 8; ++i)
            v[i] = load(src + 2 * (kRev3[i] * q + r));
        for (int i = 0; i < 8; i += 2) {
            const Cx a = v[i], b = v[i + 1];
            v[i] = add(a, b);
            v[i + 1] = sub(a, b);
        }
        for (int i = 0; i < 8; i += 4) {
            for (int k = 0; k < 2; ++k) {
                const Cx t = mul(tw2 + 2 * k, v[i + k + 2]);
                v[i + k + 2] = sub(v[i + k], t);
                v[i + k] = add(v[i + k], t);
            }
        }
        for (int k = 0; k < 4; ++k) {
            const Cx t = mul(tw3 + 2 * k, v[k + 4]);
            v[k + 4] = sub(v[k], t);
            v[k] = add(v[k], t);
        }
        float* o = dst + 16 * group_rev[r];
        for (int i = 0; i < 8; ++i)
            store(o + 2 * i, v[i]);
    }
}

void fused_plain(const float* src, float* dst, int n, int h, const float* tw, float scale)
{
    for (int base = 0; base < n; base += 4 * h) {
        const float* w = tw;
        for (int k0 = 0; k0 < h; k0 += 4, w += 24) {
            for (int j = 0; j < 4; ++j) {
                const int k = base + k0 + j;
                const Cx a = load(src + 2 * k), b = load(src + 2 * (k + h));
                const Cx c = load(src + 2 * (k + 2 * h)), d = load(src + 2 * (k + 3 * h));
                Cx t = mul(w + 2 * j, b);
                const Cx a1 = add(a, t), b1 = sub(a, t);
                t = mul(w + 2 * j, d);
                const Cx c1 = add(c, t), d1 = sub(c, t);
                t = mul(w + 8 + 2 * j, c1);
                Cx a2 = add(a1, t), c2 = sub(a1, t);
                t = mul(w + 16 + 2 * j, d1);
                Cx b2 = add(b1, t), d2 = sub(b1, t);
                if (scale != 1.0f) {
                    a2 = scaled(a2, scale);
                    b2 = scaled(b2, scale);
                    c2 = scaled(c2, scale);
                    d2 = scaled(d2, scale);
                }
                store(dst + 2 * k, a2);
                store(dst + 2 * (k + h), b2);
                store(dst + 2 * (k + 2 * h), c2);
                store(dst + 2 * (k + 3 * h), d2);
            }
        }
    }
}

// One pair i, mirror of the packed real transform.
inline void real_pair(float* x, int np3, int i, float wr, float wi, float c1, float c2)
{
    const int i1 = i + i - 1;
    const int i2 = i1 + 1;
    const int i3 = np3 - i2;
    const int i4 = i3 + 1;
    const float h1r = c1 * (x[i1] + x[i3]);
    const float h1i = c1 * (x[i2] - x[i4]);
    const float h2r = -c2 * (x[i2] + x[i4]);
    const float h2i = c2 * (x[i1] - x[i3]);
    x[i1] = h1r + wr * h2r - wi * h2i;
    x[i2] = h1i + wr * h2i + wi * h2r;
    x[i3] = h1r - wr * h2r + wi * h2i;
    x[i4] = -h1i + wr * h2i + wi * h2r;
}

void real_pass_plain(float* x, int n, const float* wr, const float* wi, float c1, float c2)
{
    for (int i = 2; i <= n / 2; ++i)
        real_pair(x, 2 * n + 3, i, wr[i - 2], wi[i - 2], c1, c2);
}

#if defined(__x86_64__) || defined(__i386__)

// Two complex points per vector. t = w x with per-lane twiddles (wr0, wi0, wr1, wi1).
inline __m128 cmul2(__m128 w, __m128 x)
{
    const __m128 wr = _mm_shuffle_ps(w, w, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128 wi = _mm_shuffle_ps(w, w, _MM_SHUFFLE(3, 3, 1, 1));
    const __m128 xs = _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 3, 0, 1));
    const __m128 neg_even = _mm_castsi128_ps(_mm_set_epi32(0, INT32_MIN, 0, INT32_MIN));
    return _mm_add_ps(_mm_mul_ps(wr, x), _mm_xor_ps(_mm_mul_ps(wi, xs), neg_even));
}

// The same with one twiddle for both lanes, given as (wr, wr, wr, wr) and (-wi, wi, -wi, wi).
inline __m128 cmul2_bc(__m128 wr, __m128 wi_signed, __m128 x)
{
    const __m128 xs = _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_add_ps(_mm_mul_ps(wr, x), _mm_mul_ps(wi_signed, xs));
}

struct Bc
{
    __m128 wr;
    __m128 wi;
};
inline Bc broadcast(const float* w)
{
    return {_mm_set1_ps(w[0]), _mm_set_ps(w[1], -w[1], w[1], -w[1])};
}
inline __m128 cmul2(Bc w, __m128 x)
{
    return cmul2_bc(w.wr, w.wi, x);
}

// Two groups side by side: lane j of every vector belongs to group j. The group's own
// points come out by exchanging the lanes of vector pairs.
inline void store_groups(float* o0, float* o1, __m128 a, __m128 b)
{
    _mm_storeu_ps(o0, _mm_movelh_ps(a, b));
    _mm_storeu_ps(o1, _mm_movehl_ps(b, a));
}

void first2_sse2(const float* src, float* dst, int n, const int* group_rev, const float* tw2)
{
    const int q = n / 4;
    const Bc w0 = broadcast(tw2), w1 = broadcast(tw2 + 2);
    for (int r = 0; r < q; r += 2) {
        const __m128 a = _mm_loadu_ps(src + 2 * r), b = _mm_loadu_ps(src + 2 * (2 * q + r));
        const __m128 c = _mm_loadu_ps(src + 2 * (q + r)), d = _mm_loadu_ps(src + 2 * (3 * q + r));
        const __m128 a1 = _mm_add_ps(a, b), b1 = _mm_sub_ps(a, b);
        const __m128 c1 = _mm_add_ps(c, d), d1 = _mm_sub_ps(c, d);
        const __m128 t0 = cmul2(w0, c1), t1 = cmul2(w1, d1);
        const __m128 o0 = _mm_add_ps(a1, t0), o1 = _mm_add_ps(b1, t1);
        const __m128 o2 = _mm_sub_ps(a1, t0), o3 = _mm_sub_ps(b1, t1);
        float* g0 = dst + 8 * group_rev[r];
        float* g1 = dst + 8 * group_rev[r + 1];
        store_groups(g0, g1, o0, o1);
        store_groups(g0 + 4, g1 + 4, o2, o3);
    }
}

void first3_sse2(const float* src, float* dst, int n, const int* group_rev, const float* tw2,
                 const float* tw3)
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
    for (int r = 0; r < q; r += 2) {
        const int o = 2 * r;
        // Pass 1: the twiddle (1, 0) only.
        const __m128 x0 = _mm_loadu_ps(s0 + o), x1 = _mm_loadu_ps(s1 + o);
        const __m128 x2 = _mm_loadu_ps(s2 + o), x3 = _mm_loadu_ps(s3 + o);
        const __m128 x4 = _mm_loadu_ps(s4 + o), x5 = _mm_loadu_ps(s5 + o);
        const __m128 x6 = _mm_loadu_ps(s6 + o), x7 = _mm_loadu_ps(s7 + o);
        const __m128 a0 = _mm_add_ps(x0, x1), a1 = _mm_sub_ps(x0, x1);
        const __m128 a2 = _mm_add_ps(x2, x3), a3 = _mm_sub_ps(x2, x3);
        const __m128 a4 = _mm_add_ps(x4, x5), a5 = _mm_sub_ps(x4, x5);
        const __m128 a6 = _mm_add_ps(x6, x7), a7 = _mm_sub_ps(x6, x7);
        // Pass 2.
        __m128 t = cmul2(u0, a2);
        const __m128 b0 = _mm_add_ps(a0, t), b2 = _mm_sub_ps(a0, t);
        t = cmul2(u1, a3);
        const __m128 b1 = _mm_add_ps(a1, t), b3 = _mm_sub_ps(a1, t);
        t = cmul2(u0, a6);
        const __m128 b4 = _mm_add_ps(a4, t), b6 = _mm_sub_ps(a4, t);
        t = cmul2(u1, a7);
        const __m128 b5 = _mm_add_ps(a5, t), b7 = _mm_sub_ps(a5, t);
        // Pass 3.
        const __m128 t0 = cmul2(w0, b4), t1 = cmul2(w1, b5);
        const __m128 t2 = cmul2(w2, b6), t3 = cmul2(w3, b7);
        float* g0 = dst + 16 * group_rev[r];
        float* g1 = dst + 16 * group_rev[r + 1];
        store_groups(g0, g1, _mm_add_ps(b0, t0), _mm_add_ps(b1, t1));
        store_groups(g0 + 4, g1 + 4, _mm_add_ps(b2, t2), _mm_add_ps(b3, t3));
        store_groups(g0 + 8, g1 + 8, _mm_sub_ps(b0, t0), _mm_sub_ps(b1, t1));
        store_groups(g0 + 12, g1 + 12, _mm_sub_ps(b2, t2), _mm_sub_ps(b3, t3));
    }
}

template <bool Scale>
void fused_sse2_t(const float* src, float* dst, int n, int h, const float* tw, float scale)
{
    const __m128 s = _mm_set1_ps(scale);
    const int hf = 2 * h; // floats between the four points of a butterfly
    for (int base = 0; base < n; base += 4 * h) {
        const float* w = tw;
        const float* in = src + 2 * base;
        float* out = dst + 2 * base;
        for (int k0 = 0; k0 < h; k0 += 4, w += 24, in += 8, out += 8) {
            for (int j = 0; j < 8; j += 4) {
                const __m128 wa = _mm_loadu_ps(w + j), wb = _mm_loadu_ps(w + 8 + j);
                const __m128 wc = _mm_loadu_ps(w + 16 + j);
                const __m128 a = _mm_loadu_ps(in + j), b = _mm_loadu_ps(in + hf + j);
                const __m128 c = _mm_loadu_ps(in + 2 * hf + j);
                const __m128 d = _mm_loadu_ps(in + 3 * hf + j);
                __m128 t = cmul2(wa, b);
                const __m128 a1 = _mm_add_ps(a, t), b1 = _mm_sub_ps(a, t);
                t = cmul2(wa, d);
                const __m128 c1 = _mm_add_ps(c, t), d1 = _mm_sub_ps(c, t);
                t = cmul2(wb, c1);
                __m128 a2 = _mm_add_ps(a1, t), c2 = _mm_sub_ps(a1, t);
                t = cmul2(wc, d1);
                __m128 b2 = _mm_add_ps(b1, t), d2 = _mm_sub_ps(b1, t);
                if constexpr (Scale) {
                    a2 = _mm_mul_ps(a2, s);
                    b2 = _mm_mul_ps(b2, s);
                    c2 = _mm_mul_ps(c2, s);
                    d2 = _mm_mul_ps(d2, s);
                }
                _mm_storeu_ps(out + j, a2);
                _mm_storeu_ps(out + hf + j, b2);
                _mm_storeu_ps(out + 2 * hf + j, c2);
                _mm_storeu_ps(out + 3 * hf + j, d2);
            }
        }
    }
}

void fused_sse2(const float* src, float* dst, int n, int h, const float* tw, float scale)
{
    if (scale != 1.0f)
        fused_sse2_t<true>(src, dst, n, h, tw, scale);
    else
        fused_sse2_t<false>(src, dst, n, h, tw, scale);
}

void real_pass_sse2(float* x, int n, const float* twr, const float* twi, float c1, float c2)
{
    const int np3 = 2 * n + 3;
    int i = 2;
    // Four pairs at a time, the same operations in the same order as one at a time.
    const __m128 vc1 = _mm_set1_ps(c1), vc2 = _mm_set1_ps(c2), vmc2 = _mm_set1_ps(-c2);
    for (; i + 3 <= n / 2; i += 4) {
        float* lo = x + (2 * i - 1);       // re, im of i .. i+3
        float* hi = x + (np3 - 2 * i - 6); // re, im of the mirrors of i+3 .. i
        __m128 l0 = _mm_loadu_ps(lo), l1 = _mm_loadu_ps(lo + 4);
        __m128 h0 = _mm_loadu_ps(hi), h1 = _mm_loadu_ps(hi + 4);
        __m128 ar = _mm_shuffle_ps(l0, l1, _MM_SHUFFLE(2, 0, 2, 0));
        __m128 ai = _mm_shuffle_ps(l0, l1, _MM_SHUFFLE(3, 1, 3, 1));
        // hi holds mirrors of i+3, i+2 | i+1, i: reverse into i .. i+3 order.
        __m128 br = _mm_shuffle_ps(h1, h0, _MM_SHUFFLE(0, 2, 0, 2));
        __m128 bi = _mm_shuffle_ps(h1, h0, _MM_SHUFFLE(1, 3, 1, 3));
        __m128 wr = _mm_loadu_ps(twr + (i - 2));
        __m128 wi = _mm_loadu_ps(twi + (i - 2));
        __m128 h1r = _mm_mul_ps(vc1, _mm_add_ps(ar, br));
        __m128 h1i = _mm_mul_ps(vc1, _mm_sub_ps(ai, bi));
        __m128 h2r = _mm_mul_ps(vmc2, _mm_add_ps(ai, bi));
        __m128 h2i = _mm_mul_ps(vc2, _mm_sub_ps(ar, br));
        __m128 wr_h2r = _mm_mul_ps(wr, h2r), wi_h2i = _mm_mul_ps(wi, h2i);
        __m128 wr_h2i = _mm_mul_ps(wr, h2i), wi_h2r = _mm_mul_ps(wi, h2r);
        __m128 o1 = _mm_sub_ps(_mm_add_ps(h1r, wr_h2r), wi_h2i);
        __m128 o2 = _mm_add_ps(_mm_add_ps(h1i, wr_h2i), wi_h2r);
        __m128 o3 = _mm_add_ps(_mm_sub_ps(h1r, wr_h2r), wi_h2i);
        __m128 o4 = _mm_add_ps(_mm_add_ps(_mm_sub_ps(_mm_setzero_ps(), h1i), wr_h2i), wi_h2r);
        _mm_storeu_ps(lo, _mm_unpacklo_ps(o1, o2));
        _mm_storeu_ps(lo + 4, _mm_unpackhi_ps(o1, o2));
        // Back to descending order: mirrors of i+3, i+2 first.
        __m128 m_lo = _mm_unpacklo_ps(o3, o4); // i, i+1
        __m128 m_hi = _mm_unpackhi_ps(o3, o4); // i+2, i+3
        _mm_storeu_ps(hi, _mm_shuffle_ps(m_hi, m_hi, _MM_SHUFFLE(1, 0, 3, 2)));
        _mm_storeu_ps(hi + 4, _mm_shuffle_ps(m_lo, m_lo, _MM_SHUFFLE(1, 0, 3, 2)));
    }
    for (; i <= n / 2; ++i)
        real_pair(x, np3, i, twr[i - 2], twi[i - 2], c1, c2);
}

#endif

} // namespace

const FftKernels& fft_kernels_plain()
{
    static const FftKernels k{first2_plain, first3_plain, fused_plain, real_pass_plain};
    return k;
}

#if defined(__x86_64__) || defined(__i386__)
const FftKernels& fft_kernels_sse2()
{
    static const FftKernels k{first2_sse2, first3_sse2, fused_sse2, real_pass_sse2};
    return k;
}
#endif
