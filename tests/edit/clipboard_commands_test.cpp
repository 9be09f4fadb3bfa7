// The clipboard files, the commands around them and what a failure leaves behind.
#include "editor/edit/edit_commands.h"
#include "editor/edit/silence_dialog.h"
#include "editor/files/new_file.h"
#include "tests/support/edit_fixture.h"

namespace {

class ClipboardTest : public EditTest
{
  protected:
    // 16-bit stereo at 8000 Hz, 10 seconds: copies of it show progress and poll Cancel.
    CChildFrame* long_doc(uint32_t seed = 5)
    {
        long_samples = pcm16(noise16(160000, seed));
        return open_doc(long_samples, 2, 16, 8000);
    }
    std::string long_samples;
};

TEST_F(ClipboardTest, CopyWritesDataAndFormatFiles)
{
    CChildFrame* doc = open_doc(pcm16({1, 2, 3, 4, 5, 6, 7, 8}), 2, 16, 22050);
    select(doc, 3, 7); // sample words 3..7: whole frames 2..6
    ASSERT_EQ(edit_copy(*doc), 1);
    EXPECT_EQ(read_file(clipboard_data_path()), pcm16({3, 4, 5, 6}));
    EXPECT_EQ(read_file(clipboard_text_path()), "2 16 22050");
    EXPECT_EQ(clipboard_source(), doc);
    EXPECT_EQ(g_clipboard.has_data, 1);
    EXPECT_EQ(doc->undo_available, 0);
    // Nothing highlighted: nothing to copy, and the clipboard stays.
    select(doc, 2, 2);
    EXPECT_EQ(edit_copy(*doc), 0);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(read_file(clipboard_data_path()), pcm16({3, 4, 5, 6}));
}

TEST_F(ClipboardTest, OneActiveChannelIsCopiedToBothSides)
{
    CChildFrame* doc = open_doc(pcm16({1, -1, 2, -2, 3, -3}), 2, 16, 8000);
    doc->left_active = 0;
    select(doc, 0, 6);
    ASSERT_EQ(edit_copy(*doc), 1);
    EXPECT_EQ(read_file(clipboard_data_path()), pcm16({-1, -1, -2, -2, -3, -3}));
    EXPECT_EQ(single_channel_copy, 0);
    EXPECT_EQ(contents(doc), pcm16({1, -1, 2, -2, 3, -3}));
}

TEST_F(ClipboardTest, FailedCopyKeepsThePreviousClipboard)
{
    CChildFrame* small = open_doc("abcdefgh", 1, 8, 8000);
    select(small, 0, 4);
    ASSERT_EQ(edit_copy(*small), 1);
    CChildFrame* big = long_doc();
    select(big, 0, 160000);
    ui.cancel_after_polls(4);
    EXPECT_EQ(edit_copy(*big), 0);
    EXPECT_EQ(read_file(clipboard_data_path()), "abcd");
    EXPECT_EQ(read_file(clipboard_text_path()), "1 8 8000");
    EXPECT_EQ(clipboard_source(), small);
    EXPECT_FALSE(exists(run_directory() + "clipbord.part"));
    // A cut whose copy is cancelled cuts nothing either.
    ui.cancel_after_polls(2);
    const auto files = tmp_files();
    EXPECT_EQ(edit_cut(*big), 0);
    EXPECT_EQ(contents(big), long_samples);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(read_file(clipboard_data_path()), "abcd");
}

TEST_F(ClipboardTest, PasteCancelledHalfwayLeavesTheDocumentUntouched)
{
    CChildFrame* doc = long_doc();
    select(doc, 0, 1000);
    ASSERT_EQ(edit_cut(*doc), 1); // an undo state worth keeping
    const std::string work = doc->working_file(), undo = doc->undo_file(), redo = doc->redo_file();
    const std::string before = contents(doc);
    const long total = doc->current.total_samples;
    const auto files = tmp_files();

    select(doc, 100000, 100000, 0);
    ui.cancel_after_polls(3); // the head copy is about six blocks long
    const long polls = ui.polls;
    EXPECT_EQ(edit_paste(*doc), 0);
    EXPECT_EQ(ui.polls - polls, 3);
    EXPECT_EQ(doc->working_file(), work);
    EXPECT_EQ(doc->undo_file(), undo);
    EXPECT_EQ(doc->redo_file(), redo);
    EXPECT_EQ(doc->current.total_samples, total);
    EXPECT_EQ(doc->undo.total_samples, 160000);
    EXPECT_EQ(doc->redo.total_samples, total);
    EXPECT_EQ(doc->current.select_start, 100000);
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(contents(doc), before);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(g_undo_menu.text, "&Undo Cut...\tCtrl+Z");
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), long_samples);
}

