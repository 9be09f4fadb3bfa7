// The magnified plot: which frames it shows, where they land, and that the command leaves
// the document alone.
#include "editor/view/time_text.h"
#include "magnel/magnified_plot.h"
#include "tests/support/edit_fixture.h"

using namespace magnel;

namespace {

class MagnelTest : public EditTest
{
  protected:
    // Stereo 16-bit: frame f holds (f, -f) * 10.
    CChildFrame* ramp(long frames, uint32_t rate = 1000)
    {
        std::vector<int16_t> w;
        for (long f = 0; f < frames; ++f) {
            w.push_back(static_cast<int16_t>(f * 10));
            w.push_back(static_cast<int16_t>(-f * 10));
        }
        return open_doc(pcm16(w), 2, 16, rate);
    }
};

TEST(MagnelLayout, FewFramesSpreadOverTheWidthManyArePaged)
{
    PageLayout few = page_layout(10, 640);
    EXPECT_EQ(few.frames_per_page, 10);
    EXPECT_DOUBLE_EQ(few.pixels_per_frame, 64.0);
    EXPECT_EQ(frame_to_x(0, few.pixels_per_frame), 32);
    EXPECT_EQ(frame_to_x(9, few.pixels_per_frame), 608);
    PageLayout many = page_layout(100000, 640);
    EXPECT_EQ(many.frames_per_page, 640 / kMinPixelsPerFrame);
    EXPECT_DOUBLE_EQ(many.pixels_per_frame, kMinPixelsPerFrame);
    PageLayout one = page_layout(1, 640);
    EXPECT_EQ(frame_to_x(0, one.pixels_per_frame), 320);
    EXPECT_EQ(page_layout(0, 640).frames_per_page, 0);
    EXPECT_EQ(page_layout(5, 0).frames_per_page, 0);
    // The last page is kept full; a page never starts before the section.
    FrameRange r{100, 1000};
    EXPECT_EQ(page_start(r, many, 0), 100);
    EXPECT_EQ(page_start(r, many, 500), 500);
    EXPECT_EQ(page_start(r, many, 1099), 1100 - 160);
    EXPECT_EQ(page_start(FrameRange{0, 10}, few, 5), 0);
}

TEST(MagnelLayout, FullScaleReachesTheEdgesAndSilenceTheMiddle)
{
    EXPECT_EQ(sample_to_y(32767, 16, 151), 0);
    EXPECT_EQ(sample_to_y(-32767, 16, 151), 150);
    EXPECT_EQ(sample_to_y(-32768, 16, 151), 150) << "held at the bottom row";
    EXPECT_EQ(sample_to_y(0, 16, 151), 75);
    EXPECT_EQ(sample_to_y(16384, 16, 151), 37);
    EXPECT_EQ(sample_to_y(127, 8, 151), 0);
    EXPECT_EQ(sample_to_y(-128, 8, 151), 150);
    EXPECT_EQ(sample_to_y(0, 8, 151), 75);
    // Higher values are higher up, whatever the size.
    for (int v = -32000; v < 32000; v += 1000)
        EXPECT_GE(sample_to_y(v, 16, 150), sample_to_y(v + 1000, 16, 150)) << v;
    EXPECT_EQ(sample_to_y(1000, 16, 1), 0);
}

TEST_F(MagnelTest, TheSectionIsTakenInWholeFramesAndACaretShowsThePageAfterIt)
{
    CChildFrame* doc = ramp(100);
    ASSERT_TRUE(doc);
    FrameRange all = plotted_frames(*doc);
    EXPECT_EQ(all.first_frame, 0);
    EXPECT_EQ(all.frame_count, 100);
    select(doc, 21, 61);
    FrameRange part = plotted_frames(*doc);
    EXPECT_EQ(part.first_frame, 10);
    EXPECT_EQ(part.frame_count, 20);
    select(doc, 40, 40);
    FrameRange caret = plotted_frames(*doc);
    EXPECT_EQ(caret.first_frame, 20);
    EXPECT_EQ(caret.frame_count, 80) << "up to the end, less than a page";
    select(doc, 200, 200);
    EXPECT_EQ(plotted_frames(*doc).frame_count, 0);
}

TEST_F(MagnelTest, FramesAreReadPerChannelFromMappedAndUnmappedDocuments)
{
    CChildFrame* doc = ramp(1000);
    ASSERT_TRUE(doc);
    std::vector<std::vector<int>> v;
    ASSERT_TRUE(read_frames(*doc, 998, 5, v));
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0], (std::vector<int>{9980, 9990})) << "held at the end of the data";
    EXPECT_EQ(v[1], (std::vector<int>{-9980, -9990}));
    EXPECT_FALSE(read_frames(*doc, 1001, 1, v));
    EXPECT_FALSE(read_frames(*doc, -1, 1, v));

    // 8-bit mono: the bytes minus 128.
    CChildFrame* eight =
        open_doc(bytes8({0, 128, 255, 100, 130, 140, 150, 160, 170, 180}), 1, 8, 8000);
    ASSERT_TRUE(eight);
    ASSERT_TRUE(read_frames(*eight, 0, 4, v));
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0], (std::vector<int>{-128, 0, 127, -28}));

    // Fewer than 9 data bytes are never mapped; the frames are read from the file.
    CChildFrame* tiny = open_doc(pcm16({5, -6, 7, -8}), 2, 16, 8000);
    ASSERT_TRUE(tiny);
    ASSERT_FALSE(tiny->current.mapped[tiny->current.level_count]);
    ASSERT_TRUE(read_frames(*tiny, 1, 1, v));
    EXPECT_EQ(v[0], std::vector<int>{7});
    EXPECT_EQ(v[1], std::vector<int>{-8});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MagnelTest, APageScalesItsSamplesAndNamesTheTimeOfItsFirst)
{
    CChildFrame* doc = ramp(2000, 1000);
    ASSERT_TRUE(doc);
    PageLayout l = page_layout(2000, 640);
    PlotPage page;
    ASSERT_TRUE(build_page(*doc, 500, l, 151, kTimeWords, page));
    EXPECT_EQ(page.first_frame, 500);
    EXPECT_EQ(page.frame_count, 160);
    ASSERT_EQ(page.channels.size(), 2u);
    EXPECT_EQ(page.channels[0][0].value, 5000);
    EXPECT_EQ(page.channels[1][0].value, -5000);
    EXPECT_EQ(page.channels[0][0].y, sample_to_y(5000, 16, 151));
    EXPECT_EQ(page.channels[0][1].x, frame_to_x(1, l.pixels_per_frame));
    EXPECT_EQ(page.first_time, "1000") << "sample words of the first frame";
    ASSERT_TRUE(build_page(*doc, 500, l, 151, kTimeSeconds, page));
    EXPECT_EQ(page.first_time, "  0.500 sec");
    ASSERT_TRUE(build_page(*doc, 500, l, 151, 25, page));
    EXPECT_EQ(page.first_time, smpte_text(0.5, 25));
}

