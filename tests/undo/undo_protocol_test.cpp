// The three-call protocol, the one-step history and the Edit menu's undo item.
#include "common/host_services.h"
#include "editor/document/undo_texts.h"
#include "editor/edit/edit_commands.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "tests/support/edit_fixture.h"

#include <cstring>
#include <fcntl.h>

namespace {

class UndoTest : public EditTest
{
  protected:
    // 8-bit mono ramp 0..n-1 (mod 256).
    CChildFrame* ramp_doc(int n = 1000)
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s.push_back(static_cast<char>(i & 0xFF));
        original = s;
        return open_doc(s, 1, 8, 8000);
    }
    // What a length-keeping module does: writes its result over the section in place.
    static void process_in_place(CChildFrame* doc)
    {
        const long s = doc->current.select_start;
        const long n = doc->current.select_end - s;
        std::string buf(static_cast<size_t>(n), '\0');
        copy_file_to_memory(doc->redo_file(), buf.data(), 0, n, s, 0);
        for (char& c : buf)
            c = static_cast<char>(255 - static_cast<uint8_t>(c));
        copy_memory_to_file(doc->redo_file(), buf.data(), 0, static_cast<unsigned long>(n), s, 0);
    }
    std::string original;
};

TEST_F(UndoTest, FreshDocumentHasNothingToUndo)
{
    CChildFrame* doc = ramp_doc();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(g_undo_menu.text, "&Undo\tCtrl+Z");
    EXPECT_FALSE(g_undo_menu.enabled);
    const std::string name = doc->working_file();
    EXPECT_EQ(edit_command(*doc, cmd::kUndoRedo), 0);
    EXPECT_EQ(edit_command(*doc, cmd::kUndo), 0);
    EXPECT_EQ(edit_command(*doc, cmd::kRedo), 0);
    EXPECT_EQ(doc->working_file(), name);
    EXPECT_EQ(contents(doc), original);
    EXPECT_FALSE(g_undo_menu.enabled);
}

TEST_F(UndoTest, UndoAndRedoSwitchFilesWithoutCopying)
{
    CChildFrame* doc = ramp_doc();
    const std::string first = doc->working_file();
    select(doc, 100, 300);
    ASSERT_EQ(edit_cut(*doc), 1);
    const std::string after = doc->working_file();
    EXPECT_NE(after, first);
    EXPECT_EQ(doc->undo_file(), first);
    EXPECT_EQ(doc->redo_file(), after);
    EXPECT_EQ(doc->current.total_samples, 800);
    EXPECT_EQ(g_undo_menu.text, "&Undo Cut...\tCtrl+Z");
    EXPECT_TRUE(g_undo_menu.enabled);
    EXPECT_EQ(g_undo_menu.toolbar_command, cmd::kUndo);
    EXPECT_EQ(doc->is_modified, 1);

    const auto files = tmp_files();
    const int copies = ui.wait_cursor_shown;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(edit_command(*doc, cmd::kUndoRedo), 1);
        EXPECT_EQ(doc->working_file(), first);
        EXPECT_EQ(doc->current.total_samples, 1000);
        EXPECT_EQ(contents(doc), original);
        EXPECT_EQ(doc->current.select_start, 100);
        EXPECT_EQ(doc->current.select_end, 300);
        EXPECT_EQ(g_undo_menu.text, "&Redo Cut...\tCtrl+Z");
        EXPECT_EQ(g_undo_menu.toolbar_command, cmd::kRedo);

        ASSERT_EQ(edit_command(*doc, cmd::kUndoRedo), 1);
        EXPECT_EQ(doc->working_file(), after);
        EXPECT_EQ(doc->current.total_samples, 800);
        EXPECT_EQ(doc->current.select_start, 100);
        EXPECT_EQ(doc->current.select_end, 100);
        EXPECT_EQ(g_undo_menu.text, "&Undo Cut...\tCtrl+Z");
        EXPECT_EQ(g_undo_menu.toolbar_command, cmd::kUndo);
    }
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(ui.wait_cursor_shown, copies);
    // Undo with nothing left to undo does nothing.
    ASSERT_EQ(edit_command(*doc, cmd::kUndo), 1);
    EXPECT_EQ(edit_command(*doc, cmd::kUndo), 0);
    EXPECT_EQ(doc->working_file(), first);
}

