// The seven trial encodings of a block run side by side, one coefficient pair per vector
// lane, so a block costs one pass instead of seven, and up to four chains (channels of
// consecutive blocks) are interleaved to keep the vector unit busy. The quotient
// code = (x - p) / delta, truncated and clamped to -8..7, comes from three
// compare-and-subtract steps instead of a division; the two samples of the prediction
// sit in the halves of one lane so one multiply-add forms it. Every lane's codes are
// collected as nibbles, eight to a word, and the winning lane's are kept. The result is
// identical to the portable version.
#include "formats/msadpcm_trials.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KEL_HAVE_AVX2_PATH 1
#endif

namespace kel::msadpcm::detail {

#ifdef KEL_HAVE_AVX2_PATH

namespace {

// Squared errors are below 2^25 each; 64 of them fit a 32-bit lane before widening.
constexpr int kWordsPerFlush = 8;
constexpr int kMaxWords = (kMaxEncodeFrames + 7) / 8;

struct Lanes
{
    __m256i samples; // low half: last reconstruction, high half: the one before
    __m256i delta, nibbles, acc32, acc_lo, acc_hi;
};

__attribute__((target("avx2"))) inline void flush(Lanes& s)
{
    s.acc_lo = _mm256_add_epi64(s.acc_lo, _mm256_cvtepu32_epi64(_mm256_castsi256_si128(s.acc32)));
    s.acc_hi =
        _mm256_add_epi64(s.acc_hi, _mm256_cvtepu32_epi64(_mm256_extracti128_si256(s.acc32, 1)));
    s.acc32 = _mm256_setzero_si256();
}

template <int Chains> __attribute__((target("avx2"))) void trials(ChannelTrial* trial, int frames)
{
    alignas(32) int32_t pairs[8];
    for (int p = 0; p < 8; ++p) {
        const int q = p < kCoefficientCount ? p : 0;
        pairs[p] = static_cast<int32_t>(
            (static_cast<uint32_t>(static_cast<uint16_t>(kCoefficients[q][1])) << 16) |
            static_cast<uint16_t>(kCoefficients[q][0]));
    }
    const __m256i coefficients = _mm256_load_si256(reinterpret_cast<const __m256i*>(pairs));
    const __m256i adapt = _mm256_setr_epi32(230, 230, 230, 230, 307, 409, 512, 614);
    const __m256i k768 = _mm256_set1_epi32(768);
    const __m256i kmin = _mm256_set1_epi32(kMinDelta);
    const __m256i lo = _mm256_set1_epi32(-32768);
    const __m256i hi = _mm256_set1_epi32(32767);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i two = _mm256_set1_epi32(2);
    const __m256i four = _mm256_set1_epi32(4);
    const __m256i fifteen = _mm256_set1_epi32(15);
    const __m256i zero = _mm256_setzero_si256();

    Lanes l[Chains];
    alignas(32) uint32_t words[Chains][kMaxWords][8];
    for (int c = 0; c < Chains; ++c) {
        const uint32_t s1 = static_cast<uint16_t>(trial[c].x[1]);
        const uint32_t s2 = static_cast<uint16_t>(trial[c].x[0]);
        l[c].samples = _mm256_set1_epi32(static_cast<int32_t>((s2 << 16) | s1));
        l[c].delta = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(trial[c].start_delta));
        l[c].nibbles = zero;
        l[c].acc32 = zero;
        l[c].acc_lo = zero;
        l[c].acc_hi = zero;
    }

    const int count = frames - 2;
    for (int base = 0, word = 0; base < count; base += 8, ++word) {
        const int steps = count - base < 8 ? count - base : 8;
        for (int k = 0; k < steps; ++k) {
            const int n = 2 + base + k;
            for (int c = 0; c < Chains; ++c) {
                Lanes& s = l[c];
                const __m256i x = _mm256_set1_epi32(trial[c].x[n]);
                const __m256i prediction =
                    _mm256_srai_epi32(_mm256_madd_epi16(s.samples, coefficients), 8);
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
                ge = _mm256_cmpgt_epi32(a, _mm256_add_epi32(d, dm1));
                q = _mm256_or_si256(q, _mm256_and_si256(ge, two));
                a = _mm256_sub_epi32(a, _mm256_and_si256(ge, d2));
                ge = _mm256_cmpgt_epi32(a, dm1);
                q = _mm256_or_si256(q, _mm256_and_si256(ge, one));
                a = _mm256_sub_epi32(a, _mm256_and_si256(ge, d));
                // Only a negative difference may reach -8; a positive one stops at 7.
                const __m256i ge8 = _mm256_and_si256(neg, _mm256_cmpgt_epi32(a, dm1));
                const __m256i qd =
                    _mm256_add_epi32(_mm256_sub_epi32(a0, a), _mm256_and_si256(ge8, d));
                q = _mm256_sub_epi32(q, ge8);

                // diff == 0 gives q == 0, so sign() zeroing it changes nothing.
                __m256i v = _mm256_add_epi32(prediction, _mm256_sign_epi32(qd, diff));
                v = _mm256_min_epi32(_mm256_max_epi32(v, lo), hi);

                const __m256i t =
                    _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(adapt, q), k768, ge8);
                s.delta = _mm256_max_epi32(_mm256_srai_epi32(_mm256_mullo_epi32(t, d), 8), kmin);

                const __m256i e = _mm256_sub_epi32(v, x);
                s.acc32 = _mm256_add_epi32(s.acc32, _mm256_srli_epi32(_mm256_mullo_epi32(e, e), 7));
                s.samples = _mm256_blend_epi16(v, _mm256_slli_epi32(s.samples, 16), 0xAA);
                const __m256i code = _mm256_and_si256(_mm256_sign_epi32(q, diff), fifteen);
                s.nibbles = _mm256_or_si256(_mm256_slli_epi32(s.nibbles, 4), code);
            }
        }
        for (int c = 0; c < Chains; ++c) {
            _mm256_store_si256(reinterpret_cast<__m256i*>(words[c][word]), l[c].nibbles);
            if (word % kWordsPerFlush == kWordsPerFlush - 1)
                flush(l[c]);
        }
    }

    for (int c = 0; c < Chains; ++c) {
        flush(l[c]);
        alignas(32) uint64_t error[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(error), l[c].acc_lo);
        _mm256_store_si256(reinterpret_cast<__m256i*>(error + 4), l[c].acc_hi);
        int best = 0;
        for (int p = 1; p < kCoefficientCount; ++p)
            if (error[p] < error[best])
                best = p;
        trial[c].best = best;
        // The first code of a word sits in its highest filled nibble.
        for (int i = 0; i < count; ++i) {
            const int in_word = count - (i & ~7) < 8 ? count - (i & ~7) : 8;
            const uint32_t w = words[c][i / 8][best];
            trial[c].codes[i] = static_cast<int8_t>((w >> (4 * (in_word - 1 - (i & 7)))) & 15);
        }
    }
}

} // namespace

void run_trials_vector(ChannelTrial* trial, int chains, int frames)
{
    switch (chains) {
    case 4:
        trials<4>(trial, frames);
        break;
    case 3:
        trials<2>(trial, frames);
        trials<1>(trial + 2, frames);
        break;
    case 2:
        trials<2>(trial, frames);
        break;
    default:
        trials<1>(trial, frames);
    }
}

bool vector_trials_available()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#else

void run_trials_vector(ChannelTrial* trial, int chains, int frames)
{
    run_trials_portable(trial, chains, frames);
}

bool vector_trials_available()
{
    return false;
}

#endif

} // namespace kel::msadpcm::detail
