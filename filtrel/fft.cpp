// Radix-2 transform on the 1-based packed layout. The twiddle factors come from the
// classic recurrence w <- w + w(cos t - 1) + i w sin t, run once per size and kept in
// tables, so each butterfly pass is a straight vectorisable loop.
#include "filtrel/fft.h"

#include "common/host_services.h"

#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <vector>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

int fft_size = 0;
float* fft_data = nullptr;
int* fft_magnitude = nullptr;
int* fft_magnitude_copy = nullptr;
FftPoint* fft_points = nullptr;

int fft_allocate(int size, int purpose)
{
    fft_release();
    fft_size = size;
    fft_data = new (std::nothrow) float[static_cast<size_t>(size) + 4]();
    if (!fft_data) {
        NewErrMsg(5002);
        return 0;
    }
    if (purpose == kFftForSpectrumDisplay) {
        fft_magnitude = new (std::nothrow) int[static_cast<size_t>(size)]();
        fft_magnitude_copy =
            fft_magnitude ? new (std::nothrow) int[static_cast<size_t>(size)]() : nullptr;
        if (!fft_magnitude || !fft_magnitude_copy) {
            NewErrMsg(5003);
            return 0;
        }
        fft_points = new (std::nothrow) FftPoint[static_cast<size_t>(size)]();
        if (!fft_points) {
            NewErrMsg(5004);
            return 0;
        }
    }
    return 1;
}

void fft_release()
{
    delete[] fft_data;
    delete[] fft_magnitude;
    delete[] fft_magnitude_copy;
    delete[] fft_points;
    fft_data = nullptr;
    fft_magnitude = nullptr;
    fft_magnitude_copy = nullptr;
    fft_points = nullptr;
}

namespace {

// Everything a transform of n complex points in one direction needs.
struct Plan
{
    std::vector<int> swaps; // pairs of 0-based complex indices to exchange
    // Per pass (span m = 2, 4, ... 2n floats): for each butterfly k of the pass the twiddle
    // duplicated (wr, wr) and signed (-wi, wi), laid out for two butterflies per vector.
    std::vector<std::vector<float>> wr_dup;
    std::vector<std::vector<float>> wi_sign;
};

struct RealPlan
{
    std::vector<float> wr; // for i = 2 .. n/2
    std::vector<float> wi;
};

const Plan& plan_for(int n, int direction)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Plan>> cache;
    auto& slot = cache[{n, direction}];
    if (slot)
        return *slot;
    auto p = std::make_unique<Plan>();
    // Bit reversal, as the classic 1-based loop walks it.
    const int floats = 2 * n;
    int j = 1;
    for (int i = 1; i < floats; i += 2) {
        if (j > i)
            p->swaps.insert(p->swaps.end(), {(i - 1) / 2, (j - 1) / 2});
        int m = n;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    for (int mmax = 2; floats > mmax; mmax <<= 1) {
        const double theta = 6.28318530717959 / (direction * mmax);
        const double wtemp = std::sin(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        std::vector<float> dup, sign;
        for (int m = 1; m < mmax; m += 2) {
            dup.push_back(static_cast<float>(wr));
            dup.push_back(static_cast<float>(wr));
            sign.push_back(static_cast<float>(-wi));
            sign.push_back(static_cast<float>(wi));
            const double t = wr;
            wr = t * wpr - wi * wpi + wr;
            wi = wi * wpr + t * wpi + wi;
        }
        p->wr_dup.push_back(std::move(dup));
        p->wi_sign.push_back(std::move(sign));
    }
    slot = std::move(p);
    return *slot;
}

const RealPlan& real_plan_for(int n, int direction)
{
    static std::map<std::pair<int, int>, std::unique_ptr<RealPlan>> cache;
    auto& slot = cache[{n, direction}];
    if (slot)
        return *slot;
    auto p = std::make_unique<RealPlan>();
    double theta = 3.141592653589793 / n;
    if (direction != 1)
        theta = -theta;
    const double wtemp = std::sin(0.5 * theta);
    const double wpr = -2.0 * wtemp * wtemp;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr, wi = wpi;
    for (int i = 2; i <= n / 2; ++i) {
        p->wr.push_back(static_cast<float>(wr));
        p->wi.push_back(static_cast<float>(wi));
        const double t = wr;
        wr = t * wpr - wi * wpi + wr;
        wi = wi * wpr + t * wpi + wi;
    }
    slot = std::move(p);
    return *slot;
}

// One pass: blocks of span mmax floats, each butterfly k pairs complex i = base+k with
// i + mmax/2. x is 0-based interleaved complex here.
void pass(float* x, int floats, int mmax, const float* dup, const float* sign)
{
    const int half = mmax; // floats from i to its partner
    const int step = mmax * 2;
#if defined(__SSE2__)
    if (mmax == 2) {
        // The first pass has only the twiddle (1, 0): plain sums and differences.
        for (int base = 0; base < floats; base += 4) {
            __m128 v = _mm_loadu_ps(x + base);
            __m128 s = _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 0, 3, 2));
            _mm_storeu_ps(x + base, _mm_movelh_ps(_mm_add_ps(v, s), _mm_sub_ps(v, s)));
        }
        return;
    }
    if (mmax >= 4) {
        for (int base = 0; base < floats; base += step) {
            float* a = x + base;
            float* b = x + base + half;
            for (int k = 0; k < mmax; k += 4) {
                __m128 xb = _mm_loadu_ps(b + k);
                __m128 wr = _mm_loadu_ps(dup + k);
                __m128 wi = _mm_loadu_ps(sign + k);
                __m128 sw = _mm_shuffle_ps(xb, xb, _MM_SHUFFLE(2, 3, 0, 1));
                // t = (wr xr - wi xi, wr xi + wi xr)
                __m128 t = _mm_add_ps(_mm_mul_ps(wr, xb), _mm_mul_ps(wi, sw));
                __m128 xa = _mm_loadu_ps(a + k);
                _mm_storeu_ps(b + k, _mm_sub_ps(xa, t));
                _mm_storeu_ps(a + k, _mm_add_ps(xa, t));
            }
        }
        return;
    }
#endif
    for (int base = 0; base < floats; base += step) {
        float* a = x + base;
        float* b = x + base + half;
        for (int k = 0; k < mmax; k += 2) {
            const float tr = dup[k] * b[k] + sign[k] * b[k + 1];
            const float ti = dup[k + 1] * b[k + 1] + sign[k + 1] * b[k];
            b[k] = a[k] - tr;
            b[k + 1] = a[k + 1] - ti;
            a[k] += tr;
            a[k + 1] += ti;
        }
    }
}

} // namespace

