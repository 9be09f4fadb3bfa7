// The frame's Operations menu, the magnified image and the file commands' effect on the
// recent-file list and the window title.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/files/file_commands.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "tests/app/app_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

QAction* find_in(QMenu* menu, int id)
{
    for (QAction* a : menu->actions()) {
        if (a->menu())
            if (QAction* f = find_in(a->menu(), id))
                return f;
        if (!a->isSeparator() && a->data().toInt() == id)
            return a;
    }
    return nullptr;
}

QAction* shown_action(ui::CMainFrame* frame, int id)
{
    for (QAction* top : frame->menuBar()->actions())
        if (QAction* a = find_in(top->menu(), id))
            return a;
    return nullptr;
}

} // namespace

TEST_F(AppTest, OperationsWithABuiltMemberAreOnAndTheOthersStayOff)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("ops.wav"));
    frame->on_command(2002);
    frame->update_command_states();
    for (int id : {11301, 11500, 11501, 11502, 11503, 11504, 11505, 11506, 11507, 11508,
                   11509, 11510, 11511, 11512, 11514, 11515, 11516, 11517, 393,   1038}) {
        ASSERT_TRUE(shown_action(frame, id)) << id;
        EXPECT_TRUE(shown_action(frame, id)->isEnabled()) << id;
    }
    // Shift has no menu item: only its key, Alt+Shift+F, reaches it.
    EXPECT_FALSE(shown_action(frame, 11513));
    EXPECT_TRUE(frame->command_enabled(11513));
    EXPECT_TRUE(frame->bar_action(11504)->isEnabled());
    EXPECT_TRUE(frame->bar_action(11503)->isEnabled());
    EXPECT_TRUE(frame->bar_action(11506)->isEnabled());
    EXPECT_TRUE(frame->bar_action(11508)->isEnabled());
    EXPECT_TRUE(frame->bar_action(11517)->isEnabled());
    // With the last document closed, nothing of the table is reachable.
    frame->on_command(57602);
    pump(50);
    kel::set_ui(&ui);
    for (int id : {11301, 11501, 11504, 11515, 393})
        frame->on_command(id);
    EXPECT_TRUE(ui.dialogs_run.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AppTest, ReverseFromTheMenuIsOneUndoStepAndTheMagnifiedImageOpens)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("rev.wav", 441));
    frame->on_command(2002);
    CChildFrame* doc = documents::active();
    ASSERT_TRUE(doc);
    kel::set_ui(&ui);
    shown_action(frame, 11515)->trigger();
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(shown_action(frame, 11602)->text(), "&Undo Reverse...\tCtrl+Z");
    EXPECT_TRUE(shown_action(frame, 11602)->isEnabled());
    EXPECT_EQ(doc->owner_window, frame->active_document_window()->handle());

    ui.on_dialog("MAGNIFIEDPLOT", [](kel::DialogModel& m) { m.end_dialog(1); });
    shown_action(frame, 393)->trigger();
    ASSERT_FALSE(ui.dialogs_run.empty());
    EXPECT_EQ(ui.dialogs_run.back(), "MAGNIFIEDPLOT");
    // Noise reduction and the frequency spectrum open their dialogs from the menus.
    ui.dialogs_run.clear();
    shown_action(frame, 11511)->trigger();
    shown_action(frame, 1038)->trigger();
    EXPECT_EQ(ui.dialogs_run, (std::vector<std::string>{"NOISEREMOVAL", "SpectrumDisplay3D"}));
}

TEST_F(AppTest, SaveAsPutsTheFileFirstInTheRecentListAndTheTitleInCapitals)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("first.wav"));
    frame->on_command(2002);
    ASSERT_TRUE(documents::active());
    kel::set_ui(&ui);
    const std::string target = root + "Renamed.wav";
    ui.on_dialog("SAVEWAVEFORM", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<SaveAsDialog&>(m);
        d.file_name = target;
        d.save();
    });
    frame->on_command(11203);
    ASSERT_FALSE(frame->recent_files().files().empty());
    EXPECT_EQ(frame->recent_files().files().front(), target);
    EXPECT_EQ(frame->active_document_window()->windowTitle(), "RENAMED.WAV");
    QAction* first = frame->menu_action(57616);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text().toStdString(), "&1 " + target);
    // A cancelled Save As leaves the list as it was.
    const auto before = frame->recent_files().files();
    frame->on_command(11203);
    EXPECT_EQ(frame->recent_files().files(), before);
    // Save writes the same file again and keeps it first.
    frame->on_command(11202);
    EXPECT_EQ(frame->recent_files().files().front(), target);
    EXPECT_EQ(frame->recent_files().files().size(), before.size());
}
