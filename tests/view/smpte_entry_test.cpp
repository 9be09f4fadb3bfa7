// Typed SMPTE times: a table of good and bad texts, and random texts against a reference
// reading of the same rule.
#include "editor/view/smpte_entry.h"

#include <gtest/gtest.h>
#include <random>
#include <regex>

namespace {

struct Case
{
    const char* text;
    int rate;
    bool good;
    SmpteTime want;
};

TEST(SmpteEntry, TakesFourCheckedFieldsAndLeavesTheTimeAloneOtherwise)
{
    const Case cases[] = {
        {"01:02:03:04", 30, true, {1, 2, 3, 4}},
        {" 1 : 2 : 3 : 4 ", 30, true, {1, 2, 3, 4}},
        {"23:59:59:29", 30, true, {23, 59, 59, 29}},
        {"0:0:0:23", 24, true, {0, 0, 0, 23}},
        {"0:0:0:24", 24, false, {}},
        {"0:0:0:24", 25, true, {0, 0, 0, 24}},
        {"0:0:0:25", 25, false, {}},
        {"0:0:0:30", 30, false, {}},
        {"0:60:0:0", 30, false, {}},
        {"0:0:60:0", 30, false, {}},
        {"24:0:0:0", 30, false, {}},
        {"-1:0:0:0", 30, false, {}}, // "%u" would take it as 4294967295
        {"+1:0:0:0", 30, false, {}},
        {"4294967297:0:0:0", 30, false, {}}, // and this as 1
        {"1:2:3", 30, false, {}},
        {"1:2:3:4:5", 30, false, {}},
        {"1::3:4", 30, false, {}},
        {"1:2:3:4x", 30, false, {}},
        {"1:2:3:", 30, false, {}},
        {"1.5:2:3:4", 30, false, {}},
        {"", 30, false, {}},
    };
    for (const Case& c : cases) {
        SmpteTime t{9, 9, 9, 9};
        std::string error;
        EXPECT_EQ(parse_smpte_time(c.text, c.rate, t, &error), c.good) << c.text;
        const SmpteTime want = c.good ? c.want : SmpteTime{9, 9, 9, 9};
        EXPECT_EQ(t.hours, want.hours) << c.text;
        EXPECT_EQ(t.minutes, want.minutes) << c.text;
        EXPECT_EQ(t.seconds, want.seconds) << c.text;
        EXPECT_EQ(t.frames, want.frames) << c.text;
        EXPECT_EQ(error.empty(), c.good) << c.text;
    }
    std::string error;
    SmpteTime t;
    parse_smpte_time("1:2:3", 30, t, &error);
    EXPECT_EQ(error, "Please type the time as hours:minutes:seconds:frames.");
    parse_smpte_time("0:0:0:25", 25, t, &error);
    EXPECT_EQ(error, "The frames must be below 25 at 25 frames a second.");
    // The edits of a dialog go through the same rule.
    EXPECT_TRUE(parse_smpte_fields("1", " 2", "3 ", "4", 24, t));
    EXPECT_FALSE(parse_smpte_fields("1", "2", "3", "", 24, t));
    EXPECT_DOUBLE_EQ(smpte_seconds({1, 2, 3, 12}, 24), 3600 + 120 + 3 + 0.5);
    EXPECT_EQ(smpte_frame_rate(25), 25);
    EXPECT_EQ(smpte_frame_rate(1), 30);
}

TEST(SmpteEntry, RandomTextsAgreeWithAReferenceReading)
{
    const std::regex form(R"(^[ \t]*(\d{1,4})[ \t]*:[ \t]*(\d{1,4})[ \t]*:[ \t]*(\d{1,4})[ \t]*:)"
                          R"([ \t]*(\d{1,4})[ \t]*$)");
    // Mostly digits in three to five fields, now and then a blank, a sign or a letter.
    const char odd[] = " \t-+x";
    std::mt19937 random(1234);
    int accepted = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const int fields = 3 + static_cast<int>(random() % 3);
        for (int f = 0; f < fields; ++f) {
            if (f)
                text += ':';
            const int length = static_cast<int>(random() % 6);
            for (int i = 0; i < length; ++i)
                text += random() % 12 ? char('0' + random() % 10) : odd[random() % 5];
        }
        for (int rate : {24, 25, 30}) {
            std::smatch m;
            bool good = std::regex_match(text, m, form);
            if (good)
                good = std::stoi(m[1]) < 24 && std::stoi(m[2]) < 60 && std::stoi(m[3]) < 60 &&
                       std::stoi(m[4]) < rate;
            SmpteTime t;
            ASSERT_EQ(parse_smpte_time(text, rate, t), good) << "\"" << text << "\" " << rate;
            if (good) {
                ++accepted;
                EXPECT_EQ(t.frames, std::stoi(m[4]));
            }
        }
    }
    EXPECT_GT(accepted, 50); // the sample reached the good side too
}

} // namespace