TEST_F(UndoTest, NewOperationAfterUndoDeletesTheUndoneResult)
{
    CChildFrame* doc = ramp_doc();
    const std::string before_a = doc->working_file();
    select(doc, 0, 500);
    ASSERT_EQ(edit_cut(*doc), 1);
    const std::string result_a = doc->working_file();
    ASSERT_EQ(doc->undo_command(), 1);
    select(doc, 900, 1000);
    ASSERT_EQ(edit_cut(*doc), 1);
    EXPECT_FALSE(exists(result_a));
    EXPECT_TRUE(exists(before_a));
    EXPECT_EQ(doc->current.total_samples, 900);
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(doc->working_file(), before_a);
    EXPECT_EQ(contents(doc), original);
    // And an operation after an operation deletes the oldest state.
    ASSERT_EQ(doc->redo_command(), 1);
    const std::string result_b = doc->working_file();
    select(doc, 0, 10);
    ASSERT_EQ(edit_cut(*doc), 1);
    EXPECT_FALSE(exists(before_a));
    EXPECT_EQ(doc->undo_file(), result_b);
    EXPECT_EQ(tmp_files().size(), 2u); // results B and C
}

TEST_F(UndoTest, LengthKeepingEffectWritesInPlaceBetweenHeadAndTail)
{
    CChildFrame* doc = ramp_doc();
    select(doc, 200, 260);
    ASSERT_EQ(doc->setup_for_undo(doc->window, 1), 1);
    EXPECT_EQ(read_file(doc->redo_file()), original.substr(0, 260));
    ASSERT_EQ(doc->copy_selected_area_to_pseudo_clipboard(doc->window), 1);
    EXPECT_EQ(read_file(doc->selection_backup), original.substr(200, 60));
    process_in_place(doc);
    ASSERT_EQ(doc->setup_for_redo(doc->window, 11504, 1), 1);

    std::string expected = original;
    for (int i = 200; i < 260; ++i)
        expected[i] = static_cast<char>(255 - static_cast<uint8_t>(original[i]));
    EXPECT_EQ(contents(doc), expected);
    EXPECT_EQ(doc->current.total_samples, 1000);
    EXPECT_EQ(g_undo_menu.text, "&Undo Echo...\tCtrl+Z");
    EXPECT_EQ(std::string(doc->redo_text), "&Redo Echo...\tCtrl+Z");
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(g_undo_menu.text, "&Redo Echo...\tCtrl+Z");
    EXPECT_EQ(contents(doc), original);
}

TEST_F(UndoTest, CodesOutsideTheTableLeaveTheTextsAlone)
{
    CChildFrame* doc = ramp_doc();
    select(doc, 0, 10);
    ASSERT_EQ(edit_cut(*doc), 1);
    select(doc, 0, 10);
    ASSERT_EQ(doc->setup_for_undo(doc->window, 1), 1);
    ASSERT_EQ(doc->setup_for_redo(doc->window, 4242, 1), 1);
    EXPECT_EQ(std::string(doc->undo_text), "&Undo Cut...\tCtrl+Z");
    EXPECT_EQ(g_undo_menu.text, "&Undo Cut...\tCtrl+Z");

    ASSERT_NE(find_undo_texts(11518), nullptr);
    EXPECT_STREQ(find_undo_texts(11518)->undo, "&Undo Insert...\tCtrl+Z");
    EXPECT_STREQ(find_undo_texts(11503)->redo, "&Redo Compress/Expand...\tCtrl+Z");
    EXPECT_STREQ(find_undo_texts(11516)->undo, "&Undo Localize sound...\tCtrl+Z");
    // Every text fits the document's 40-character fields.
    int n = 0;
    for (const UndoTexts* t = undo_text_table(); t->undo; ++t, ++n) {
        EXPECT_LT(std::strlen(t->undo), 40u) << t->code;
        EXPECT_LT(std::strlen(t->redo), 40u) << t->code;
    }
    EXPECT_EQ(n, 31);
}

TEST_F(UndoTest, EditMenuFollowsTheActiveDocument)
{
    CChildFrame* a = ramp_doc();
    select(a, 0, 10);
    ASSERT_EQ(edit_cut(*a), 1);
    CChildFrame* b = ramp_doc(); // opening makes it active
    EXPECT_EQ(g_undo_menu.text, "&Undo\tCtrl+Z");
    EXPECT_FALSE(g_undo_menu.enabled);
    documents::set_active(a);
    EXPECT_EQ(g_undo_menu.text, "&Undo Cut...\tCtrl+Z");
    EXPECT_TRUE(g_undo_menu.enabled);
    ASSERT_EQ(a->undo_command(), 1);
    EXPECT_EQ(g_undo_menu.text, "&Redo Cut...\tCtrl+Z");
    documents::set_active(b);
    EXPECT_FALSE(g_undo_menu.enabled);
    // Undo in a document that is not the active one leaves the menu alone.
    documents::set_active(b);
    ASSERT_EQ(a->redo_command(), 1);
    EXPECT_FALSE(g_undo_menu.enabled);
    close_doc(b);
    EXPECT_EQ(g_undo_menu.text, "&Undo Cut...\tCtrl+Z");
    close_doc(a);
    EXPECT_EQ(g_undo_menu.text, "&Undo\tCtrl+Z");
    EXPECT_FALSE(g_undo_menu.enabled);
}

