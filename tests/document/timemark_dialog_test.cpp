// The time-mark dialog's model: renaming, pairing, deleting an interval, its refusals,
// moving the view, and the trigger section without and with the synchronisation hook.
#include "editor/devices/playback_controller.h"
#include "editor/document/markers.h"
#include "editor/document/timemark_dialog.h"
#include "editor/sync/smpte.h"
#include "editor/view/time_text.h"
#include "platform/process.h"
#include "tests/support/edit_fixture.h"

#include <csignal>
#include <sys/stat.h>

namespace {

class TimemarkDialogTest : public EditTest
{
  protected:
    void TearDown() override
    {
        timemark_trigger_hook = nullptr;
        set_time_format(kTimeSeconds);
        EditTest::TearDown();
    }
    CChildFrame* mono(long words = 8000)
    {
        return open_doc(pcm16(noise16(static_cast<size_t>(words), 3)), 1, 16, 8000);
    }
    // Every end marker is the partner of exactly one start, and every partner an end.
    static void expect_consistent(const MarkerTable& t)
    {
        for (int i = 0; i < t.count(); ++i) {
            int starts = 0;
            for (const Marker& m : t.entries)
                starts += m.partner == i;
            EXPECT_EQ(starts, t.entries[i].end_flag) << "marker " << i;
            if (t.entries[i].partner >= 0) {
                EXPECT_EQ(t.entries[t.entries[i].partner].end_flag, 1);
                EXPECT_EQ(t.entries[i].end_flag, 0) << "a start is not also an end";
            }
        }
    }
    static int entry_of(const TimemarkDialog& d, int marker)
    {
        const auto& c = d.combo_markers();
        return static_cast<int>(std::find(c.begin(), c.end(), marker) - c.begin());
    }
    static std::string fingerprint(const MarkerTable& t)
    {
        std::string s;
        for (const Marker& m : t.entries)
            s += m.name + "@" + std::to_string(m.position) + "/" + std::to_string(m.partner) + "/" +
                 std::to_string(m.end_flag) + ";";
        return s;
    }
};

TEST_F(TimemarkDialogTest, RenamesPairsAndRepairsKeepingTheTableConsistent)
{
    CChildFrame* doc = mono();
    add_marker(*doc, 100, "a");
    add_marker(*doc, 300, "b");
    add_marker(*doc, 500, "c");
    std::snprintf(doc->file_title, sizeof doc->file_title, "%s", "song.wav");
    MarkerTable& t = markers_of(*doc);

    TimemarkDialog d(*doc, 0);
    EXPECT_EQ(d.title(), "      Time Markers / Intervals for song.wav");
    EXPECT_EQ(d.start_name, "a");
    EXPECT_EQ(d.combo_markers(), (std::vector<int>{1, 2}));
    // "Use existing" with nothing chosen is refused and changes nothing.
    const std::string before = fingerprint(t);
    d.click(TimemarkDialog::kUseExisting);
    EXPECT_FALSE(d.ok());
    EXPECT_FALSE(d.ended());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Please select an existing marker from the combo box.");
    EXPECT_EQ(fingerprint(t), before);

    // Choosing c moves the view to it; an empty end name leaves its name.
    doc->first_visible = 0;
    doc->current.base_factor = 1.0f; // one frame per pixel
    doc->current.zoom_factor = 1.0f;
    d.select_combo(entry_of(d, 2));
    EXPECT_EQ(doc->first_visible, 500 - 40);
    EXPECT_EQ(d.stop_position(), 500);
    d.set_start_name("Intro");
    d.set_end_name("");
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.end_code(), kel::kIdOk);
    EXPECT_EQ(t.entries[0].name, "Intro");
    EXPECT_EQ(t.entries[2].name, "c");
    EXPECT_EQ(t.entries[0].partner, 2);
    EXPECT_EQ(t.entries[2].end_flag, 1);
    expect_consistent(t);

