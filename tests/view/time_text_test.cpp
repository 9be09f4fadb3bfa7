#include "editor/view/time_text.h"
#include "fake_document.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"

TEST(TimeText, SmpteAtEachFrameRate)
{
    EXPECT_EQ(smpte_text(90.0, 25), "00:01:30:00");
    EXPECT_EQ(smpte_text(1.5, 25), "00:00:01:12");
    EXPECT_EQ(smpte_text(1.5, 30), "00:00:01:15");
    EXPECT_EQ(smpte_text(1.5, 24), "00:00:01:12");
    EXPECT_EQ(smpte_text(3723.96, 25), "01:02:03:24");
    EXPECT_EQ(smpte_text(0.0, 30), "00:00:00:00");
    EXPECT_EQ(smpte_text(-2.0, 30), "00:00:00:00");
}

TEST(TimeText, ClockTextHasItsLeadingBlankAndThreeDigits)
{
    EXPECT_EQ(clock_text(3661.25), " 01:01:01.250");
    EXPECT_EQ(clock_text(0.0), " 00:00:00.000");
    // A fraction that rounds to a full second keeps three characters of "1000".
    EXPECT_EQ(clock_text(1.9999), " 00:00:01.100");
}

TEST(TimeText, ZoomReadout)
{
    EXPECT_EQ(zoom_readout_text(0.25f), "0.250");
    EXPECT_EQ(zoom_readout_text(16.0f), "   16");
    EXPECT_EQ(zoom_readout_text(1.0f), "    1");
    EXPECT_EQ(zoom_readout_text(2048.0f), " 2048");
}

TEST(TimeText, PositionInEveryFormat)
{
    // 90 s of 44.1 kHz stereo.
    auto doc = fake_document(2, 2L * 44100 * 90);
    const long at_1_5 = 2L * 44100 * 3 / 2;
    double seconds = 0;
    EXPECT_EQ(position_text(*doc, at_1_5, 1, &seconds), "  1.500 sec");
    EXPECT_DOUBLE_EQ(seconds, 1.5);
    EXPECT_EQ(position_text(*doc, at_1_5, 24), "00:00:01:12");
    EXPECT_EQ(position_text(*doc, at_1_5, 25), "00:00:01:12");
    EXPECT_EQ(position_text(*doc, at_1_5, 30), "00:00:01:15");
    EXPECT_EQ(position_text(*doc, doc->current.total_samples, 25), "00:01:30:00");
    EXPECT_EQ(position_text(*doc, at_1_5, 6), "33075"); // / block align (4)
    EXPECT_EQ(position_text(*doc, at_1_5, 7), "132300");
    EXPECT_EQ(position_text(*doc, doc->current.total_samples, 1), " 90.000 sec");
}

TEST(TimeText, PositionIsCountedAtTheTopLevelWhateverTheZoom)
{
    auto doc = fake_document(2, 2L * 44100 * 90);
    doc->current.level_samples[1] = doc->current.total_samples / 128; // the overview
    doc->current.zoom_level = 1;
    EXPECT_EQ(position_text(*doc, 2L * 44100 * 60, 25), "00:01:00:00");
}

TEST(TimeText, SecondsAndSampleWordsRoundTrip)
{
    auto doc = fake_document(1, 22050L * 10, 22050, 8);
    EXPECT_EQ(seconds_to_samples(*doc, 1.0), 22050);
    EXPECT_EQ(seconds_to_samples(*doc, 2.5), 55125);
    EXPECT_EQ(seconds_to_samples(*doc, 20.0), doc->current.total_samples);
    EXPECT_EQ(seconds_to_samples(*doc, -1.0), 0);
    for (long w : {0L, 1L, 12345L, 100000L, 220499L})
        EXPECT_NEAR(seconds_to_samples(*doc, position_seconds(*doc, w)), w, 1);
}

TEST(TimeText, EmptyDocumentReadsZero)
{
    auto doc = fake_document(2, 0);
    EXPECT_EQ(position_text(*doc, 0, 25), "00:00:00:00");
    EXPECT_EQ(seconds_to_samples(*doc, 3.0), 0);
}

class TimeFormatTest : public TestEnv
{
};

TEST_F(TimeFormatTest, ReadFromThePreferences)
{
    kel::profile::write_int("Preferences", "Time format", 30, kel::profile::app_profile());
    load_time_format();
    EXPECT_EQ(time_format(), 30);
    kel::profile::write_int("Preferences", "Time format", 17, kel::profile::app_profile());
    load_time_format();
    EXPECT_EQ(time_format(), 1);
}