TEST_F(ClipboardTest, DamagedFormatFileStopsThePaste)
{
    CChildFrame* doc = open_doc("abcdefgh", 1, 8, 8000);
    select(doc, 0, 4);
    ASSERT_EQ(edit_copy(*doc), 1);
    write_file(clipboard_text_path(), "garbage");
    select(doc, 2, 2);
    EXPECT_EQ(edit_paste(*doc), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Was not able to read from file 'clipbord.clp'");
    EXPECT_EQ(contents(doc), "abcdefgh");
    EXPECT_EQ(tmp_files().size(), 1u);
}

TEST_F(ClipboardTest, EraseEmptiesTheClipboard)
{
    CChildFrame* doc = open_doc("abcdefgh", 1, 8, 8000);
    select(doc, 0, 4);
    ASSERT_EQ(edit_copy(*doc), 1);
    ASSERT_EQ(edit_command(*doc, 11308), 1);
    EXPECT_FALSE(exists(clipboard_data_path()));
    EXPECT_FALSE(exists(clipboard_text_path()));
    EXPECT_EQ(g_clipboard.has_data, 0);
    EXPECT_EQ(clipboard_source(), nullptr);
    EXPECT_EQ(edit_paste(*doc), 0);
    EXPECT_EQ(edit_mix(*doc), 0);
    EXPECT_EQ(ui.beeps, 2);
    EXPECT_EQ(doc->undo_available, 0);
}

TEST_F(ClipboardTest, TrimSilencesOutsideTheSection)
{
    CChildFrame* doc = open_doc(pcm16({1, 2, 3, 4, 5, 6}), 1, 16, 8000);
    select(doc, 2, 4, 0);
    EXPECT_EQ(edit_trim(*doc), 0);
    EXPECT_EQ(ui.beeps, 1);
    select(doc, 2, 4);
    ASSERT_EQ(edit_trim(*doc), 1);
    EXPECT_EQ(contents(doc), pcm16({0, 0, 3, 4, 0, 0}));
    EXPECT_EQ(read_file(doc->selection_backup), pcm16({3, 4}));
    EXPECT_EQ(g_undo_menu.text, "&Undo Trim...\tCtrl+Z");

    CChildFrame* eight = open_doc("abcdef", 1, 8, 8000);
    select(eight, 1, 2);
    ASSERT_EQ(edit_trim(*eight), 1);
    EXPECT_EQ(contents(eight), "\x80"
                               "b\x80\x80\x80\x80");
}

TEST_F(ClipboardTest, InsertSilenceByTimeOrBySelectionLength)
{
    CChildFrame* doc = open_doc("abcdef", 1, 8, 8000);
    select(doc, 2, 4);
    int minutes = -1, seconds = -1;
    ui.on_dialog("SILENCE", [&](kel::DialogModel& m) {
        auto& d = static_cast<InsertSilenceDialog&>(m);
        minutes = d.minutes();
        seconds = d.seconds();
        d.set_seconds("1");
        d.use_time();
    });
    ASSERT_EQ(edit_command(*doc, 11518), 1);
    EXPECT_EQ(minutes, 0);
    EXPECT_EQ(seconds, 10); // the default time
    EXPECT_EQ(contents(doc), "ab" + std::string(8000, '\x80') + "cdef");
    EXPECT_EQ(g_undo_menu.text, "&Undo Insert...\tCtrl+Z");
    EXPECT_EQ(g_clipboard.silence_seconds, 1);

    ASSERT_EQ(doc->undo_command(), 1);
    ui.on_dialog("SILENCE",
                 [](kel::DialogModel& m) { static_cast<InsertSilenceDialog&>(m).use_selection(); });
    ASSERT_EQ(edit_insert_silence(*doc), 1);
    EXPECT_EQ(contents(doc), "ab\x80\x80"
                             "cdef");

    // Cancel, or the section's length without a section, changes nothing.
    const auto files = tmp_files();
    EXPECT_EQ(edit_insert_silence(*doc), 0);
    select(doc, 3, 3);
    ui.on_dialog("SILENCE",
                 [](kel::DialogModel& m) { static_cast<InsertSilenceDialog&>(m).use_selection(); });
    EXPECT_EQ(edit_insert_silence(*doc), 0);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(tmp_files(), files);
}

TEST_F(ClipboardTest, SilenceTooLongForAWaveFileIsRefused)
{
    CChildFrame* doc = open_doc(pcm16({1, 2}), 2, 16, 44100);
    ui.on_dialog("SILENCE", [](kel::DialogModel& m) {
        auto& d = static_cast<InsertSilenceDialog&>(m);
        d.set_minutes("99999");
        d.use_time();
    });
    EXPECT_EQ(edit_insert_silence(*doc), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "The silence would make the file longer than a wave file can hold.");
    EXPECT_EQ(doc->current.total_samples, 2);
}

TEST_F(ClipboardTest, NewFileFromSectionOpensAModifiedDocument)
{
    CChildFrame* doc = open_doc(pcm16({1, -1, 2, -2, 3, -3, 4, -4}), 2, 16, 22050);
    select(doc, 2, 6);
    const int number = g_new_file_counter;
    const std::string title = "SAMPLE" + std::to_string(number) + ".WAV";
    write_file(root + title, "mine"); // the user's, in the current folder
    auto made = new_file_from_section(*doc);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(std::string(made->file_title), title);
    EXPECT_EQ(made->is_modified, 1);
    EXPECT_EQ(made->wave_format.sample_rate, 22050u);
    EXPECT_EQ(made->wave_format.channels, 2);
    EXPECT_EQ(made->current.total_samples, 4);
    EXPECT_EQ(read_file(made->working_file()), pcm16({2, -2, 3, -3}));
    EXPECT_EQ(read_file(root + title), "mine");
    EXPECT_EQ(g_new_file_counter, number + 1);
    // The left channel alone goes to both sides.
    doc->right_active = 0;
    auto left = new_file_from_section(*doc);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(read_file(left->working_file()), pcm16({2, 2, 3, 3}));
}

} // namespace
