// The block codec on its own: sizes, the format record, the coding rules, hostile blocks.
#include "formats/msadpcm.h"
#include "tests/support/wave_files.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace ms = kel::msadpcm;

namespace {

int16_t le16_at(const uint8_t* p)
{
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

std::vector<uint8_t> encode(const std::vector<int16_t>& x, int channels)
{
    const int frames = static_cast<int>(x.size()) / channels;
    std::vector<uint8_t> out(ms::bytes_for_frames(frames, channels));
    out.resize(ms::encode_block(x.data(), frames, channels, out.data()));
    return out;
}

std::vector<int16_t> decode(const std::vector<uint8_t>& block, int channels, int max_frames)
{
    std::vector<int16_t> out(static_cast<size_t>(max_frames) * channels + 4);
    const int frames =
        ms::decode_block(block.data(), block.size(), channels, max_frames, out.data());
    out.resize(frames > 0 ? static_cast<size_t>(frames) * channels : 0);
    return out;
}

} // namespace

TEST(MsAdpcmSizes, BlocksOfTheThreeRates)
{
    EXPECT_EQ(ms::block_align_for(11025, 1), 256);
    EXPECT_EQ(ms::block_align_for(22050, 1), 512);
    EXPECT_EQ(ms::block_align_for(44100, 1), 1024);
    EXPECT_EQ(ms::block_align_for(11025, 2), 512);
    EXPECT_EQ(ms::block_align_for(22050, 2), 1024);
    EXPECT_EQ(ms::block_align_for(44100, 2), 2048);
    EXPECT_EQ(ms::samples_per_block(256, 1), 500);
    EXPECT_EQ(ms::samples_per_block(512, 1), 1012);
    EXPECT_EQ(ms::samples_per_block(1024, 1), 2036);
    EXPECT_EQ(ms::samples_per_block(512, 2), 500);
    EXPECT_EQ(ms::samples_per_block(2048, 2), 2036);
    EXPECT_EQ(ms::samples_per_block(13, 2), 0);

    // Full blocks fill their alignment exactly; short ones pad an odd nibble count.
    EXPECT_EQ(ms::bytes_for_frames(2036, 2), 2048u);
    EXPECT_EQ(ms::bytes_for_frames(2036, 1), 1024u);
    EXPECT_EQ(ms::bytes_for_frames(5, 1), 9u);
    EXPECT_EQ(ms::bytes_for_frames(5, 2), 17u);
    EXPECT_EQ(ms::frames_in_bytes(2048, 2), 2036);
    EXPECT_EQ(ms::frames_in_bytes(9, 1), 6);
    EXPECT_EQ(ms::frames_in_bytes(6, 1), 0);
    EXPECT_EQ(ms::frames_in_bytes(14, 2), 2);
}

TEST(MsAdpcmFormat, RecordOfA320kbpsStereoFile)
{
    ms::Format f;
    f.channels = 2;
    f.sample_rate = 44100;
    f.avg_bytes_per_sec = 20000;
    f.block_align = 2048;
    f.samples_per_block = 2036;
    uint8_t r[ms::kFormatBytes];
    ms::write_format(f, r);
    EXPECT_EQ(le16_at(r + 0), 2);
    EXPECT_EQ(le16_at(r + 2), 2);
    EXPECT_EQ(r[4] | (r[5] << 8) | (r[6] << 16), 44100);
    EXPECT_EQ(r[8] | (r[9] << 8) | (r[10] << 16), 20000);
    EXPECT_EQ(le16_at(r + 12), 2048);
    EXPECT_EQ(le16_at(r + 14), 4);
    EXPECT_EQ(le16_at(r + 16), 32);
    EXPECT_EQ(le16_at(r + 18), 2036);
    EXPECT_EQ(le16_at(r + 20), 7);
    const int16_t pairs[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(le16_at(r + 22 + 2 * i), pairs[i]) << i;

    EXPECT_TRUE(ms::coefficients_are_standard(r + 22, 7));
    EXPECT_FALSE(ms::coefficients_are_standard(r + 22, 6));
    r[22 + 4 * 6] ^= 1; // 392 becomes 393
    EXPECT_FALSE(ms::coefficients_are_standard(r + 22, 7));
}

TEST(MsAdpcmEncoder, HeaderHoldsTheFirstTwoSamplesSecondFirst)
{
    std::vector<int16_t> x = {100, -2000, 50, 70, 90, 80, 60};
    std::vector<uint8_t> b = encode(x, 1);
    ASSERT_EQ(b.size(), ms::bytes_for_frames(7, 1));
    EXPECT_EQ(le16_at(b.data() + 3), -2000); // iSamp1: the later sample
    EXPECT_EQ(le16_at(b.data() + 5), 100);   // iSamp2: the first
    std::vector<int16_t> y = decode(b, 1, 7);
    ASSERT_EQ(y.size(), 7u);
    EXPECT_EQ(y[0], 100);
    EXPECT_EQ(y[1], -2000);

    // Stereo interleaves each header field by channel.
    std::vector<int16_t> s = {1, -1, 2, -2, 3, -3};
    b = encode(s, 2);
    EXPECT_EQ(le16_at(b.data() + 6), 2);
    EXPECT_EQ(le16_at(b.data() + 8), -2);
    EXPECT_EQ(le16_at(b.data() + 10), 1);
    EXPECT_EQ(le16_at(b.data() + 12), -1);
}

TEST(MsAdpcmEncoder, ChoosesLeastErrorWithLowestIndexOnTies)
{
    // Silence: every pair is exact, so the first wins, with the smallest delta.
    std::vector<int16_t> silence(500, 0);
    std::vector<uint8_t> b = encode(silence, 1);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(le16_at(b.data() + 1), 16);
    for (size_t i = 7; i < b.size(); ++i)
        ASSERT_EQ(b[i], 0) << i;

    // A constant is exact with (256, 0) and (512, -256): the tie goes to pair 0.
    std::vector<int16_t> level(500, 1000);
    EXPECT_EQ(encode(level, 1)[0], 0);

    // A straight ramp is exact only for (512, -256).
    std::vector<int16_t> ramp(500);
    for (int n = 0; n < 500; ++n)
        ramp[n] = static_cast<int16_t>(-20000 + 80 * n);
    b = encode(ramp, 1);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(decode(b, 1, 500), ramp);

    // Channels choose apart: a ramp on the left, a constant on the right.
    std::vector<int16_t> both;
    for (int n = 0; n < 500; ++n) {
        both.push_back(ramp[n]);
        both.push_back(1000);
    }
    b = encode(both, 2);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 0);
}

TEST(MsAdpcmEncoder, StartDeltaComesFromTheFirstFiveSamples)
{
    // Whatever pair wins, its delta is max(16, sum |p(n) - s(n)| / 12) over n = 2..4.
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<int16_t> x(300);
        for (auto& v : x)
            v = static_cast<int16_t>(static_cast<int>(rng() % 40001) - 20000);
        std::vector<uint8_t> b = encode(x, 1);
        const int pair = b[0];
        ASSERT_LT(pair, 7);
        const int c1 = ms::kCoefficients[pair][0];
        const int c2 = ms::kCoefficients[pair][1];
        int sum = 0;
        for (int n = 2; n <= 4; ++n)
            sum += std::abs(((x[n - 1] * c1 + x[n - 2] * c2) >> 8) - x[n]);
        EXPECT_EQ(le16_at(b.data() + 1), std::max(16, sum / 12));
    }
}

