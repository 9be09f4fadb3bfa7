// Save's title rule and where the next save goes, what the recent-file list is told, and
// "Delete Waveform File".
#include "common/host_services.h"
#include "editor/edit/edit_commands.h"
#include "editor/files/file_commands.h"
#include "editor/files/file_types.h"
#include "tests/support/edit_fixture.h"

#include <climits>
#include <unistd.h>

namespace {

class SaveTitleTest : public EditTest
{
  protected:
    std::string cwd() const
    {
        char buf[PATH_MAX];
        return getcwd(buf, sizeof buf) ? std::string(buf) + "/" : "";
    }
    // Data bytes of a saved wave file.
    std::string samples_of(const std::string& file) const { return read_file(file).substr(44); }
    void save_as_answer(const std::string& name)
    {
        ui.on_dialog("SAVEWAVEFORM", [name](kel::DialogModel& m) {
            auto& d = dynamic_cast<SaveAsDialog&>(m);
            d.file_name = name;
            d.save();
        });
    }
};

TEST_F(SaveTitleTest, SaveUpperCasesTheTitleAndKeepsWritingTheSameFile)
{
    CChildFrame* doc = open_doc(pcm16({1, 2, 3, 4}), 1, 16, 22050, "Take.wav");
    ASSERT_TRUE(doc);
    doc->is_modified = 1;
    ASSERT_EQ(save_document(*doc), 1);
    EXPECT_STREQ(doc->file_title, "TAKE.WAV");
    EXPECT_EQ(last_saved_file(), root + "Take.wav");
    EXPECT_EQ(doc->is_modified, 0);
    // The folder's own spelling is found again: no second file appears beside it.
    select(doc, 0, 2);
    ASSERT_EQ(edit_command(*doc, 11303), 1); // cut
    ASSERT_EQ(save_document(*doc), 1);
    EXPECT_EQ(last_saved_file(), root + "Take.wav");
    EXPECT_FALSE(exists(root + "TAKE.WAV"));
    EXPECT_EQ(samples_of(root + "Take.wav"), pcm16({3, 4}));
}

TEST_F(SaveTitleTest, SaveAsMovesLaterSavesToTheChosenFolder)
{
    CChildFrame* doc = open_doc(pcm16({5, 6, 7, 8}), 1, 16, 22050);
    ASSERT_TRUE(doc);
    ASSERT_EQ(system(("mkdir -p '" + root + "out'").c_str()), 0);
    std::snprintf(doc->file_title, sizeof doc->file_title, "SAMPLE2.WAV");
    // A new document's Save goes through Save As; Cancel leaves everything as it was.
    EXPECT_EQ(save_document(*doc), 0);
    EXPECT_EQ(ui.dialogs_run.back(), "SAVEWAVEFORM");
    EXPECT_STREQ(doc->file_title, "SAMPLE2.WAV");
    EXPECT_EQ(cwd(), root);

    save_as_answer(root + "out/named.wav");
    ASSERT_EQ(save_document(*doc), 1);
    EXPECT_STREQ(doc->file_title, "NAMED.WAV");
    EXPECT_EQ(last_saved_file(), root + "out/named.wav");
    EXPECT_EQ(cwd(), root + "out/");
    // The next plain Save overwrites that same file.
    select(doc, 0, 2);
    ASSERT_EQ(edit_command(*doc, 11303), 1);
    ASSERT_EQ(save_document(*doc), 1);
    EXPECT_EQ(ui.dialogs_run.size(), 2u) << "no dialog for a named document";
    EXPECT_EQ(samples_of(root + "out/named.wav"), pcm16({7, 8}));
    EXPECT_FALSE(exists(root + "out/NAMED.WAV"));
    EXPECT_FALSE(exists(root + "NAMED.WAV"));
}

TEST_F(SaveTitleTest, ASavedSectionKeepsTheDocumentsTitleAndItsChanges)
{
    CChildFrame* doc = open_doc(pcm16({1, 2, 3, 4, 5, 6}), 2, 16, 22050, "whole.wav");
    ASSERT_TRUE(doc);
    doc->is_modified = 1;
    select(doc, 2, 4);
    save_as_answer(root + "part.wav");
    ASSERT_EQ(save_document_as(*doc, SaveScope::Highlighted), 1);
    EXPECT_EQ(samples_of(root + "part.wav"), pcm16({3, 4}));
    EXPECT_STREQ(doc->file_title, "whole.wav");
    EXPECT_EQ(doc->is_modified, 1);
    EXPECT_EQ(last_saved_file(), root + "part.wav") << "the section file can be reopened";
    // A failed save names nothing for the list.
    save_as_answer(root + "nodir/x.wav");
    EXPECT_EQ(save_document_as(*doc, SaveScope::Whole), 0);
    EXPECT_EQ(last_saved_file(), "");
    EXPECT_STREQ(doc->file_title, "whole.wav");
}

TEST_F(SaveTitleTest, DeleteWaveformFileRemovesOnlyTheChosenFile)
{
    write_file(root + "old.wav", "x");
    write_file(root + "keep.wav", "y");
    // Cancel: nothing goes.
    EXPECT_EQ(delete_file_command(), 0);
    ASSERT_EQ(ui.file_dialogs.size(), 1u);
    const kel::FileDialogRequest& r = ui.file_dialogs[0];
    EXPECT_EQ(r.title, "Delete Waveform File");
    EXPECT_FALSE(r.save) << "an open dialog: the file must exist";
    EXPECT_EQ(r.filter, open_dialog_filter());
    EXPECT_EQ(r.directory, root);
    EXPECT_TRUE(exists(root + "old.wav"));

    ui.file_dialog_answers.push_back(root + "old.wav");
    EXPECT_EQ(delete_file_command(), 1);
    EXPECT_FALSE(exists(root + "old.wav"));
    EXPECT_TRUE(exists(root + "keep.wav"));
    // A file that is gone already is not reported as deleted.
    ui.file_dialog_answers.push_back(root + "old.wav");
    EXPECT_EQ(delete_file_command(), 0);
    // An open document keeps working from its own copy.
    CChildFrame* doc = open_doc(pcm16({9, 10}), 1, 16, 8000, "open.wav");
    ASSERT_TRUE(doc);
    ui.file_dialog_answers.push_back(root + "open.wav");
    EXPECT_EQ(delete_file_command(), 1);
    EXPECT_EQ(contents(doc), pcm16({9, 10}));
}

} // namespace
