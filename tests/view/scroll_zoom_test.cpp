#include "editor/view/view_commands.h"
#include "editor/view/view_scroll.h"
#include "editor/view/view_zoom.h"
#include "fake_document.h"

#include <gtest/gtest.h>

namespace {
constexpr long kMinute = 2L * 44100 * 60; // stereo words
constexpr long kHour = 60 * kMinute;
} // namespace

TEST(Zoom, StepsBetweenTheWholeFileAndOneFramePerPixel)
{
    auto doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    ASSERT_EQ(doc->current.level_count, 13);
    ASSERT_FLOAT_EQ(doc->current.base_factor, 4096.0f);
    EXPECT_EQ(zoom_out(*doc, view), 0); // whole file already
    int steps = 0;
    while (zoom_in(*doc, view))
        ++steps;
    EXPECT_EQ(steps, 12);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 4096.0f);
    EXPECT_EQ(doc->current.zoom_level, 13);
    EXPECT_DOUBLE_EQ(frames_per_pixel(*doc), 1.0);
    EXPECT_EQ(zoom_in(*doc, view), 0); // one frame per pixel already
    EXPECT_EQ(zoom_out(*doc, view), 1);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 2048.0f);
    EXPECT_EQ(doc->current.zoom_level, 12);
}

TEST(Zoom, MinimumAndMaximumJumpToTheEnds)
{
    auto doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    EXPECT_EQ(view_command(*doc, view, 87), 1);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 4096.0f);
    EXPECT_EQ(doc->current.zoom_level, 13);
    EXPECT_EQ(view_command(*doc, view, 87), 0);
    EXPECT_EQ(view_command(*doc, view, 88), 1);
    // The whole file across the 800 pixels: 2646000 frames at 4096 / zoom per pixel.
    EXPECT_NEAR(doc->current.zoom_factor, 4096.0 * 800 / (kMinute / 2), 1e-4);
    EXPECT_NEAR(sample_to_x(*doc, kMinute), 800.0, 0.01);
    EXPECT_EQ(doc->current.zoom_level, 1);
    EXPECT_EQ(view_command(*doc, view, 88), 0);
    EXPECT_EQ(view_command(*doc, view, 1899), 0); // no zooming out past the whole file
    EXPECT_EQ(doc->first_visible, 0);
}

TEST(Zoom, TinyDocumentsKeepTheirZoom)
{
    auto doc = fake_document(2, 8);
    ViewState view = view_of(800, 446);
    EXPECT_EQ(zoom_in(*doc, view), 0);
    EXPECT_EQ(maximum_zoom(*doc, view), 0);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 1.0f);
    EXPECT_EQ(doc->current.zoom_level, 1);
}

TEST(Zoom, ZoomingOutPullsTheViewBackToData)
{
    auto doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    maximum_zoom(*doc, view);
    go_to_end(*doc, view);
    EXPECT_GT(doc->first_visible, kMinute - 2 * 800);
    minimum_zoom(*doc, view);
    EXPECT_EQ(doc->first_visible, 0);
    EXPECT_EQ(view.scroll.bar_maximum, 0);
}

TEST(Scroll, StepPageAndRangeAtAMiddleZoom)
{
    auto doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    doc->current.zoom_factor = 1024.0f; // 4 frames per pixel
    compute_scroll(*doc, view);
    EXPECT_EQ(view.scroll.step, 640);  // 80 pixels * 4 frames * 2 words
    EXPECT_EQ(view.scroll.page, 5760); // 720 pixels
    EXPECT_EQ(view.scroll.divisor, 1);
    // The last position leaves no more than one step of the window beyond the data.
    EXPECT_EQ(view.scroll.range, 8259);
    EXPECT_EQ(view.scroll.bar_maximum, 8259);
    const long last = first_visible_for_bar(*doc, view.scroll, view.scroll.bar_maximum);
    EXPECT_LT(last, kMinute);
    EXPECT_GE(last + 800 * 8, kMinute);
    EXPECT_LT(last + 800 * 8 - view.scroll.step, kMinute);
}

TEST(Scroll, LongFilesHalveTheRangeAndRoundTrip)
{
    auto doc = fake_document(2, kHour);
    ViewState view = view_of(1000, 446);
    doc->current.zoom_factor = doc->current.base_factor; // one frame per pixel
    compute_scroll(*doc, view);
    EXPECT_EQ(view.scroll.step, 200);
    EXPECT_EQ(view.scroll.divisor, 64);
    EXPECT_LE(view.scroll.bar_maximum, 32767);
    EXPECT_GT(view.scroll.bar_maximum, 16383);
    for (int bar : {0, 1, 2, 777, 12345, view.scroll.bar_maximum - 1, view.scroll.bar_maximum}) {
        scroll_to_bar(*doc, view, bar);
        EXPECT_EQ(doc->first_visible % 2, 0);
        compute_scroll(*doc, view);
        EXPECT_EQ(view.scroll.bar_value, bar) << bar;
    }
}

TEST(Scroll, SmallRangesAreStretchedToAThousand)
{
    auto doc = fake_document(2, 2L * 44100 * 10); // base 1024
    ViewState view = view_of(800, 446);
    doc->current.zoom_factor = 16.0f; // 64 frames per pixel
    compute_scroll(*doc, view);
    const long step = 80 * 64 * 2;
    EXPECT_EQ(view.scroll.step, step);
    ASSERT_GE(view.scroll.range, 1);
    ASSERT_LT(view.scroll.range, 1000);
    EXPECT_EQ(view.scroll.bar_maximum, 1000);
    EXPECT_DOUBLE_EQ(view.scroll.stretch, 1000.0 / view.scroll.range);
    // Every position is reachable and maps back to its own bar value.
    for (long p = 0; p <= view.scroll.range; ++p) {
        doc->first_visible = p * step;
        compute_scroll(*doc, view);
        const int bar = view.scroll.bar_value;
        EXPECT_EQ(first_visible_for_bar(*doc, view.scroll, bar), p * step);
    }
}

TEST(Scroll, WholeFileViewHasNothingToScroll)
{
    auto doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    doc->first_visible = 10000;
    update_scroll(*doc, view);
    EXPECT_EQ(view.scroll.bar_maximum, 0);
    EXPECT_EQ(doc->first_visible, 0);
}

TEST(Scroll, GoToBeginningEndAndHighlight)
{
    auto doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    doc->current.zoom_factor = 1024.0f;
    update_scroll(*doc, view);
    go_to_end(*doc, view);
    EXPECT_EQ(doc->first_visible, 8259L * 640);
    go_to_beginning(*doc, view);
    EXPECT_EQ(doc->first_visible, 0);

    EXPECT_EQ(go_to_highlight(*doc, view), 0); // nothing highlighted
    doc->current.has_selection = 1;
    doc->current.select_start = 100000;
    doc->current.select_end = 120000;
    EXPECT_EQ(go_to_highlight(*doc, view), 1);
    EXPECT_EQ(doc->first_visible, 100000 - 640);
    EXPECT_FLOAT_EQ(doc->select_x_start, 80.0f); // a tenth of the width
    doc->current.select_start = 600;             // nearer than a tenth: stays
    doc->first_visible = 4000;
    EXPECT_EQ(go_to_highlight(*doc, view), 0);
    EXPECT_EQ(doc->first_visible, 4000);
    doc->current.zoom_factor = 1.0f; // a tenth of the width is 655360 words here
    doc->current.select_start = 700000;
    EXPECT_EQ(go_to_highlight(*doc, view), 1);
    EXPECT_EQ(doc->first_visible, 0);
}
