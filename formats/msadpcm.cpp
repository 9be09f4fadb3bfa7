// Microsoft ADPCM block codec: sizes, the format record, the decoder and the encoder.
#include "formats/msadpcm.h"

#include "formats/msadpcm_trials.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace kel::msadpcm {

namespace {

// A hostile stream can grow the delta by three each sample; stop where the next
// multiplication would overflow. Real streams never come near.
constexpr int kMaxDelta = INT_MAX / 768;

inline int clamp16(int v)
{
    return v < -32768 ? -32768 : (v > 32767 ? 32767 : v);
}

inline void put16(uint8_t* p, int v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline int16_t get16(const uint8_t* p)
{
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

struct DecodeState
{
    int c1, c2, delta, s1, s2;

    inline int16_t step(int nibble)
    {
        const int prediction = (s1 * c1 + s2 * c2) >> 8;
        const int code = nibble - ((nibble & 8) << 1);
        const int v = clamp16(prediction + code * delta);
        int d = (kAdaptation[nibble] * delta) >> 8;
        delta = d < kMinDelta ? kMinDelta : (d > kMaxDelta ? kMaxDelta : d);
        s2 = s1;
        s1 = v;
        return static_cast<int16_t>(v);
    }
};

// Start delta of one pair from the channel's first five samples (fewer in a tiny block).
int start_delta(const int16_t* x, int frames, int c1, int c2)
{
    int sum = 0;
    for (int n = 2; n < std::min(frames, 5); ++n) {
        const int p = (x[n - 1] * c1 + x[n - 2] * c2) >> 8;
        sum += std::abs(p - x[n]);
    }
    return std::clamp(sum / 12, kMinDelta, 32767);
}

bool g_vector_checked = false;
bool g_vector = false;

bool use_vector()
{
    if (!g_vector_checked) {
        g_vector = detail::vector_trials_available();
        g_vector_checked = true;
    }
    return g_vector;
}

// Codes `blocks` consecutive blocks of `frames` frames each; their trials run together.
size_t encode_group(const int16_t* pcm, int blocks, int frames, int channels, uint8_t* out,
                    bool vector)
{
    const int chains = blocks * channels;
    // Each channel of each block apart, contiguous; a one-frame block codes its sample twice.
    int16_t x[detail::kMaxChains][kMaxEncodeFrames];
    int8_t codes[detail::kMaxChains][kMaxEncodeFrames];
    detail::ChannelTrial trial[detail::kMaxChains];
    for (int b = 0; b < blocks; ++b) {
        const int16_t* block = pcm + static_cast<size_t>(b) * frames * channels;
        for (int ch = 0; ch < channels; ++ch) {
            int16_t* xc = x[b * channels + ch];
            for (int n = 0; n < frames; ++n)
                xc[n] = block[n * channels + ch];
            if (frames == 1)
                xc[1] = xc[0];
        }
    }
    const int coded_frames = frames == 1 ? 2 : frames;
    for (int c = 0; c < chains; ++c) {
        trial[c].x = x[c];
        for (int p = 0; p < 8; ++p) {
            const int q = p < kCoefficientCount ? p : 0;
            trial[c].start_delta[p] =
                start_delta(x[c], coded_frames, kCoefficients[q][0], kCoefficients[q][1]);
        }
        trial[c].codes = codes[c];
    }
    if (vector)
        detail::run_trials_vector(trial, chains, coded_frames);
    else
        detail::run_trials_portable(trial, chains, coded_frames);

    uint8_t* p = out;
    for (int b = 0; b < blocks; ++b) {
        const detail::ChannelTrial* t = trial + b * channels;
        for (int ch = 0; ch < channels; ++ch)
            *p++ = static_cast<uint8_t>(t[ch].best);
        for (int ch = 0; ch < channels; ++ch, p += 2)
            put16(p, t[ch].start_delta[t[ch].best]);
        for (int ch = 0; ch < channels; ++ch, p += 2)
            put16(p, t[ch].x[1]);
        for (int ch = 0; ch < channels; ++ch, p += 2)
            put16(p, t[ch].x[0]);

        const int count = coded_frames - 2;
        if (channels == 1) {
            const int8_t* c = t[0].codes;
            int i = 0;
            for (; i + 1 < count; i += 2)
                *p++ = static_cast<uint8_t>(((c[i] & 15) << 4) | (c[i + 1] & 15));
            if (i < count)
                *p++ = static_cast<uint8_t>((c[i] & 15) << 4);
        } else {
            for (int i = 0; i < count; ++i)
                *p++ = static_cast<uint8_t>(((t[0].codes[i] & 15) << 4) | (t[1].codes[i] & 15));
        }
    }
    return static_cast<size_t>(p - out);
}

size_t encode_run(const int16_t* pcm, int frames, int channels, int block_frames, uint8_t* out,
                  bool vector)
{
    if (channels < 1 || channels > kMaxChannels || frames < 1 || block_frames < 1 ||
        block_frames > kMaxEncodeFrames)
        return 0;
    const int per_group = detail::kMaxChains / channels;
    size_t written = 0;
    int at = 0;
    while (at < frames) {
        const int full = std::min(per_group, (frames - at) / block_frames);
        const int blocks = full > 0 ? full : 1;
        const int length = full > 0 ? block_frames : frames - at;
        written += encode_group(pcm + static_cast<size_t>(at) * channels, blocks, length, channels,
                                out + written, vector);
        at += blocks * length;
    }
    return written;
}

} // namespace

int block_align_for(uint32_t sample_rate, int channels)
{
    uint32_t k = sample_rate > 11025 ? sample_rate / 11000 : 1;
    // Larger blocks than this would not fit the encoder's frame limit.
    k = std::min<uint32_t>(k, 4);
    return 256 * channels * static_cast<int>(k);
}

int samples_per_block(int block_align, int channels)
{
    if (channels < 1 || block_align < kHeaderBytesPerChannel * channels)
        return 0;
    return (block_align - kHeaderBytesPerChannel * channels) * 8 / (4 * channels) + 2;
}

size_t bytes_for_frames(int frames, int channels)
{
    if (frames < 2)
        frames = 2;
    return static_cast<size_t>(kHeaderBytesPerChannel * channels) +
           (static_cast<size_t>(frames - 2) * static_cast<size_t>(channels) + 1) / 2;
}

int frames_in_bytes(size_t bytes, int channels)
{
    const size_t header = static_cast<size_t>(kHeaderBytesPerChannel * channels);
    if (channels < 1 || bytes < header)
        return 0;
    const size_t frames = 2 + (bytes - header) * 2 / static_cast<size_t>(channels);
    return frames > INT_MAX ? INT_MAX : static_cast<int>(frames);
}

void write_format(const Format& f, uint8_t out[kFormatBytes])
{
    put16(out + 0, kFormatTag);
    put16(out + 2, f.channels);
    put32(out + 4, f.sample_rate);
    put32(out + 8, f.avg_bytes_per_sec);
    put16(out + 12, f.block_align);
    put16(out + 14, 4);
    put16(out + 16, kExtensionBytes);
    put16(out + 18, f.samples_per_block);
    put16(out + 20, kCoefficientCount);
    for (int i = 0; i < kCoefficientCount; ++i) {
        put16(out + 22 + 4 * i, kCoefficients[i][0]);
        put16(out + 24 + 4 * i, kCoefficients[i][1]);
    }
}

bool coefficients_are_standard(const uint8_t* pairs, int pair_count)
{
    if (pair_count != kCoefficientCount)
        return false;
    for (int i = 0; i < kCoefficientCount; ++i)
        if (get16(pairs + 4 * i) != kCoefficients[i][0] ||
            get16(pairs + 4 * i + 2) != kCoefficients[i][1])
            return false;
    return true;
}

int decode_block(const uint8_t* in, size_t bytes, int channels, int max_frames, int16_t* pcm)
{
    if (channels < 1 || channels > kMaxChannels)
        return -1;
    int frames = std::min(frames_in_bytes(bytes, channels), max_frames);
    if (frames <= 0)
        return 0;
    DecodeState st[kMaxChannels];
    for (int ch = 0; ch < channels; ++ch) {
        const int predictor = in[ch];
        if (predictor >= kCoefficientCount)
            return -1;
        st[ch].c1 = kCoefficients[predictor][0];
        st[ch].c2 = kCoefficients[predictor][1];
        st[ch].delta = get16(in + channels + 2 * ch);
        st[ch].s1 = get16(in + 3 * channels + 2 * ch);
        st[ch].s2 = get16(in + 5 * channels + 2 * ch);
    }
    const uint8_t* p = in + kHeaderBytesPerChannel * channels;
    for (int ch = 0; ch < channels; ++ch) {
        pcm[ch] = static_cast<int16_t>(st[ch].s2);
        if (frames > 1)
            pcm[channels + ch] = static_cast<int16_t>(st[ch].s1);
    }
    int16_t* o = pcm + 2 * channels;
    const int coded = frames - 2;
    if (channels == 1) {
        DecodeState s = st[0];
        int i = 0;
        for (; i + 1 < coded; i += 2, ++p) {
            o[i] = s.step(*p >> 4);
            o[i + 1] = s.step(*p & 15);
        }
        if (i < coded)
            o[i] = s.step(*p >> 4);
    } else {
        DecodeState l = st[0];
        DecodeState r = st[1];
        for (int i = 0; i < coded; ++i, ++p) {
            o[2 * i] = l.step(*p >> 4);
            o[2 * i + 1] = r.step(*p & 15);
        }
    }
    return frames;
}

size_t encode_block(const int16_t* pcm, int frames, int channels, uint8_t* out)
{
    if (frames > kMaxEncodeFrames)
        return 0;
    return encode_run(pcm, frames, channels, frames, out, use_vector());
}

size_t encode_blocks(const int16_t* pcm, int frames, int channels, int block_frames, uint8_t* out)
{
    return encode_run(pcm, frames, channels, block_frames, out, use_vector());
}

namespace detail {

size_t encode_blocks_portable(const int16_t* pcm, int frames, int channels, int block_frames,
                              uint8_t* out)
{
    return encode_run(pcm, frames, channels, block_frames, out, false);
}

bool vector_encoder_active()
{
    return use_vector();
}

void run_trials_portable(ChannelTrial* trial, int chains, int frames)
{
    int8_t scratch[kMaxEncodeFrames];
    for (int ch = 0; ch < chains; ++ch) {
        ChannelTrial& t = trial[ch];
        int8_t* best_codes = t.codes;
        int8_t* work = scratch;
        uint64_t best_error = 0;
        for (int p = 0; p < kCoefficientCount; ++p) {
            const int c1 = kCoefficients[p][0];
            const int c2 = kCoefficients[p][1];
            int s1 = t.x[1];
            int s2 = t.x[0];
            int delta = t.start_delta[p];
            uint64_t error = 0;
            for (int n = 2; n < frames; ++n) {
                const int prediction = (s1 * c1 + s2 * c2) >> 8;
                const int code = std::clamp((t.x[n] - prediction) / delta, -8, 7);
                const int v = clamp16(prediction + code * delta);
                delta = std::max(kMinDelta, (kAdaptation[code & 15] * delta) >> 8);
                const int64_t e = v - t.x[n];
                error += static_cast<uint64_t>(e * e) >> 7;
                work[n - 2] = static_cast<int8_t>(code);
                s2 = s1;
                s1 = v;
            }
            if (p == 0 || error < best_error) {
                best_error = error;
                t.best = p;
                std::swap(work, best_codes);
            }
        }
        if (best_codes != t.codes)
            std::memcpy(t.codes, best_codes, static_cast<size_t>(frames - 2));
    }
}

} // namespace detail

} // namespace kel::msadpcm