TEST_F(MagnelTest, TheWindowPagesThroughTheSectionOnly)
{
    CChildFrame* doc = ramp(1000);
    ASSERT_TRUE(doc);
    select(doc, 2 * 100, 2 * 500); // frames 100 .. 499
    MagnifiedPlotDialog d(*doc, kTimeWords);
    d.on_open();
    EXPECT_EQ(d.caption(), std::string("Magnified Image - ") + doc->file_title);
    EXPECT_EQ(d.page().first_frame, 100);
    EXPECT_EQ(d.frames_text(), "Frames 1 - 160 of 400");
    EXPECT_EQ(d.start_text(), "Start: 200");
    EXPECT_EQ(d.channel_name(0), "Left");
    EXPECT_EQ(d.channel_name(1), "Right");
    EXPECT_FALSE(d.has_previous());
    ASSERT_TRUE(d.has_next());
    d.next_page();
    EXPECT_EQ(d.frames_text(), "Frames 161 - 320 of 400");
    d.next_page();
    EXPECT_EQ(d.frames_text(), "Frames 241 - 400 of 400") << "the last page is full";
    EXPECT_FALSE(d.has_next());
    EXPECT_EQ(d.page().channels[0].back().value, 4990);
    d.next_page();
    EXPECT_EQ(d.page().first_frame, 340);
    d.previous_page();
    EXPECT_EQ(d.page().first_frame, 180);
    d.previous_page();
    d.previous_page();
    EXPECT_EQ(d.page().first_frame, 100);
    d.go_to(1000);
    EXPECT_EQ(d.page().first_frame, 340);
    d.go_to(50);
    EXPECT_EQ(d.page().first_frame, 150);
    EXPECT_TRUE(d.readable());
}

TEST_F(MagnelTest, TheCommandShowsTheWindowAndChangesNothing)
{
    CChildFrame* doc = ramp(300);
    ASSERT_TRUE(doc);
    const std::string before = contents(doc);
    bool seen = false;
    ui.on_dialog("MAGNIFIEDPLOT", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<MagnifiedPlotDialog&>(m);
        seen = true;
        EXPECT_EQ(d.range().frame_count, 300);
        EXPECT_EQ(d.start_text(), "Start: " + position_text(*doc, 0, 30));
        EXPECT_EQ(d.channels(), 2);
        d.close();
    });
    EXPECT_EQ(doc->display_magnified_plot(nullptr, doc->window, 30), 1);
    EXPECT_TRUE(seen);
    EXPECT_EQ(contents(doc), before);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(doc->is_modified, 0);
    // Nothing to show: a beep and no window.
    CChildFrame* empty = open_doc("", 1, 16, 8000);
    ASSERT_TRUE(empty);
    ui.dialogs_run.clear();
    EXPECT_EQ(empty->display_magnified_plot(nullptr, empty->window, 1), 0);
    EXPECT_TRUE(ui.dialogs_run.empty());
    EXPECT_EQ(ui.beeps, 1);
}

} // namespace
