#include "editor/view/view_commands.h"
#include "editor/view/view_cursor.h"
#include "editor/view/view_highlight.h"
#include "editor/view/view_mouse.h"
#include "fake_document.h"

#include <gtest/gtest.h>

namespace {
// 60 s of stereo at the whole-file zoom: 4096 frames per pixel, data ends near x = 646;
// the waveform area is y 46..445.
constexpr long kMinute = 2L * 44100 * 60;

struct Fixture
{
    std::unique_ptr<CChildFrame> doc = fake_document(2, kMinute);
    ViewState view = view_of(800, 446);
    MouseSelection mouse;

    MouseResult click(int x, int y, bool shift = false)
    {
        mouse.press(*doc, view, x, y, shift);
        return mouse.release(*doc, view, x, y);
    }
    void drag(int x0, int x1, int y)
    {
        mouse.press(*doc, view, x0, y, false);
        mouse.move(*doc, view, x1, y);
        mouse.release(*doc, view, x1, y);
    }
};
} // namespace

TEST(MouseSelection, HeightOfTheClickChoosesTheChannels)
{
    Fixture f;
    f.drag(100, 200, 46 + 40); // 10% from the top of the waveform area
    EXPECT_EQ(f.doc->left_active, 1);
    EXPECT_EQ(f.doc->right_active, 0);
    EXPECT_EQ(f.doc->current.select_start, 100L * 4096 * 2);
    EXPECT_EQ(f.doc->current.select_end, 200L * 4096 * 2);
    EXPECT_EQ(f.doc->current.has_selection, 1);
    f.drag(300, 250, 46 + 200);
    EXPECT_EQ(f.doc->left_active, 1);
    EXPECT_EQ(f.doc->right_active, 1);
    EXPECT_EQ(f.doc->current.select_start, 250L * 4096 * 2); // dragged leftwards
    EXPECT_EQ(f.doc->current.select_end, 300L * 4096 * 2);
    f.drag(10, 20, 46 + 390);
    EXPECT_EQ(f.doc->left_active, 0);
    EXPECT_EQ(f.doc->right_active, 1);
    f.drag(30, 40, 46 + 99); // last line of the top quarter
    EXPECT_EQ(f.doc->right_active, 0);
    f.drag(50, 60, 46 + 100);
    EXPECT_EQ(f.doc->right_active, 1);
    EXPECT_EQ(f.doc->left_active, 1);
}

TEST(MouseSelection, MonoAlwaysTakesBothChannels)
{
    Fixture f;
    f.doc = fake_document(1, kMinute / 2);
    f.drag(100, 200, 50);
    EXPECT_EQ(f.doc->left_active, 1);
    EXPECT_EQ(f.doc->right_active, 1);
}

TEST(MouseSelection, ShiftClickMovesTheNearerEdge)
{
    Fixture f;
    f.drag(100, 200, 200);
    EXPECT_EQ(f.click(260, 200, true), MouseResult::Finished);
    EXPECT_EQ(f.doc->current.select_start, 100L * 8192);
    EXPECT_EQ(f.doc->current.select_end, 260L * 8192);
    f.click(140, 200, true); // inside, nearer the start
    EXPECT_EQ(f.doc->current.select_start, 140L * 8192);
    EXPECT_EQ(f.doc->current.select_end, 260L * 8192);
    f.click(20, 200, true);
    EXPECT_EQ(f.doc->current.select_start, 20L * 8192);
    EXPECT_EQ(f.doc->current.select_end, 260L * 8192);
}

TEST(MouseSelection, PlainClickLeavesACaretAndNoHighlight)
{
    Fixture f;
    f.drag(100, 200, 200);
    f.click(400, 200);
    EXPECT_EQ(f.doc->current.has_selection, 0);
    EXPECT_EQ(f.view.caret_placed, 1);
    EXPECT_EQ(f.view.caret_sample, 400L * 8192);
    // A click inside the section that does not drag is a plain click too.
    f.drag(100, 200, 200);
    f.click(150, 200);
    EXPECT_EQ(f.doc->current.has_selection, 0);
    EXPECT_EQ(f.view.caret_sample, 150L * 8192);
}

TEST(MouseSelection, DragThresholdIsFiveAcrossAndSixDown)
{
    Fixture f;
    f.drag(100, 200, 200);
    EXPECT_EQ(f.mouse.press(*f.doc, f.view, 150, 200, false), MouseResult::DragArmed);
    EXPECT_EQ(f.mouse.move(*f.doc, f.view, 155, 205), MouseResult::DragArmed);
    EXPECT_EQ(f.mouse.move(*f.doc, f.view, 156, 200), MouseResult::DragStarted);
    f.mouse.drag_done();
    EXPECT_EQ(f.mouse.press(*f.doc, f.view, 150, 200, false), MouseResult::DragArmed);
    EXPECT_EQ(f.mouse.move(*f.doc, f.view, 145, 194), MouseResult::DragStarted);
    f.mouse.drag_done();
    // The section is untouched by a drag.
    EXPECT_EQ(f.doc->current.select_start, 100L * 8192);
    EXPECT_EQ(f.doc->current.select_end, 200L * 8192);
}