TEST_F(UndoTest, SelectionBackupFollowsThePreference)
{
    CChildFrame* doc = ramp_doc();
    select(doc, 5, 14);
    ASSERT_TRUE(undo_preferences().backup_for_undo);
    ASSERT_EQ(doc->copy_selected_area_to_pseudo_clipboard(doc->window), 1);
    // Byte positions rounded down to multiples of 4: 4 .. 12.
    EXPECT_EQ(read_file(doc->selection_backup), original.substr(4, 8));
    const std::string first_backup = doc->selection_backup;
    ASSERT_EQ(doc->copy_selected_area_to_pseudo_clipboard(doc->window), 1);
    EXPECT_FALSE(exists(first_backup));

    kel::profile::write_string("Preferences", "Backup for undo", "no", kel::profile::app_profile());
    load_undo_preferences();
    const auto files = tmp_files();
    EXPECT_EQ(doc->copy_selected_area_to_pseudo_clipboard(doc->window), 1);
    EXPECT_EQ(tmp_files(), files);
    // Only the lower-case word counts as yes.
    kel::profile::write_string("Preferences", "Backup for undo", "Yes",
                               kel::profile::app_profile());
    load_undo_preferences();
    EXPECT_FALSE(undo_preferences().backup_for_undo);
    kel::profile::write_string("Preferences", "Backup for undo", "", kel::profile::app_profile());
    load_undo_preferences();
    EXPECT_TRUE(undo_preferences().backup_for_undo);
}

TEST_F(UndoTest, VoiceMessagePlaysWhenAStepCompletes)
{
    CChildFrame* doc = ramp_doc();
    select(doc, 0, 10);
    ASSERT_EQ(edit_cut(*doc), 1);
    EXPECT_TRUE(ui.sounds.empty());
    kel::profile::write_yes_no("Preferences", "Voice message", true, kel::profile::app_profile());
    load_undo_preferences();
    select(doc, 0, 10);
    ASSERT_EQ(edit_cut(*doc), 1);
    ASSERT_EQ(ui.sounds.size(), 1u);
    EXPECT_EQ(ui.sounds[0], "ALLDONE:sync");
}

TEST_F(UndoTest, AbandonedModuleStepIsPutBackBeforeTheNextCommand)
{
    CChildFrame* doc = ramp_doc();
    select(doc, 0, 100);
    ASSERT_EQ(edit_cut(*doc), 1); // so there is an undo state to lose
    const auto files = tmp_files();
    const std::string work = doc->working_file(), undo = doc->undo_file(), redo = doc->redo_file(),
                      backup = doc->selection_backup;
    select(doc, 10, 20);
    ASSERT_EQ(doc->setup_for_undo(doc->window, 1), 1);
    ASSERT_EQ(doc->copy_selected_area_to_pseudo_clipboard(doc->window), 1);
    EXPECT_TRUE(doc->undo_setup_pending());
    EXPECT_GT(tmp_files().size(), files.size());
    // The module gives up here without its redo step; the user presses Undo.
    ASSERT_EQ(doc->undo_redo_command(), 1);
    EXPECT_FALSE(doc->undo_setup_pending());
    EXPECT_EQ(doc->working_file(), undo);
    EXPECT_EQ(contents(doc), original);
    ASSERT_EQ(doc->redo_command(), 1);
    EXPECT_EQ(doc->working_file(), work);
    EXPECT_EQ(doc->redo_file(), redo);
    EXPECT_EQ(std::string(doc->selection_backup), backup);
    EXPECT_EQ(tmp_files(), files);
}