void fft_complex_on(float* x1, int n, int direction)
{
    if (n < 1 || !x1)
        return;
    const int s = direction == -1 ? -1 : 1;
    const Plan& p = plan_for(n, s);
    float* x = x1 + 1; // to 0-based
    for (size_t i = 0; i < p.swaps.size(); i += 2) {
        float* a = x + 2 * p.swaps[i];
        float* b = x + 2 * p.swaps[i + 1];
        std::swap(a[0], b[0]);
        std::swap(a[1], b[1]);
    }
    const int floats = 2 * n;
    size_t pass_index = 0;
    for (int mmax = 2; floats > mmax; mmax <<= 1, ++pass_index)
        pass(x, floats, mmax, p.wr_dup[pass_index].data(), p.wi_sign[pass_index].data());
    if (s == -1) {
        const float inv = 1.0f / static_cast<float>(n);
        for (int i = 0; i < floats; ++i)
            x[i] *= inv;
    }
}

void fft_real_on(float* x, int n, int direction)
{
    if (n < 2 || !x)
        return;
    const int s = direction == -1 ? -1 : 1;
    const float c1 = 0.5f;
    const float c2 = s == 1 ? -0.5f : 0.5f;
    if (s == 1)
        fft_complex_on(x, n, 1);
    const RealPlan& p = real_plan_for(n, s);
    const int np3 = 2 * n + 3;
    int i = 2;
#if defined(__SSE2__)
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
        __m128 wr = _mm_loadu_ps(p.wr.data() + (i - 2));
        __m128 wi = _mm_loadu_ps(p.wi.data() + (i - 2));
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
#endif
    for (; i <= n / 2; ++i) {
        const int i1 = i + i - 1;
        const int i2 = i1 + 1;
        const int i3 = np3 - i2;
        const int i4 = i3 + 1;
        const float wr = p.wr[static_cast<size_t>(i - 2)];
        const float wi = p.wi[static_cast<size_t>(i - 2)];
        const float h1r = c1 * (x[i1] + x[i3]);
        const float h1i = c1 * (x[i2] - x[i4]);
        const float h2r = -c2 * (x[i2] + x[i4]);
        const float h2i = c2 * (x[i1] - x[i3]);
        x[i1] = h1r + wr * h2r - wi * h2i;
        x[i2] = h1i + wr * h2i + wi * h2r;
        x[i3] = h1r - wr * h2r + wi * h2i;
        x[i4] = -h1i + wr * h2i + wi * h2r;
    }
    const float h1r = x[1];
    if (s == 1) {
        x[1] = h1r + x[2];
        x[2] = h1r - x[2];
    } else {
        x[1] = c1 * (h1r + x[2]);
        x[2] = c1 * (h1r - x[2]);
        fft_complex_on(x, n, -1);
    }
}

void fft_real(int n, int direction)
{
    fft_real_on(fft_data, n, direction);
}

void fft_complex(int n, int direction)
{
    fft_complex_on(fft_data, n, direction);
}
