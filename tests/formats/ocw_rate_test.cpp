// The OCW rate marker and the stretch that restores the rate.
#include "formats/ocw_rate.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace ocw = kel::ocw;

TEST(OcwRate, TheFiveMarkersMapBackToTheirRatios)
{
    struct Row
    {
        float r;
        uint32_t marker;
    };
    const Row rows[] = {
        {1.47f, 29999}, {1.764f, 24999}, {2.0f, 22050}, {2.205f, 20000}, {2.8224f, 15624}};
    for (const Row& row : rows) {
        EXPECT_EQ(ocw::marker_for_ratio(row.r), row.marker) << row.r;
        EXPECT_EQ(ocw::ratio_for_marker(row.marker), row.r) << row.marker;
    }
    // The two ratios readers know but the encoder does not offer.
    EXPECT_EQ(ocw::ratio_for_marker(ocw::marker_for_ratio(4.032f)), 4.032f);
    EXPECT_EQ(ocw::ratio_for_marker(ocw::marker_for_ratio(6.0995f)), 6.0995f);
    // k = 10, and markers of plain files, name no ratio.
    EXPECT_EQ(ocw::ratio_for_marker(44100), 0.0f);
    EXPECT_EQ(ocw::ratio_for_marker(44408), 0.0f);
    EXPECT_EQ(ocw::ratio_for_marker(0), 0.0f);
}

namespace {

// The whole stream through the stretcher, fed in blocks of `block` frames; `next` (if
// any) is the first frame of what follows, so the stream is not finished.
std::vector<int16_t> stretched(const std::vector<int16_t>& in, int channels, float r,
                               const int16_t* next = nullptr, size_t block = 1u << 30)
{
    ocw::Stretcher s(r, channels);
    const size_t frames = in.size() / channels;
    std::vector<int16_t> out(s.room_for(frames + 1) * channels + 16);
    size_t n = 0;
    for (size_t at = 0; at < frames; at += block)
        n += s.push(&in[at * channels], std::min(block, frames - at), &out[n * channels]);
    n += next ? s.push(next, 1, &out[n * channels]) : s.finish(&out[n * channels]);
    out.resize(n * channels);
    return out;
}

} // namespace

TEST(OcwRate, MonoAtRatioTwoWritesThreeValuesPerSample)
{
    // K = 2: sample j lands at 2j, 2j + 1 and 2j + 2; the last is overwritten by j + 1.
    EXPECT_EQ(ocw::stretch_steps(2.0f), 2);
    const std::vector<int16_t> in = {0, 100, -100};
    const int16_t next = 1000;
    EXPECT_EQ(stretched(in, 1, 2.0f, &next), (std::vector<int16_t>{0, 50, 100, 0, -100, 450}));
    // Without a next frame the last one is held.
    EXPECT_EQ(stretched(in, 1, 2.0f), (std::vector<int16_t>{0, 50, 100, 0, -100, -100}));
}

TEST(OcwRate, StereoKeepsEachChannelInItsSlot)
{
    // r = 2.205, K = 2: frame j starts at trunc(2j x 2.205) rounded down to even.
    const std::vector<int16_t> in = {1000, -1000, 2000, -2000, 3000, -3000};
    EXPECT_EQ(stretched(in, 2, 2.205f),
              (std::vector<int16_t>{1000, -1000, 1500, -1500, 2000, -2000, 2500, -2500, 3000, -3000,
                                    3000, -3000}));
}

TEST(OcwRate, EveryFrameSitsAtItsPlaceInTheWholeStreamHoweverTheBlocksAreCut)
{
    for (float r : {1.47f, 1.764f, 2.0f, 2.205f, 2.8224f, 6.0995f}) {
        for (int channels = 1; channels <= 2; ++channels) {
            const int frames = 5000;
            std::vector<int16_t> in(static_cast<size_t>(frames) * channels);
            for (size_t i = 0; i < in.size(); ++i)
                in[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
            const std::vector<int16_t> whole = stretched(in, channels, r);
            const size_t length = static_cast<size_t>(static_cast<double>(frames) * r);
            ASSERT_EQ(whole.size(), length * channels) << r;
            for (int j = 0; j < frames; ++j) {
                size_t at = static_cast<size_t>(static_cast<double>(j) * channels * r);
                if (channels == 2)
                    at &= ~size_t{1};
                for (int c = 0; c < channels; ++c)
                    ASSERT_EQ(whole[at + c], in[j * channels + c]) << r << " " << j;
            }
            // Blocks of any size, the odd ones included, give the same stream.
            for (size_t block : {1u, 7u, 500u, 1012u, 4999u})
                ASSERT_EQ(stretched(in, channels, r, nullptr, block), whole) << r << " " << block;
        }
    }
}