    // Opened again on the pair it shows its end; pairing with b frees c.
    TimemarkDialog again(*doc, 0);
    EXPECT_EQ(again.end_mode(), TimemarkDialog::EndMode::Existing);
    EXPECT_EQ(again.stop_position(), 500);
    EXPECT_EQ(again.end_name, "c");
    again.set_stop_scroll(entry_of(again, 1)); // the scroll bar steps to b
    EXPECT_EQ(again.stop_position(), 300);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(t.entries[0].partner, 1);
    EXPECT_EQ(t.entries[1].end_flag, 1);
    EXPECT_EQ(t.entries[2].end_flag, 0);
    expect_consistent(t);

    // b, an end, becomes the start of a pair with c: a loses its partner.
    TimemarkDialog third(*doc, 1);
    third.select_combo(entry_of(third, 2));
    ASSERT_TRUE(third.ok());
    EXPECT_EQ(t.entries[0].partner, -1);
    EXPECT_EQ(t.entries[1].partner, 2);
    expect_consistent(t);

    // An end before its start is refused.
    TimemarkDialog backwards(*doc, 2);
    backwards.select_combo(entry_of(backwards, 0));
    const std::string now = fingerprint(t);
    EXPECT_FALSE(backwards.ok());
    EXPECT_EQ(ui.boxes.back().text, "The end marker must lie after the start marker.");
    EXPECT_EQ(fingerprint(t), now);
}

TEST_F(TimemarkDialogTest, NewEndMarkerAtATypedTimeAndTheFiftiethIsRefused)
{
    CChildFrame* doc = mono();
    for (int i = 0; i < kMaxMarkers - 1; ++i)
        add_marker(*doc, 10 * i, "m" + std::to_string(i));
    MarkerTable& t = markers_of(*doc);

    TimemarkDialog d(*doc, 3);
    EXPECT_EQ(d.end_mode(), TimemarkDialog::EndMode::NewMarker);
    // 8000 Hz mono, seconds format: frames count at 30 a second; 0.5 s is word 4000.
    ASSERT_TRUE(d.type_stop_time("00:00:00:15"));
    EXPECT_EQ(d.stop_position(), 4000);
    // A malformed or too late time changes nothing.
    for (const char* bad : {"0:0:-1:0", "0:0:0:30", "0:0:2:0", "1:2:3"}) {
        EXPECT_FALSE(d.type_stop_time(bad)) << bad;
        EXPECT_EQ(d.stop_position(), 4000) << bad;
    }
    EXPECT_EQ(ui.boxes.size(), 4u);
    ASSERT_TRUE(d.ok());
    ASSERT_EQ(t.count(), kMaxMarkers);
    EXPECT_EQ(t.entries[48].position, 4000);
    EXPECT_EQ(t.entries[48].name, "Marker 4000");
    EXPECT_EQ(t.entries[3].partner, 48);
    EXPECT_EQ(t.entries[48].end_flag, 1);

    // At 49 a new marker is refused with a beep, and the dialog stays open.
    TimemarkDialog full(*doc, 5);
    full.set_stop_scroll(6000);
    const std::string before = fingerprint(t);
    const size_t boxes = ui.boxes.size();
    EXPECT_FALSE(full.ok());
    EXPECT_FALSE(full.ended());
    ASSERT_EQ(ui.boxes.size(), boxes + 1);
    EXPECT_EQ(ui.boxes.back().text, "Too many timemarks");
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(fingerprint(t), before);
}