TEST(MsAdpcmEncoder, ShortAndSingleFrameBlocks)
{
    std::vector<int16_t> one = {1234};
    std::vector<uint8_t> b = encode(one, 1);
    ASSERT_EQ(b.size(), 7u);
    EXPECT_EQ(decode(b, 1, 2), (std::vector<int16_t>{1234, 1234}));

    std::vector<int16_t> three = {5, 6, 7, 8, 9, 10}; // stereo, three frames
    b = encode(three, 2);
    EXPECT_EQ(b.size(), ms::bytes_for_frames(3, 2));
    EXPECT_EQ(decode(b, 2, 3).size(), 6u);

    std::vector<int16_t> too_many(ms::kMaxEncodeFrames + 1, 0);
    uint8_t out[8];
    EXPECT_EQ(ms::encode_block(too_many.data(), ms::kMaxEncodeFrames + 1, 1, out), 0u);
}

TEST(MsAdpcmEncoder, VectorPathMatchesPortableBitForBit)
{
    if (!ms::detail::vector_encoder_active())
        GTEST_SKIP() << "no vector unit on this machine";
    std::mt19937 rng(12345);
    for (int round = 0; round < 1500; ++round) {
        const int channels = 1 + round % 2;
        const int frames = 1 + static_cast<int>(rng() % 2036);
        std::vector<int16_t> x(static_cast<size_t>(frames) * channels);
        double phase = 0;
        for (auto& v : x) {
            switch (round % 4) {
            case 0: // full-scale noise, the hardest for the quantiser
                v = static_cast<int16_t>(rng());
                break;
            case 1: // square wave at the rails: clamping in every step
                v = (rng() & 1) ? 32767 : -32768;
                break;
            default:
                phase += 0.003 * (1 + round % 9);
                v = static_cast<int16_t>(24000 * std::sin(phase) + static_cast<int>(rng() % 1001) -
                                         500);
            }
        }
        std::vector<uint8_t> a(ms::bytes_for_frames(frames, channels));
        std::vector<uint8_t> p(a.size());
        const size_t na = ms::encode_block(x.data(), frames, channels, a.data());
        const size_t np =
            ms::detail::encode_blocks_portable(x.data(), frames, channels, frames, p.data());
        ASSERT_EQ(na, np);
        ASSERT_EQ(a, p) << "round " << round << " frames " << frames << " channels " << channels;
    }
}

