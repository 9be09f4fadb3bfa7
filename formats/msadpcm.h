#pragma once
// Microsoft ADPCM, one block at a time, in memory. Knows nothing about files: the
// converter, the waveconv tool and the player feed it whole blocks and take whole blocks.
//
// Block layout (per channel, interleaved by channel for stereo): predictor index (1 byte),
// delta (2), iSamp1 = the block's second sample (2), iSamp2 = its first sample (2), then
// 4-bit codes for the remaining samples, high nibble first, channels interleaved.
#include <cstddef>
#include <cstdint>

namespace kel::msadpcm {

inline constexpr uint16_t kFormatTag = 2;
inline constexpr int kCoefficientCount = 7;
inline constexpr int kMinDelta = 16;
inline constexpr int kHeaderBytesPerChannel = 7;
inline constexpr int kExtensionBytes = 32; // cbSize of the format record
inline constexpr int kFormatBytes = 50;    // 18 + cbSize
inline constexpr int kMaxChannels = 2;
// The largest block the encoder takes; block_align_for never asks for more.
inline constexpr int kMaxEncodeFrames = 2048;

// The coefficient pairs (c1, c2) every file of ours carries.
inline constexpr int16_t kCoefficients[kCoefficientCount][2] = {
    {256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232},
};
// Delta adaptation by code (indexed by the 4-bit code).
inline constexpr int16_t kAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                            768, 614, 512, 409, 307, 230, 230, 230};

// nBlockAlign the suite uses for a rate and channel count: 256 x channels x k,
// k = rate / 11000 above 11025 Hz, else 1.
int block_align_for(uint32_t sample_rate, int channels);

// Frames a full block of block_align bytes codes (wSamplesPerBlock); 0 when the block
// cannot hold even its headers.
int samples_per_block(int block_align, int channels);

// Bytes of a block coding `frames` frames (2 .. samples_per_block); a short last block is
// this long, its last nibble padded with 0 when the nibble count is odd.
size_t bytes_for_frames(int frames, int channels);

// Frames held by a (possibly short) block of `bytes` bytes; 0 when even the header is cut.
int frames_in_bytes(size_t bytes, int channels);

// The 50-byte format record: tag 2, 4 bits, cbSize 32, wSamplesPerBlock, the 7 pairs.
struct Format
{
    uint16_t channels = 1;
    uint32_t sample_rate = 22050;
    uint32_t avg_bytes_per_sec = 0;
    uint16_t block_align = 512;
    uint16_t samples_per_block = 1012;
};
void write_format(const Format& format, uint8_t out[kFormatBytes]);

// True when `pairs` (wNumCoef pairs of little-endian signed 16-bit values) is exactly our
// table of 7.
bool coefficients_are_standard(const uint8_t* pairs, int pair_count);

// Encodes `frames` interleaved 16-bit frames (1 .. kMaxEncodeFrames) into one block at
// `out`, which must hold bytes_for_frames(max(frames, 2), channels). A one-frame block
// repeats its sample. Returns the bytes written, 0 for an impossible request.
size_t encode_block(const int16_t* pcm, int frames, int channels, uint8_t* out);

// Encodes `frames` frames as consecutive blocks of `block_frames` frames (the last one
// shorter when they do not divide), exactly as encode_block would block by block, but
// with the trials of several blocks run together. Returns the bytes written.
size_t encode_blocks(const int16_t* pcm, int frames, int channels, int block_frames, uint8_t* out);

// Decodes one block of `bytes` bytes into at most `max_frames` interleaved frames.
// Returns the frames written, 0 for a block too short to hold its header, or -1 when
// a predictor index names no coefficient pair.
int decode_block(const uint8_t* in, size_t bytes, int channels, int max_frames, int16_t* pcm);

namespace detail {
// The plain implementation the vector one must match bit for bit; tests compare them.
size_t encode_blocks_portable(const int16_t* pcm, int frames, int channels, int block_frames,
                              uint8_t* out);
// Whether encode_block uses the vector implementation on this machine.
bool vector_encoder_active();
} // namespace detail

} // namespace kel::msadpcm
