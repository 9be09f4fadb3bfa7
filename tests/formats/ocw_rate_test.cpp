// The OCW rate marker and the stretch that restores the rate.
#include "formats/ocw_rate.h"

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

TEST(OcwRate, MonoAtRatioTwoWritesThreeValuesPerSample)
{
    // K = 2: sample j lands at 2j, 2j + 1 and 2j + 2; the last is overwritten by j + 1.
    EXPECT_EQ(ocw::stretch_steps(2.0f), 2);
    const std::vector<int16_t> in = {0, 100, -100};
    const int16_t next = 1000;
    std::vector<int16_t> out(7, 12345);
    ocw::stretch(in.data(), 3, 1, &next, 2.0f, out.data(), out.size());
    EXPECT_EQ(out, (std::vector<int16_t>{0, 50, 100, 0, -100, 450, 1000}));

    // Without a next frame the last one is held, and nothing goes past the room given.
    std::vector<int16_t> held(6, 12345);
    ocw::stretch(in.data(), 3, 1, nullptr, 2.0f, held.data(), held.size());
    EXPECT_EQ(held, (std::vector<int16_t>{0, 50, 100, 0, -100, -100}));
}

TEST(OcwRate, StereoKeepsEachChannelInItsSlot)
{
    // r = 2.205, K = 2: frame j starts at trunc(2j x 2.205) rounded down to even.
    const std::vector<int16_t> in = {1000, -1000, 2000, -2000, 3000, -3000};
    std::vector<int16_t> out(14, 0);
    ocw::stretch(in.data(), 3, 2, nullptr, 2.205f, out.data(), out.size());
    EXPECT_EQ(out, (std::vector<int16_t>{1000, -1000, 1500, -1500, 2000, -2000, 2500, -2500, 3000,
                                         -3000, 3000, -3000, 3000, -3000}));
}

TEST(OcwRate, EachFrameKeepsItsValueAtItsOwnPosition)
{
    for (float r : {1.47f, 1.764f, 2.0f, 2.205f, 2.8224f}) {
        for (int channels = 1; channels <= 2; ++channels) {
            const int frames = 1000;
            std::vector<int16_t> in(static_cast<size_t>(frames) * channels);
            for (size_t i = 0; i < in.size(); ++i)
                in[i] = static_cast<int16_t>((i * 7919) % 20000 - 10000);
            const size_t words = static_cast<size_t>(frames * channels * r) & ~size_t{1};
            std::vector<int16_t> out(words, 0x7777);
            ocw::stretch(in.data(), frames, channels, nullptr, r, out.data(), words);
            for (int j = 0; j < frames; ++j) {
                size_t at = static_cast<size_t>(static_cast<double>(j) * channels * r);
                if (channels == 2)
                    at &= ~size_t{1};
                for (int c = 0; c < channels && at + c < words; ++c)
                    ASSERT_EQ(out[at + c], in[j * channels + c]) << r << " " << j;
            }
            // No word is left unwritten: the frames overlap, never leave gaps.
            for (size_t w = 0; w < words; ++w)
                ASSERT_NE(out[w], 0x7777) << r << " word " << w;
        }
    }
}