TEST(MsAdpcmEncoder, RunsOfBlocksEqualBlockByBlock)
{
    // Groups of blocks share one pass; the bytes must be those of one block at a time,
    // including the short block at the end and group sizes that do not divide the run.
    for (int channels = 1; channels <= 2; ++channels) {
        for (int blocks : {1, 2, 3, 5, 9}) {
            const int block_frames = 500;
            const int frames = blocks * block_frames + 137;
            std::vector<int16_t> x = noise16(static_cast<size_t>(frames) * channels, blocks);
            for (size_t i = 0; i < x.size(); ++i)
                x[i] = static_cast<int16_t>(x[i] / 4 + 6000 * std::sin(0.01 * i));
            std::vector<uint8_t> expected;
            for (int at = 0; at < frames; at += block_frames) {
                const int n = std::min(block_frames, frames - at);
                std::vector<uint8_t> b(ms::bytes_for_frames(n, channels));
                b.resize(ms::encode_block(x.data() + at * channels, n, channels, b.data()));
                expected.insert(expected.end(), b.begin(), b.end());
            }
            std::vector<uint8_t> run(expected.size() + 16);
            run.resize(ms::encode_blocks(x.data(), frames, channels, block_frames, run.data()));
            EXPECT_EQ(run, expected) << channels << " channels, " << blocks << " blocks";
            std::vector<uint8_t> plain(run.size() + 16);
            plain.resize(ms::detail::encode_blocks_portable(x.data(), frames, channels,
                                                            block_frames, plain.data()));
            EXPECT_EQ(plain, expected) << channels << " channels, " << blocks << " blocks";
        }
    }
}

TEST(MsAdpcmDecoder, HandMadeBlocks)
{
    // Mono: pair 0, delta 16, iSamp1 100, iSamp2 50, codes +1, -1, +7, -8.
    std::vector<uint8_t> b = {0, 16, 0, 100, 0, 50, 0, 0x1F, 0x78};
    EXPECT_EQ(decode(b, 1, 100), (std::vector<int16_t>{50, 100, 116, 100, 212, -92}));

    // The prediction shifts (rounds down): (-1 x 192 + 0 x 64) >> 8 is -1, not 0.
    b = {3, 16, 0, 0xFF, 0xFF, 0, 0, 0x00};
    EXPECT_EQ(decode(b, 1, 4), (std::vector<int16_t>{0, -1, -1, -1}));

    // Stereo: the high nibble is the left channel.
    b = {0, 0, 16, 0, 16, 0, 10, 0, 20, 0, 1, 0, 2, 0, 0x1F};
    EXPECT_EQ(decode(b, 2, 3), (std::vector<int16_t>{1, 2, 10, 20, 26, 4}));
}

TEST(MsAdpcmDecoder, HostileBlocksFailCleanly)
{
    std::vector<int16_t> out(4096);
    std::vector<uint8_t> b(256, 0x88);
    b[0] = 7; // no such pair
    EXPECT_EQ(ms::decode_block(b.data(), b.size(), 1, 500, out.data()), -1);
    EXPECT_EQ(ms::decode_block(b.data(), 6, 1, 500, out.data()), 0);
    EXPECT_EQ(ms::decode_block(b.data(), 13, 2, 500, out.data()), 0);
    EXPECT_EQ(ms::decode_block(b.data(), b.size(), 3, 500, out.data()), -1);

    // Codes of -8 triple the delta each sample; it must saturate, not overflow.
    b[0] = 1;
    b[1] = 0xFF;
    b[2] = 0x7F;
    EXPECT_EQ(ms::decode_block(b.data(), b.size(), 1, 500, out.data()), 500);
    // A negative header delta is absurd but must not break the decoder either.
    b[2] = 0x80;
    EXPECT_EQ(ms::decode_block(b.data(), b.size(), 1, 500, out.data()), 500);
    // The frame limit holds even when the block says more.
    EXPECT_EQ(ms::decode_block(b.data(), b.size(), 1, 10, out.data()), 10);
}

TEST(MsAdpcmRoundTrip, MusicLikeSignalKeepsItsShape)
{
    // Sum of three tones and a little noise, 2036-frame blocks at 44.1 kHz.
    std::mt19937 rng(3);
    const int frames = 2036 * 20;
    std::vector<int16_t> x(static_cast<size_t>(frames) * 2);
    for (int n = 0; n < frames; ++n) {
        const double t = n / 44100.0;
        const double chord = std::sin(2 * M_PI * 261.63 * t) + std::sin(2 * M_PI * 329.63 * t) +
                             std::sin(2 * M_PI * 392.0 * t);
        x[2 * n] = static_cast<int16_t>(7000 * chord + static_cast<int>(rng() % 601) - 300);
        x[2 * n + 1] = static_cast<int16_t>(-6000 * chord + static_cast<int>(rng() % 601) - 300);
    }
    std::vector<int16_t> y;
    for (int at = 0; at < frames; at += 2036) {
        std::vector<int16_t> block(x.begin() + 2 * at, x.begin() + 2 * (at + 2036));
        std::vector<int16_t> d = decode(encode(block, 2), 2, 2036);
        ASSERT_EQ(d.size(), block.size());
        y.insert(y.end(), d.begin(), d.end());
    }
    EXPECT_GT(snr_db(x, y), 20.0);
}