TEST(MouseSelection, ClicksThatTakeNoSelection)
{
    Fixture f;
    EXPECT_EQ(f.mouse.press(*f.doc, f.view, 100, 10, false), MouseResult::RulerClick);
    EXPECT_EQ(f.mouse.press(*f.doc, f.view, 100, 30, false), MouseResult::Ignored);
    EXPECT_EQ(f.mouse.press(*f.doc, f.view, 700, 200, false), MouseResult::Ignored); // past data
    f.doc = fake_document(2, 8);
    EXPECT_EQ(f.mouse.press(*f.doc, f.view, 1, 200, false), MouseResult::Ignored);
}

TEST(ZoneCursor, FollowsTheZones)
{
    Fixture f;
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 5, false), ViewCursor::Cuelist);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 300, true), ViewCursor::Cuelist);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 20, false), ViewCursor::Arrow);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 700, 200, false), ViewCursor::Arrow);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 60, false), ViewCursor::LeftChannel);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 250, false), ViewCursor::LeftRight);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 440, false), ViewCursor::RightChannel);
    EXPECT_STREQ(cursor_name(ViewCursor::RightChannel), "RightChannelCursor");
    f.doc->video_source = 1; // the strip pushes everything down by 78
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 100, false), ViewCursor::Arrow);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 130, false), ViewCursor::LeftChannel);
    f.doc = fake_document(1, kMinute);
    EXPECT_EQ(zone_cursor(*f.doc, f.view, 100, 60, false), ViewCursor::LeftRight);
}

TEST(HighlightEdges, StepsOfFiveAndFiftyMilliseconds)
{
    Fixture f;
    EXPECT_EQ(move_highlight_edge(*f.doc, f.view, 11900), 0); // nothing highlighted
    f.doc->current.has_selection = 1;
    f.doc->current.select_start = 100000;
    f.doc->current.select_end = 200000;
    view_command(*f.doc, f.view, 11900);
    EXPECT_EQ(f.doc->current.select_start, 100000 - 4410);
    view_command(*f.doc, f.view, 11903);
    EXPECT_EQ(f.doc->current.select_start, 100000 - 4410 + 440);
    view_command(*f.doc, f.view, 11902);
    EXPECT_EQ(f.doc->current.select_start, 100000 - 4410);
    view_command(*f.doc, f.view, 11901);
    EXPECT_EQ(f.doc->current.select_end, 200000 + 4410);
    view_command(*f.doc, f.view, 11904);
    EXPECT_EQ(f.doc->current.select_end, 200000 + 4410 - 440);
    view_command(*f.doc, f.view, 11905);
    EXPECT_EQ(f.doc->current.select_end, 200000 + 4410);
}

TEST(HighlightEdges, HeldWithinTheDataAndTheCaretStillMoves)
{
    Fixture f;
    f.doc->current.has_selection = 1;
    f.doc->current.select_start = 100;
    f.doc->current.select_end = kMinute - 100;
    // 440 words are a twentieth of a pixel here: the caret moves one pixel anyway.
    view_command(*f.doc, f.view, 11902);
    EXPECT_EQ(f.doc->current.select_start, 0);
    EXPECT_FLOAT_EQ(f.view.caret_x, -1.0f);
    view_command(*f.doc, f.view, 11905);
    EXPECT_EQ(f.doc->current.select_end, kMinute - 1);
    EXPECT_FLOAT_EQ(f.view.caret_x, std::floor(sample_to_x(*f.doc, kMinute - 100)) + 1);
    // The edges do not cross.
    f.doc->current.select_start = 1000;
    f.doc->current.select_end = 1200;
    view_command(*f.doc, f.view, 11903);
    EXPECT_EQ(f.doc->current.select_start, 1200);
}

TEST(SelectAll, WholeFileBothChannels)
{
    Fixture f;
    f.doc->left_active = 0;
    EXPECT_EQ(view_command(*f.doc, f.view, 1020), 1);
    EXPECT_EQ(f.doc->current.has_selection, 1);
    EXPECT_EQ(f.doc->current.select_start, 0);
    EXPECT_EQ(f.doc->current.select_end, kMinute);
    EXPECT_EQ(f.doc->left_active, 1);
    EXPECT_EQ(view_command(*f.doc, f.view, 11303), -1); // not the view's
}

TEST(KeyRoute, TheViewsEntriesOfTheKeyTable)
{
    Fixture f;
    EXPECT_EQ(view_key_command(*f.doc, 'z', 0), 1898);
    EXPECT_EQ(view_key_command(*f.doc, 'u', 0), 1899);
    EXPECT_EQ(view_key_command(*f.doc, 'z', kKeyAlt), 87);
    EXPECT_EQ(view_key_command(*f.doc, 'u', kKeyAlt), 88);
    EXPECT_EQ(view_key_command(*f.doc, 'a', kKeyControl), 1020);
    EXPECT_EQ(view_key_command(*f.doc, 'b', kKeyControl), 11800);
    EXPECT_EQ(view_key_command(*f.doc, 'e', kKeyControl), 11801);
    EXPECT_EQ(view_key_command(*f.doc, 'h', kKeyControl), 11906);
    EXPECT_EQ(view_key_command(*f.doc, 'x', kKeyControl), 0); // the frame's
    EXPECT_EQ(view_key_command(*f.doc, 'q', 0), 0);
}
