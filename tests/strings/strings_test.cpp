#include "editor/strings.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(StringTable, IdsStrictlyAscendingAndEachFoundByLookup)
{
    const auto& ids = string_table_ids();
    ASSERT_FALSE(ids.empty());
    for (size_t i = 1; i < ids.size(); ++i)
        EXPECT_LT(ids[i - 1], ids[i]) << "at index " << i;
    // The binary search must reach every entry, including the first and last.
    for (int id : ids)
        EXPECT_NE(string_table_text(id), nullptr) << id;
}

TEST(StringTable, TextsNonEmptyAndFitNewErrMsgBuffer)
{
    // NewErrMsg keeps at most 127 characters; a longer text would be cut.
    for (int id : string_table_ids()) {
        const char* text = string_table_text(id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_GT(std::strlen(text), 0u) << id;
        EXPECT_LE(std::strlen(text), 127u) << id;
    }
}

TEST(StringTable, UnknownIdsGiveNull)
{
    // Next to real entries, below the first and past the last: a lookup that returns
    // the nearest entry instead of none fails here.
    for (int id : {0, -1, 14, 22, 5005, 5013, 5072, 5074, 12101, 99999})
        EXPECT_EQ(string_table_text(id), nullptr) << id;
}

TEST(StringTable, MessageTextsExact)
{
    EXPECT_STREQ(string_table_text(5001), "Cannot allocate memory.");
    EXPECT_STREQ(string_table_text(5026), "Can't allocate transfer buffer");
    EXPECT_STREQ(string_table_text(5031), "Cannot write output WAVE file.");
    EXPECT_STREQ(string_table_text(5038), "Truncated input file.");
    EXPECT_STREQ(string_table_text(5039), "Input file is not a PCM_WAVE file.");
    EXPECT_STREQ(string_table_text(5042), "No 'data' chunk in input file.");
    EXPECT_STREQ(string_table_text(5014),
                 "MQX32M interface not responding or not installed.\nPlease try again.");
}

TEST(StringTable, CommandEntriesSplitIntoStatusAndTip)
{
    EXPECT_STREQ(string_table_text(11904), "Move end of selctiion earlier\nR hilight <-");
    EXPECT_STREQ(string_table_text(12001), "Stereo Record / Playback Level\nRecord/Playback level");
    // Tool bars cut at the first line feed: both halves must be present.
    for (int id : {170, 11309, 11401, 11402, 11403, 11902, 11904, 12001, 12100}) {
        const char* text = string_table_text(id);
        ASSERT_NE(text, nullptr) << id;
        const char* lf = std::strchr(text, '\n');
        ASSERT_NE(lf, nullptr) << id;
        EXPECT_NE(lf, text) << id;
        EXPECT_NE(lf[1], '\0') << id;
    }
}

TEST(StringTable, ButtonBitmapNames)
{
    EXPECT_STREQ(string_table_text(367), "bigsave");
    EXPECT_STREQ(string_table_text(1880), "view");
    EXPECT_STREQ(string_table_text(10813), "invrec");
    // Disabled module buttons must find no name so that they draw "blank".
    for (int id : {367, 370, 372, 373, 1039, 1405, 1880})
        EXPECT_EQ(string_table_text(id + 9000), nullptr) << id;
}
