// The marker table's rules and markers following the sound through length-changing edits.
#include "editor/commands/command_ids.h"
#include "editor/document/markers.h"
#include "editor/edit/edit_commands.h"
#include "tests/support/edit_fixture.h"

#include <map>

namespace {

class MarkersTest : public EditTest
{
  protected:
    CChildFrame* mono(long words = 1000)
    {
        return open_doc(pcm16(noise16(static_cast<size_t>(words), 7)), 1, 16, 8000);
    }
    static std::vector<long> positions(CChildFrame* doc)
    {
        std::vector<long> out;
        for (const Marker& m : markers_of(*doc).entries)
            out.push_back(m.position);
        return out;
    }
    static std::vector<std::string> names(CChildFrame* doc)
    {
        std::vector<std::string> out;
        for (const Marker& m : markers_of(*doc).entries)
            out.push_back(m.name);
        return out;
    }
};

TEST_F(MarkersTest, TableHoldsFortyNineAndRefusesAPairWithoutRoom)
{
    CChildFrame* doc = mono();
    ASSERT_NE(doc, nullptr);
    for (int i = 0; i < 50; ++i)
        make_timemark(*doc, 10 * i, false, 0, false);
    EXPECT_EQ(markers_of(*doc).count(), kMaxMarkers);
    EXPECT_EQ(markers_of(*doc).entries[3].name, "Marker 30");

    // One place left: a pair does not fit, and nothing of it is added.
    delete_marker(*doc, 0);
    select(doc, 100, 200);
    EXPECT_EQ(mark_selection(*doc), 0);
    EXPECT_EQ(markers_of(*doc).count(), kMaxMarkers - 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Too many timemarks");
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(MarkersTest, PairsSurviveDeletionsAroundThemAndHitTestTakesTheFirstMade)
{
    CChildFrame* doc = mono();
    add_marker(*doc, 10, "a");
    select(doc, 100, 300);
    ASSERT_EQ(mark_selection(*doc), 1); // entries 1 and 2
    add_marker(*doc, 500, "b");
    select(doc, 600, 700);
    ASSERT_EQ(mark_selection(*doc), 1); // entries 4 and 5
    MarkerTable& t = markers_of(*doc);
    EXPECT_EQ(t.entries[1].partner, 2);
    EXPECT_EQ(t.entries[2].end_flag, 1);
    EXPECT_EQ(t.entries[1].name, "Marker 100");

    // Deleting before a pair moves its partner index with it.
    delete_marker(*doc, 0);
    EXPECT_EQ(t.entries[0].partner, 1);
    EXPECT_EQ(t.entries[3].partner, 4);
    // Deleting a pair's start leaves its end a single marker.
    delete_marker(*doc, 3);
    EXPECT_EQ(t.count(), 4);
    EXPECT_EQ(t.entries[3].position, 700);
    EXPECT_EQ(t.entries[3].end_flag, 0);
    EXPECT_EQ(flag_look(t, 3, false), FlagLook::Single);
    EXPECT_EQ(flag_look(t, 0, false), FlagLook::PairStart);
    EXPECT_EQ(flag_look(t, 1, false), FlagLook::End);
    // Deleting a pair's end makes its start single.
    delete_marker(*doc, 1);
    EXPECT_EQ(t.entries[0].partner, -1);

    // Two markers that fall in one column: the one made first is hit.
    MarkerTable two;
    two.entries = {Marker{400, "first"}, Marker{402, "second"}};
    auto column = [](long p) { return static_cast<double>(p / 10); };
    const double bottom = 200;
    EXPECT_EQ(marker_at(two, 40, bottom - 5, bottom, column), 0);
    EXPECT_EQ(marker_at(two, 44, bottom - 13, bottom, column), 0);
    EXPECT_EQ(marker_at(two, 45, bottom - 5, bottom, column), -1);
    EXPECT_EQ(marker_at(two, 40, bottom - 1, bottom, column), -1);
    EXPECT_EQ(marker_at(two, 40, bottom - 14, bottom, column), -1);
    EXPECT_EQ(marker_description(two.entries[1], "0.05"), "second, Time: 0.05");

    erase_markers(*doc);
    EXPECT_EQ(markers_of(*doc).count(), 0);
}

TEST_F(MarkersTest, NameOnTheFlyRefusesEmptyAndCancelKeepsThePositionName)
{
    CChildFrame* doc = open_doc(pcm16(noise16(2000, 3)), 2, 16, 8000);
    bool empty_refused = false;
    ui.on_dialog("ENTERMARKERNAME", [&](kel::DialogModel& m) {
        auto& d = static_cast<MarkerNameDialog&>(m);
        empty_refused = !d.ok() && !d.ended();
        d.set_name(std::string(40, 'x'));
        d.ok();
    });
    // While playing the position is the playing one, on a whole frame.
    ASSERT_EQ(make_timemark(*doc, 10, true, 301, true), 0);
    EXPECT_TRUE(empty_refused);
    EXPECT_EQ(markers_of(*doc).entries[0].name, std::string(29, 'x'));
    EXPECT_EQ(markers_of(*doc).entries[0].position, 300);
    ui.on_dialog("ENTERMARKERNAME",
                 [](kel::DialogModel& m) { static_cast<MarkerNameDialog&>(m).cancel(); });
    ASSERT_EQ(make_timemark(*doc, 1000, false, 0, true), 1);
    EXPECT_EQ(markers_of(*doc).entries[1].name, "Marker 1000");
}

TEST_F(MarkersTest, ChosenPairsHighlightAndDraggedMarkersStayOnFramesAndInsideTheirPair)
{
    CChildFrame* doc = open_doc(pcm16(noise16(2000, 5)), 2, 16, 8000); // 1000 frames
    add_marker(*doc, 100, "single");
    select(doc, 400, 800);
    ASSERT_EQ(mark_selection(*doc), 1); // 1 -> 2
    select(doc, 0, 0, 0);
    MarkerTable& t = markers_of(*doc);

    // Either flag of the pair highlights it; a single one puts the cursor there.
    EXPECT_EQ(choose_marker(*doc, 2), 1);
    EXPECT_EQ(doc->current.select_start, 400);
    EXPECT_EQ(doc->current.select_end, 800);
    EXPECT_EQ(choose_marker(*doc, 0), 0);
    EXPECT_EQ(doc->current.has_selection, 0);
    EXPECT_EQ(doc->current.select_start, 100);

    // Odd words snap to the frame; a start stops a frame before its end, an end a frame
    // after its start, and nothing leaves the sound.
    move_marker(*doc, 0, 333);
    EXPECT_EQ(t.entries[0].position, 332);
    move_marker(*doc, 1, 5000);
    EXPECT_EQ(t.entries[1].position, 798);
    move_marker(*doc, 2, -50);
    EXPECT_EQ(t.entries[2].position, 800);
    move_marker(*doc, 0, 99999);
    EXPECT_EQ(t.entries[0].position, 2000);
    move_marker(*doc, 1, 10);
    EXPECT_EQ(t.entries[1].position, 10);
    EXPECT_EQ(t.entries[1].partner, 2);
    EXPECT_EQ(t.entries[2].end_flag, 1);
}

// A reference model: every marker as the sound sample it sits on, followed through the
// same edits the document makes.
TEST_F(MarkersTest, MarkersStayWithTheSoundThroughCutPasteAndCrop)
{
    CChildFrame* doc = mono(1000);
    for (long p : {100L, 200L, 250L, 299L, 300L, 400L})
        add_marker(*doc, p, default_marker_name(p));

    select(doc, 200, 300);
    ASSERT_EQ(edit_cut(*doc), 1);
    EXPECT_EQ(doc->current.total_samples, 900);
    EXPECT_EQ(positions(doc), (std::vector<long>{100, 200, 300}));
    EXPECT_EQ(names(doc), (std::vector<std::string>{"Marker 100", "Marker 300", "Marker 400"}));

    // The 100 words cut go back in at 50: everything from there moves on by 100.
    select(doc, 50, 50, 0);
    ASSERT_EQ(edit_paste(*doc), 1);
    ASSERT_EQ(doc->current.total_samples, 1000);
    EXPECT_EQ(positions(doc), (std::vector<long>{200, 300, 400}));

    // Crop keeps a span: what lies outside goes, what is inside moves to the front.
    select(doc, 250, 900);
    ASSERT_EQ(edit_crop(*doc), 1);
    ASSERT_EQ(doc->current.total_samples, 650);
    EXPECT_EQ(positions(doc), (std::vector<long>{50, 150}));
    EXPECT_EQ(names(doc), (std::vector<std::string>{"Marker 300", "Marker 400"}));

    // Undo moves them back and returns what the crop took; redo crops them again.
    ASSERT_EQ(edit_command(*doc, cmd::kUndo), 1);
    EXPECT_EQ(positions(doc), (std::vector<long>{300, 400, 200}));
    ASSERT_EQ(edit_command(*doc, cmd::kRedo), 1);
    EXPECT_EQ(positions(doc), (std::vector<long>{50, 150}));
}

} // namespace
