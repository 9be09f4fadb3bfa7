// More than one undo level: undo and redo walk a history of working files, the menu names
// each step, files that fall out are deleted, and the disk the history holds is known.
#include "editor/document/undo_history.h"
#include "tests/support/edit_fixture.h"

#include <sys/stat.h>

class UndoLevelsTest : public EditTest
{
  protected:
    void TearDown() override
    {
        set_undo_levels(1);
        EditTest::TearDown();
    }
};

TEST_F(UndoLevelsTest, UndoAndRedoWalkTheHistoryAndOnlyItsFilesStay)
{
    set_undo_levels(3);
    const long frames = 2000;
    CChildFrame* doc = open_doc(pcm16(noise16(2 * frames, 11)), 2, 16, 44100);
    ASSERT_TRUE(doc);
    documents::set_active(doc);
    // The reference: every state's bytes and the step that made it.
    std::vector<std::string> state = {contents(doc)};
    std::vector<std::string> made_by = {""};
    auto step = [&](int n) {
        select(doc, 2 * 100 * n, 2 * (100 * n + 700));
        if (n % 2)
            ASSERT_EQ(doc->reverse_waveform(nullptr, 11515), 1);
        else
            ASSERT_EQ(doc->amplify_waveform(nullptr, doc->window, 11301, 1, ""), 1);
        state.push_back(contents(doc));
        made_by.push_back(n % 2 ? "Reverse" : "Clear");
    };
    for (int n = 1; n <= 5; ++n)
        step(n);
    const long state_bytes = static_cast<long>(state[0].size());
    // Three levels: states 2 to 5 are kept, the files of 0 and 1 are gone.
    EXPECT_EQ(undo_history_bytes(*doc), static_cast<uint64_t>(3 * state_bytes));
    EXPECT_EQ(undo_history_bytes(), undo_history_bytes(*doc));
    EXPECT_EQ(g_undo_menu.text, "&Undo Reverse...\tCtrl+Z");
    EXPECT_FALSE(g_undo_menu.redo_enabled);
    for (int back = 4; back >= 2; --back) {
        ASSERT_EQ(doc->undo_redo_command(), 1) << back; // Ctrl+Z only goes back
        EXPECT_EQ(contents(doc), state[back]) << back;
        EXPECT_EQ(g_undo_menu.redo_item, "&Redo " + made_by[back + 1] + "...\tCtrl+Shift+Z");
        EXPECT_TRUE(g_undo_menu.redo_enabled);
    }
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_FALSE(g_undo_menu.enabled);
    EXPECT_EQ(doc->undo_command(), 0) << "state 1 fell out";
    EXPECT_EQ(contents(doc), state[2]);
    for (int ahead = 3; ahead <= 5; ++ahead) {
        ASSERT_EQ(doc->redo_command(), 1);
        EXPECT_EQ(contents(doc), state[ahead]);
        EXPECT_EQ(g_undo_menu.text, "&Undo " + made_by[ahead] + "...\tCtrl+Z");
    }
    EXPECT_EQ(doc->redo_command(), 0);
    EXPECT_EQ(working_file_count() - (doc->selection_backup[0] ? 1 : 0), 4);

    // Two back and a new step: the two states ahead go, files and all.
    ASSERT_EQ(doc->undo_command(), 1);
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), state[3]);
    select(doc, 0, 2 * 300);
    ASSERT_EQ(doc->reverse_waveform(nullptr, 11515), 1);
    const std::string branch = contents(doc);
    EXPECT_EQ(doc->redo_available, 0);
    EXPECT_EQ(doc->redo_command(), 0);
    // States 2, 3 and the new one.
    EXPECT_EQ(working_file_count() - (doc->selection_backup[0] ? 1 : 0), 3);
    EXPECT_EQ(undo_history_bytes(*doc), static_cast<uint64_t>(2 * state_bytes));
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(contents(doc), state[3]);
    ASSERT_EQ(doc->redo_command(), 1);
    EXPECT_EQ(contents(doc), branch);

    // Closing the document deletes the whole history.
    close_doc(doc);
    EXPECT_EQ(working_file_count(), 0);
    EXPECT_EQ(undo_history_bytes(), 0u);
}