TEST_F(UndoTest, CancelledCopyInSetupLeavesEverythingAsItWas)
{
    // 16-bit stereo at 8000 Hz for 10 s: the copy is long enough to show progress.
    const std::string samples = pcm16(noise16(160000, 7));
    CChildFrame* doc = open_doc(samples, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 40000);
    ASSERT_EQ(edit_cut(*doc), 1);
    const std::string after_cut = contents(doc);
    const auto files = tmp_files();
    const FileSlot cur = doc->current, und = doc->undo, red = doc->redo;

    select(doc, 0, 120000);
    const FileSlot selected = doc->current;
    ui.cancel_after_polls(3);
    const long polls = ui.polls;
    EXPECT_EQ(doc->setup_for_undo(doc->window, 1), 0);
    EXPECT_EQ(ui.polls - polls, 3);
    EXPECT_FALSE(doc->undo_setup_pending());
    EXPECT_STREQ(doc->working_file(), cur.file_name);
    EXPECT_STREQ(doc->undo_file(), und.file_name);
    EXPECT_STREQ(doc->redo_file(), red.file_name);
    EXPECT_EQ(doc->undo.total_samples, und.total_samples);
    EXPECT_EQ(doc->redo.total_samples, red.total_samples);
    EXPECT_EQ(doc->current.select_end, selected.select_end);
    EXPECT_EQ(contents(doc), after_cut);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(ui.open_progress, 0);
    // The history still works.
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), samples);
}

TEST_F(UndoTest, CancelledOverviewLeavesTheCurrentStateInForce)
{
    const std::string samples = pcm16(noise16(160000, 9));
    CChildFrame* doc = open_doc(samples, 2, 16, 8000);
    select(doc, 0, 160000);
    const auto files = tmp_files();
    const std::string work = doc->working_file();
    ASSERT_EQ(doc->setup_for_undo(doc->window, 1), 1);
    ui.cancel_after_polls(2);
    EXPECT_EQ(doc->setup_for_redo(doc->window, 11504, 1), 0);
    EXPECT_EQ(doc->working_file(), work);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(doc->is_modified, 0);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_FALSE(g_undo_menu.enabled);
}

TEST_F(UndoTest, RedoFileThatCannotBeMadeKeepsTheHistory)
{
    CChildFrame* doc = ramp_doc();
    select(doc, 0, 100);
    ASSERT_EQ(edit_cut(*doc), 1);
    const std::string undo = doc->undo_file(), work = doc->working_file();
    // The run's folder is moved away and a file takes its place.
    std::string folder = kel::run_dir::current();
    folder.pop_back();
    ASSERT_EQ(std::rename(folder.c_str(), (folder + ".away").c_str()), 0);
    write_file(folder, "x");
    select(doc, 0, 100);
    EXPECT_EQ(edit_cut(*doc), 0);
    ::unlink(folder.c_str());
    ASSERT_EQ(std::rename((folder + ".away").c_str(), folder.c_str()), 0);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text,
              "Cannot write output WAVE file.\nThe folder " + folder + "/ no longer exists.");
    EXPECT_EQ(ui.boxes.back().caption, "Kelvara");
    EXPECT_EQ(doc->working_file(), work);
    EXPECT_EQ(doc->undo_file(), undo);
    EXPECT_TRUE(exists(undo));
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), original);
}

TEST_F(UndoTest, ShortRedoFileIsRefusedWithTheRedoMessage)
{
    CChildFrame* doc = ramp_doc();
    const std::string work = doc->working_file();
    select(doc, 0, 500);
    ASSERT_EQ(doc->setup_for_undo(doc->window, 0), 1);
    // A module that claims more than it wrote.
    copy_memory_to_file(doc->redo_file(), "abcd", 0, 4, 0, 0);
    EXPECT_EQ(doc->setup_for_redo(doc->window, 11509, 0), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Redo Get Access violation");
    EXPECT_EQ(doc->working_file(), work);
    EXPECT_EQ(doc->current.total_samples, 1000);
    EXPECT_EQ(tmp_files().size(), 1u);
}

TEST_F(UndoTest, ZoomStaysWithinTheLevelsOfAShorterResult)
{
    std::string s(200000, '\x80');
    CChildFrame* doc = open_doc(s, 1, 8, 8000);
    ASSERT_GE(doc->current.level_count, 8);
    doc->current.zoom_level = doc->current.level_count;
    doc->current.zoom_factor = doc->current.base_factor;
    select(doc, 0, 199990);
    ASSERT_EQ(edit_cut(*doc), 1);
    EXPECT_EQ(doc->current.total_samples, 10);
    EXPECT_EQ(doc->current.level_count, 1);
    EXPECT_EQ(doc->current.zoom_level, 1);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 1.0f);
}

} // namespace