TEST_F(TimemarkDialogTest, DeleteHighlightAndPlayActOnTheInterval)
{
    CChildFrame* doc = mono();
    add_marker(*doc, 100, "single");
    select(doc, 1000, 3000);
    ASSERT_EQ(mark_selection(*doc), 1); // 1 -> 2
    add_marker(*doc, 5000, "last");
    MarkerTable& t = markers_of(*doc);

    TimemarkDialog d(*doc, 1);
    select(doc, 0, 0, 0);
    d.click(TimemarkDialog::kHighlight);
    EXPECT_EQ(doc->current.select_start, 1000);
    EXPECT_EQ(doc->current.select_end, 3000);
    EXPECT_EQ(doc->current.has_selection, 1);

    // A trigger without the synchronisation code says so and does not play.
    d.click(TimemarkDialog::kSmpte);
    d.click(TimemarkDialog::kPlay);
    EXPECT_FALSE(playback::is_playing());
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_NE(ui.boxes.back().text.find("No trigger"), std::string::npos);
    // With it: a bad time never reaches it; a good one does, with what was chosen.
    std::vector<TimemarkTrigger> seen;
    timemark_trigger_hook = [&](const TimemarkTrigger& t) {
        seen.push_back(t);
        return 0; // cancelled: nothing plays
    };
    d.smpte_fields[1] = "75";
    d.click(TimemarkDialog::kPlay);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ui.boxes.back().text, "The minutes and the seconds must be below 60.");
    d.smpte_fields[0] = "1";
    d.smpte_fields[1] = "2";
    d.smpte_fields[2] = "3";
    d.smpte_fields[3] = "4";
    synchro::smpte_fps = 25; // the process's SMPTE rate, not the display's
    d.click(TimemarkDialog::kPlayLoop);
    synchro::smpte_fps = 24;
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, TimemarkTrigger::Kind::Smpte);
    EXPECT_EQ(seen[0].time.hours, 1);
    EXPECT_EQ(seen[0].time.frames, 4);
    EXPECT_EQ(seen[0].frame_rate, 25);
    d.click(TimemarkDialog::kSequencer);
    d.set_channel(40);
    d.set_note(61);
    d.set_event(TimemarkTrigger::kNoteOff);
    d.click(TimemarkDialog::kPlay);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].kind, TimemarkTrigger::Kind::Sequencer);
    EXPECT_EQ(seen[1].channel, 16);
    EXPECT_EQ(seen[1].note, 61);
    EXPECT_EQ(seen[1].event, TimemarkTrigger::kNoteOff);
    EXPECT_EQ(TimemarkDialog::note_name(61), "C#5");
    EXPECT_FALSE(playback::is_playing());

    // Delete takes the pair, nothing else, at once.
    d.click(TimemarkDialog::kDelete);
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.entries[0].name, "single");
    EXPECT_EQ(t.entries[1].name, "last");
    EXPECT_EQ(t.entries[1].partner, -1);
    EXPECT_EQ(d.start(), 1);
    EXPECT_EQ(d.start_name, "last");
    d.click(TimemarkDialog::kDelete);
    d.click(TimemarkDialog::kDelete);
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(d.start(), -1);
    EXPECT_TRUE(d.ok());
}

TEST_F(TimemarkDialogTest, MidiPlayerStartsTheKeyboardOnceAndUncheckingClosesIt)
{
    CChildFrame* doc = mono();
    add_marker(*doc, 100, "a");
    const std::string keyboard = program + "MIDIKEYB.EXE";
    write_file(keyboard, "#!/bin/sh\nexec sleep 30\n");
    ASSERT_EQ(chmod(keyboard.c_str(), 0755), 0);
    TimemarkDialog d(*doc, 0);
    d.click(TimemarkDialog::kMidiPlayer);
    ASSERT_TRUE(d.keyboard_running());
    const long pid = d.keyboard_process();
    // Chosen again while it runs: no second copy.
    std::vector<std::vector<std::string>> starts;
    kel::process::set_observer([&](const std::vector<std::string>& argv) {
        starts.push_back(argv);
        return true;
    });
    d.click(TimemarkDialog::kMidiPlayer);
    kel::process::set_observer({});
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(d.keyboard_process(), pid);
    d.click(TimemarkDialog::kNoTrigger);
    EXPECT_FALSE(d.keyboard_running());
    EXPECT_NE(::kill(static_cast<pid_t>(pid), 0), 0); // ended and reaped
    EXPECT_TRUE(ui.boxes.empty());
}

} // namespace
