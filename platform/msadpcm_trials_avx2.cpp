// The seven trial encodings of a block run side by side, one coefficient pair per vector
// lane, so a block costs one pass instead of seven. The quotient code = (x - p) / delta,
// truncated and clamped to -8..7, comes from three compare-and-subtract steps instead of
// a division; the result is identical to the portable version.
#include "platform/msadpcm_trials.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KEL_HAVE_AVX2_PATH 1
#endif

namespace kel::msadpcm::detail {

#ifdef KEL_HAVE_AVX2_PATH

namespace {

// Squared errors are below 2^25 each; this many fit a 32-bit lane before widening.
constexpr int kFlushEvery = 64;

struct Lanes
{
    __m256i s1, s2, delta, acc32, acc_lo, acc_hi;
};

__attribute__((target("avx2"))) inline void flush(Lanes& s)
{
    s.acc_lo = _mm256_add_epi64(s.acc_lo, _mm256_cvtepu32_epi64(_mm256_castsi256_si128(s.acc32)));
    s.acc_hi =
        _mm256_add_epi64(s.acc_hi, _mm256_cvtepu32_epi64(_mm256_extracti128_si256(s.acc32, 1)));
    s.acc32 = _mm256_setzero_si256();
}

template <int Channels> __attribute__((target("avx2"))) void trials(ChannelTrial* trial, int frames)
{
    alignas(32) int32_t c1v[8], c2v[8];
    for (int p = 0; p < 8; ++p) {
        const int q = p < kCoefficientCount ? p : 0;
        c1v[p] = kCoefficients[q][0];
        c2v[p] = kCoefficients[q][1];
    }
    const __m256i c1 = _mm256_load_si256(reinterpret_cast<const __m256i*>(c1v));
    const __m256i c2 = _mm256_load_si256(reinterpret_cast<const __m256i*>(c2v));
    const __m256i adapt = _mm256_setr_epi32(230, 230, 230, 230, 307, 409, 512, 614);
    const __m256i k768 = _mm256_set1_epi32(768);
    const __m256i kmin = _mm256_set1_epi32(kMinDelta);
    const __m256i lo = _mm256_set1_epi32(-32768);
    const __m256i hi = _mm256_set1_epi32(32767);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i two = _mm256_set1_epi32(2);
    const __m256i four = _mm256_set1_epi32(4);
    const __m256i zero = _mm256_setzero_si256();

    Lanes l[Channels];
    alignas(8) int8_t lane_codes[Channels][kMaxEncodeFrames][8];
    for (int ch = 0; ch < Channels; ++ch) {
        l[ch].s1 = _mm256_set1_epi32(trial[ch].x[1]);
        l[ch].s2 = _mm256_set1_epi32(trial[ch].x[0]);
        l[ch].delta = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(trial[ch].start_delta));
        l[ch].acc32 = zero;
        l[ch].acc_lo = zero;
        l[ch].acc_hi = zero;
    }

    int until_flush = kFlushEvery;
    for (int n = 2; n < frames; ++n) {
        for (int ch = 0; ch < Channels; ++ch) {
            Lanes& s = l[ch];
            const __m256i x = _mm256_set1_epi32(trial[ch].x[n]);
            const __m256i prediction = _mm256_srai_epi32(
                _mm256_add_epi32(_mm256_mullo_epi32(s.s1, c1), _mm256_mullo_epi32(s.s2, c2)), 8);
            const __m256i diff = _mm256_sub_epi32(x, prediction);
            const __m256i neg = _mm256_cmpgt_epi32(zero, diff);
            const __m256i a0 = _mm256_abs_epi32(diff);
            const __m256i d = s.delta;
            const __m256i d2 = _mm256_slli_epi32(d, 1);
            const __m256i d4 = _mm256_slli_epi32(d, 2);
            const __m256i dm1 = _mm256_sub_epi32(d, one);

            __m256i ge = _mm256_cmpgt_epi32(a0, _mm256_sub_epi32(d4, one));
            __m256i q = _mm256_and_si256(ge, four);
            __m256i a = _mm256_sub_epi32(a0, _mm256_and_si256(ge, d4));
            ge = _mm256_cmpgt_epi32(a, _mm256_sub_epi32(d2, one));
            q = _mm256_or_si256(q, _mm256_and_si256(ge, two));
            a = _mm256_sub_epi32(a, _mm256_and_si256(ge, d2));
            ge = _mm256_cmpgt_epi32(a, dm1);
            q = _mm256_or_si256(q, _mm256_and_si256(ge, one));
            a = _mm256_sub_epi32(a, _mm256_and_si256(ge, d));
            // Only a negative difference may reach -8; a positive one stops at 7.
            const __m256i ge8 = _mm256_and_si256(neg, _mm256_cmpgt_epi32(a, dm1));
            const __m256i qd = _mm256_add_epi32(_mm256_sub_epi32(a0, a), _mm256_and_si256(ge8, d));
            q = _mm256_sub_epi32(q, ge8);

            const __m256i code = _mm256_sub_epi32(_mm256_xor_si256(q, neg), neg);
            __m256i v =
                _mm256_add_epi32(prediction, _mm256_sub_epi32(_mm256_xor_si256(qd, neg), neg));
            v = _mm256_min_epi32(_mm256_max_epi32(v, lo), hi);

            const __m256i t = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(adapt, q), k768, ge8);
            s.delta = _mm256_max_epi32(_mm256_srai_epi32(_mm256_mullo_epi32(t, d), 8), kmin);

            const __m256i e = _mm256_sub_epi32(v, x);
            s.acc32 = _mm256_add_epi32(s.acc32, _mm256_srli_epi32(_mm256_mullo_epi32(e, e), 7));
            s.s2 = s.s1;
            s.s1 = v;

            const __m256i p16 = _mm256_packs_epi32(code, zero);
            const __m256i p8 = _mm256_packs_epi16(p16, zero);
            const int32_t low = _mm_cvtsi128_si32(_mm256_castsi256_si128(p8));
            const int32_t high = _mm256_extract_epi32(p8, 4);
            std::memcpy(&lane_codes[ch][n - 2][0], &low, 4);
            std::memcpy(&lane_codes[ch][n - 2][4], &high, 4);
        }
        if (--until_flush == 0) {
            for (int ch = 0; ch < Channels; ++ch)
                flush(l[ch]);
            until_flush = kFlushEvery;
        }
    }

    for (int ch = 0; ch < Channels; ++ch) {
        flush(l[ch]);
        alignas(32) uint64_t error[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(error), l[ch].acc_lo);
        _mm256_store_si256(reinterpret_cast<__m256i*>(error + 4), l[ch].acc_hi);
        int best = 0;
        for (int p = 1; p < kCoefficientCount; ++p)
            if (error[p] < error[best])
                best = p;
        trial[ch].best = best;
        for (int n = 0; n < frames - 2; ++n)
            trial[ch].codes[n] = lane_codes[ch][n][best];
    }
}

} // namespace

void run_trials_vector(ChannelTrial* trial, int channels, int frames)
{
    if (channels == 2)
        trials<2>(trial, frames);
    else
        trials<1>(trial, frames);
}

bool vector_trials_available()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#else

void run_trials_vector(ChannelTrial* trial, int channels, int frames)
{
    run_trials_portable(trial, channels, frames);
}

bool vector_trials_available()
{
    return false;
}

#endif

} // namespace kel::msadpcm::detail
