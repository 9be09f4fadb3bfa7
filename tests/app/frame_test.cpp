// The main frame: menus, accelerators, dropped files, closing, the sibling's request,
// outside programs and the clean-up at the end.
#include "common/child_frame.h"
#include "editor/app/accelerators.h"
#include "editor/app/app_profile.h"
#include "editor/app/app_state.h"
#include "editor/app/commands.h"
#include "editor/app/private_ini.h"
#include "editor/app/sibling.h"
#include "editor/devices/playback_commands.h"
#include "editor/edit/clipboard_files.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/qt_ui.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "tests/app/app_fixture.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <future>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

std::vector<std::string> top_menu_texts(ui::CMainFrame* frame)
{
    std::vector<std::string> out;
    for (QAction* a : frame->menuBar()->actions())
        out.push_back(a->text().toStdString());
    return out;
}

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

void drop(ui::CMainFrame* frame, const QStringList& files)
{
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    mime->setUrls(urls);
    const QPoint at = frame->mdi_area()->geometry().center();
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent e(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &e);
    delete mime;
}

} // namespace

TEST_F(AppTest, TheTwoMenusHoldTheirTextsAndIds)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    EXPECT_EQ(top_menu_texts(frame), (std::vector<std::string>{"&File", "Opt&ions", "&Help"}));
    struct Item
    {
        int id;
        const char* text;
    };
    for (Item i :
         {Item{11200, "&Create new file ...\tCtrl+N"}, Item{11201, "&Open ...\tCtrl+O"},
          Item{148, "&Delete file...\tCtrl+D"}, Item{1010, "E&xit"},
          Item{1026, "&Preferences...\tCtrl+P"}, Item{105, "Ti&p of the Day..."},
          Item{2001, "&Tutorial"}, Item{1852, "Display Midi &keyboard"}, Item{1405, "&Help\tF1"}}) {
        QAction* a = shown_action(frame, i.id);
        ASSERT_TRUE(a) << i.id;
        EXPECT_EQ(a->text().toStdString(), i.text);
    }
    // No document: nothing that works on one.
    EXPECT_FALSE(shown_action(frame, 11504));

    set_preference("Show logo", "no");
    app::set_current_file(make_wave("one.wav"));
    frame->on_command(2002);
    EXPECT_EQ(top_menu_texts(frame),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Transport", "Oper&ations",
                                        "Opt&ions", "Win&dow", "&Help"}));
    for (Item i : {Item{57602, "&Close\tCtrl+W"},
                   Item{1404, "Close &All"},
                   Item{11602, "&Undo\tCtrl+Z"},
                   Item{11303, "&Cut\tCtrl+X"},
                   Item{11304, "Co&py\tCtrl+C"},
                   Item{11305, "&Paste\tCtrl+V"},
                   Item{11306, "&Replace\tCtrl+R"},
                   Item{11307, "&Mix\tCtrl+M"},
                   Item{11301, "C&lear"},
                   Item{11302, "Cr&op"},
                   Item{1881, "&Trim"},
                   Item{11308, "&Erase clipboard\tCtrl+E"},
                   Item{1020, "&Select all\tCtrl+A"},
                   Item{87, "Maximum zoom\tAlt+Z"},
                   Item{88, "Minimum zoom\tAlt+U"},
                   Item{11800, "Go to &beginning\tCtrl+B"},
                   Item{11801, "Go to &end\tCtrl+E"},
                   Item{11906, "Go to &highlight\tCtrl+H"},
                   Item{1040, "&Update display\tCtrl+U"},
                   Item{11404, "Lo&op playback\tAlt+L"},
                   Item{1024, "Setup pla&yback loop...\tAlt+R"},
                   Item{1025, "&SMPTE chase lock...\tAlt+S"},
                   Item{11504, "&Echo...\tAlt+Shift+5"},
                   Item{11516, "Spatial locali&zation...\tAlt+Shift+s"},
                   Item{393, "&Magnified image...\tCtrl+I"},
                   Item{1038, "&Frequency spectrum...\tCtrl+Q"},
                   Item{181, "Select Plugins..."},
                   Item{57651, "Tile &horizontally\tShift+F6"},
                   Item{57652, "Tile &vertically\tShift+F4"}}) {
        QAction* a = shown_action(frame, i.id);
        ASSERT_TRUE(a) << i.id;
        EXPECT_EQ(a->text().toStdString(), i.text);
    }
    // Every command the menus name is there, each wired to its id.
    for (int id : app::menu_command_ids(app::document_menu()))
        EXPECT_TRUE(shown_action(frame, id)) << id;
}

TEST_F(AppTest, CommandsOfLaterWorkAreShownDisabled)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("one.wav"));
    frame->on_command(2002);
    frame->update_command_states();
    for (int id : {11311})
        EXPECT_FALSE(shown_action(frame, id)->isEnabled()) << id;
    for (int id : {1025, 1026, 57602, 1404, 11201, 11200, 57651, 1405, 105, 11303, 11202, 11401,
                   148, 11400, 181})
        EXPECT_TRUE(shown_action(frame, id)->isEnabled()) << id;
    // While a document plays only the transport stays usable.
    playback_commands::suspend_editing();
    frame->update_command_states();
    EXPECT_FALSE(shown_action(frame, 11303)->isEnabled());
    EXPECT_TRUE(shown_action(frame, 11403)->isEnabled());
    playback_commands::resume_editing();
    frame->update_command_states();
    EXPECT_TRUE(shown_action(frame, 11303)->isEnabled());
    // The undo item reads as the shared state says and stays off on a fresh document.
    EXPECT_EQ(shown_action(frame, 11602)->text(), "&Undo\tCtrl+Z");
    EXPECT_FALSE(shown_action(frame, 11602)->isEnabled());
    // Bar buttons follow the same states.
    EXPECT_TRUE(frame->bar_action(57602)->isEnabled());
    EXPECT_TRUE(frame->bar_action(11400)->isEnabled());
    // A disabled command does nothing even when sent.
    kel::set_ui(&ui);
    frame->on_command(11311);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(ui.dialogs_run.empty());
}

TEST_F(AppTest, EditCommandsFromTheMenuChangeTheActiveDocumentAndUndoTakesThemBack)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("edit.wav", 4410));
    frame->on_command(2002);
    CChildFrame* doc = documents::active();
    ASSERT_TRUE(doc);
    kel::set_ui(&ui);
    doc->current.select_start = 0;
    doc->current.select_end = 2 * 441;
    doc->current.has_selection = 1;
    shown_action(frame, 11303)->trigger(); // Cut
    EXPECT_EQ(doc->current.total_samples, 2 * 4410 - 2 * 441);
    EXPECT_EQ(frame->status_pane(15)->text(), QString("%1 bytes").arg((2 * 4410 - 2 * 441) * 2));
    EXPECT_EQ(shown_action(frame, 11602)->text(), "&Undo Cut...\tCtrl+Z");
    EXPECT_TRUE(shown_action(frame, 11602)->isEnabled());
    frame->activateWindow();
    QTest::keyClick(frame->active_document_window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->current.total_samples, 2 * 4410);
    EXPECT_EQ(shown_action(frame, 11602)->text(), "&Redo Cut...\tCtrl+Z");
}

TEST_F(AppTest, BarsHoldTheirButtonsInOrderWithPromptsFromTheStringTable)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    const std::vector<std::pair<int, std::vector<int>>> expected = {
        {0, {11200, 11201, 11202, 11203, 11204, 57602}},
        {1, {11301, 11302, 1881, 11303, 11304, 11305, 11306, 11307}},
        {2, {11400, 11404, 11401, 11402, 11403, 11309}},
        {6, {11800, 11900, 11902, 11903, 11904, 11905, 11901, 11801}},
        {4, {11600, 11601}},
        {5, {11700, 11701}},
    };
    for (const auto& [number, ids] : expected) {
        std::vector<int> got;
        for (QAction* a : frame->bar(number)->actions())
            if (!a->isSeparator() && a->data().toInt() != 0)
                got.push_back(a->data().toInt());
        EXPECT_EQ(got, ids) << number;
    }
    EXPECT_EQ(frame->bar_action(11904)->statusTip(), "Move end of selctiion earlier");
    EXPECT_EQ(frame->bar_action(11904)->toolTip(), "R hilight <-");
    EXPECT_EQ(frame->bar_action(11309)->toolTip(), "Play clipboard");
    EXPECT_EQ(frame->volume_indicator()->toolTip(), "Record/Playback level");
    EXPECT_EQ(frame->left_gauge()->toolTip(), "Left channel DB level");
    EXPECT_EQ(frame->spectrum_indicator()->toolTip(), "Frequency Spectrum Meter");
    // Docking: the cue list only at the top, indicators only on the right.
    EXPECT_EQ(frame->bar(7)->allowedAreas(), Qt::TopToolBarArea);
    for (int n : {8, 9, 10}) {
        EXPECT_EQ(frame->bar(n)->allowedAreas(), Qt::RightToolBarArea);
        EXPECT_EQ(frame->toolBarArea(frame->bar(n)), Qt::RightToolBarArea);
    }
    EXPECT_EQ(frame->bar(3)->allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_EQ(frame->toolBarArea(frame->bar(3)), Qt::TopToolBarArea);
}

TEST_F(AppTest, EveryBarButtonHasAPictureOfItsOwnAndTheEffectsKeepTheirTips)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    std::map<QByteArray, int> seen;
    for (int number : {0, 1, 2, 3, 4, 5, 6}) {
        for (QAction* a : frame->bar(number)->actions()) {
            const int id = a->data().toInt();
            if (a->isSeparator() || id == 0)
                continue;
            const QImage image = a->icon().pixmap(20, 20).toImage();
            const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()),
                                   static_cast<int>(image.sizeInBytes()));
            const auto [at, fresh] = seen.emplace(bytes, id);
            EXPECT_TRUE(fresh) << id << " looks like " << at->second;
        }
    }
    EXPECT_GE(seen.size(), 50u);
    EXPECT_EQ(frame->bar_action(11500)->toolTip(), "Stretch / Tempo");
    EXPECT_EQ(frame->bar_action(11511)->toolTip(), "Noise reduction");
    EXPECT_EQ(frame->bar_action(11518)->toolTip(), "Insert silence");
}

TEST_F(AppTest, AcceleratorTableResolvesKeysAndCharacters)
{
    using app::accelerator_command;
    EXPECT_EQ(accelerator_command(Qt::Key_O, Qt::ControlModifier, "\x0f"), 11201);
    // Ctrl+B and Ctrl+E: the key entries come first and win over the characters.
    EXPECT_EQ(accelerator_command(Qt::Key_B, Qt::ControlModifier, "\x02"), 11800);
    EXPECT_EQ(accelerator_command(Qt::Key_E, Qt::ControlModifier, "\x05"), 11801);
    // Other Ctrl letters as characters.
    EXPECT_EQ(accelerator_command(Qt::Key_D, Qt::ControlModifier, "\x04"), 148);
    EXPECT_EQ(accelerator_command(Qt::Key_Y, Qt::ControlModifier, "\x19"), 11309);
    EXPECT_EQ(accelerator_command(Qt::Key_P, Qt::ControlModifier, "\x10"), 1008);
    EXPECT_EQ(accelerator_command(Qt::Key_Insert, Qt::ShiftModifier, ""), 11305);
    EXPECT_EQ(accelerator_command(Qt::Key_Delete, Qt::ShiftModifier, ""), 11303);
    EXPECT_EQ(accelerator_command(Qt::Key_Backspace, Qt::AltModifier, ""), 11600);
    EXPECT_EQ(accelerator_command(Qt::Key_F4, Qt::ShiftModifier, ""), 57652);
    EXPECT_EQ(accelerator_command(Qt::Key_M, Qt::NoModifier, "m"), 11700);
    EXPECT_EQ(accelerator_command(Qt::Key_M, Qt::ShiftModifier, "M"), 0);
    EXPECT_EQ(accelerator_command(Qt::Key_Z, Qt::NoModifier, "z"), 1898);
    EXPECT_EQ(accelerator_command(Qt::Key_L, Qt::AltModifier, "l"), 11404);
    EXPECT_EQ(accelerator_command(Qt::Key_P, Qt::AltModifier, "p"), 1026);
    EXPECT_EQ(accelerator_command(Qt::Key_Z, Qt::AltModifier, "z"), 87);
    // Alt+Shift with a digit arrives as its shifted symbol on most layouts.
    EXPECT_EQ(accelerator_command(Qt::Key_Exclam, Qt::AltModifier | Qt::ShiftModifier, "!"), 11500);
    EXPECT_EQ(accelerator_command(Qt::Key_9, Qt::AltModifier | Qt::ShiftModifier, ""), 11508);
    EXPECT_EQ(accelerator_command(Qt::Key_F, Qt::AltModifier | Qt::ShiftModifier, "F"), 11513);
    EXPECT_EQ(accelerator_command(Qt::Key_M, Qt::AltModifier | Qt::ShiftModifier, "M"), 1037);
    EXPECT_EQ(accelerator_command(Qt::Key_Q, Qt::NoModifier, "q"), 0);
}

TEST_F(AppTest, AnAcceleratorReachesItsCommandThroughRealKeys)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("a.wav"));
    frame->on_command(2002);
    app::set_current_file(make_wave("b.wav"));
    frame->on_command(2002);
    ASSERT_EQ(frame->document_windows().size(), 2u);
    frame->activateWindow();
    QWidget* target = frame->active_document_window();
    ASSERT_TRUE(target);
    target->setFocus();
    // Ctrl+W closes the active document.
    QTest::keyClick(target, Qt::Key_W, Qt::ControlModifier);
    pump(20);
    ASSERT_EQ(frame->document_windows().size(), 1u);
    EXPECT_EQ(frame->document_windows()[0]->windowTitle(), "a.wav");
    // F1 opens the help page.
    QTest::keyClick(frame->document_windows()[0], Qt::Key_F1);
    ASSERT_FALSE(started.empty());
    EXPECT_NE(started.back()[0].find("xdg-open"), std::string::npos);
    EXPECT_NE(started.back()[1].find("Orlo.html"), std::string::npos);
}

TEST_F(AppTest, OpeningAFileMakesADocumentWindowAndRegistersItActive)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    const std::string a = make_wave("first.wav", 22050);
    app::set_current_file(a);
    frame->on_command(2002);
    app::set_current_file(make_wave("second.wav"));
    frame->on_command(2002);
    auto windows = frame->document_windows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(CChildFrame::GetTheFuckingHandle(), windows[1]->document());
    EXPECT_EQ(windows[0]->document()->window, static_cast<HWND>(windows[0]));
    frame->mdi_area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(windows[0]->parentWidget()));
    EXPECT_EQ(CChildFrame::GetTheFuckingHandle(), windows[0]->document());
    // The status panes show the active document.
    EXPECT_EQ(frame->status_pane(15)->text(), "88200 bytes");
    EXPECT_EQ(frame->status_pane(16)->text(), "44.100kHz");
    EXPECT_EQ(frame->status_pane(17)->text(), "16bits");
    EXPECT_EQ(frame->status_pane(18)->text(), "Stereo");
    EXPECT_EQ(frame->status_pane(19)->text(), "0.500 sec");
    EXPECT_EQ(frame->windowTitle(), "Kelvara");
    EXPECT_EQ(frame->recent_files().files().front(), root + "second.wav");
    // Closing a window deletes its working file.
    const int before = working_file_count();
    EXPECT_GE(before, 2);
    frame->on_command(57602);
    pump(20);
    EXPECT_EQ(working_file_count(), before - 1);
}

TEST_F(AppTest, DroppingThreeFilesOpensOnlyTheFirst)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    const QString a = QString::fromStdString(make_wave("drop1.wav"));
    const QString b = QString::fromStdString(make_wave("drop2.wav"));
    const QString c = QString::fromStdString(make_wave("drop3.WAV"));
    drop(frame, {a, b, c});
    ASSERT_EQ(frame->document_windows().size(), 1u);
    EXPECT_EQ(frame->document_windows()[0]->windowTitle(), "drop1.wav");
    // Capitals in the extension are a wave file too; anything else opens nothing.
    drop(frame, {c});
    EXPECT_EQ(frame->document_windows().size(), 2u);
    write_file(root + "plugin.so", "not a wave");
    drop(frame, {QString::fromStdString(root + "plugin.so"), a});
    EXPECT_EQ(frame->document_windows().size(), 2u);
}

TEST_F(AppTest, ADocumentThatRefusesKeepsTheFrameOpenAndStopsCloseAll)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    std::vector<std::string> files;
    for (const char* n : {"k1.wav", "k2.wav", "k3.wav"}) {
        files.push_back(make_wave(n));
        app::set_current_file(files.back());
        frame->on_command(2002);
    }
    auto windows = frame->document_windows();
    ASSERT_EQ(windows.size(), 3u);
    // k2 really changed (reversed), k3 only marked.
    kel::set_ui(&ui);
    frame->mdi_area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(windows[1]->parentWidget()));
    pump();
    frame->on_command(1020);
    frame->on_command(11515);
    ASSERT_EQ(windows[1]->document()->is_modified, 1);
    // The title says so.
    frame->update_command_states();
    EXPECT_TRUE(windows[1]->isWindowModified());
    EXPECT_FALSE(windows[0]->isWindowModified());
    windows[2]->document()->is_modified = 1;
    const std::string k2_before = read_file(files[1]);
    const std::string k3_before = read_file(files[2]);
    ui.boxes.clear();
    ui.answer(kel::kIdCancel);
    frame->on_command(1404);
    pump(20);
    // The first closed; the second refused and the third was never asked.
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Save changes to k2.wav?");
    EXPECT_EQ(ui.boxes[0].caption, "Kelvara");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::SaveDiscardCancel);
    EXPECT_EQ(frame->document_windows().size(), 2u);

    ui.answer(kel::kIdCancel);
    EXPECT_FALSE(frame->close());
    pump(20);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->document_windows().size(), 2u);
    EXPECT_EQ(read_file(files[1]), k2_before);

    // Save writes k2 and closes it; Discard closes k3 and leaves its file alone.
    ui.answer(kel::kIdYes);
    ui.answer(kel::kIdNo);
    EXPECT_TRUE(frame->close());
    pump(20);
    EXPECT_TRUE(frame->document_windows().empty());
    EXPECT_EQ(documents::count(), 0);
    const std::string k2_after = read_file(files[1]);
    ASSERT_EQ(k2_after.size(), k2_before.size());
    EXPECT_NE(k2_after, k2_before);
    EXPECT_EQ(read_file(files[2]), k3_before);
}

namespace {
// Sends a request from another thread while this one runs the event loop.
bool request_from_sibling(int command)
{
    auto reply = std::async(std::launch::async, [command] { return app::send_request(command); });
    while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return reply.get();
}
} // namespace

TEST_F(AppTest, RequestFiveThousandOpensOrBringsForwardTheNamedFile)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    const std::string ini = program + "KVSDFALT.INI";
    const std::string take = make_wave("take.wav");
    kel::profile::write_string("Autostart", "LoadFile", take, ini);
    ASSERT_TRUE(request_from_sibling(5000));
    pump(20);
    ASSERT_EQ(frame->document_windows().size(), 1u);

    app::set_current_file(make_wave("other.wav"));
    frame->on_command(2002);
    ASSERT_EQ(frame->document_windows().size(), 2u);
    EXPECT_EQ(frame->active_document_window()->windowTitle(), "other.wav");

    // The same name again, even from another folder: that window comes forward.
    kel::paths::make_dirs(root + "elsewhere");
    write_file(root + "elsewhere/take.wav", read_file(take));
    kel::profile::write_string("Autostart", "LoadFile", root + "elsewhere/take.wav", ini);
    ASSERT_TRUE(request_from_sibling(5000));
    pump(20);
    EXPECT_EQ(frame->document_windows().size(), 2u);
    EXPECT_EQ(frame->active_document_window()->windowTitle(), "take.wav");

    // The comparison is exact: another case is another file.
    write_file(root + "Take.wav", read_file(take));
    kel::profile::write_string("Autostart", "LoadFile", root + "Take.wav", ini);
    ASSERT_TRUE(request_from_sibling(5000));
    pump(20);
    EXPECT_EQ(frame->document_windows().size(), 3u);
}

TEST_F(AppTest, OutsideProgramsAreStartedWithoutWaiting)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->on_command(2001);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], (std::vector<std::string>{program + "KVSTUTOR.EXE"}));
    frame->on_command(1852);
    EXPECT_EQ(started[1], (std::vector<std::string>{program + "MIDIKEYB.EXE"}));

    // The web site: first the browser is asked for and stored, then it is started.
    kel::set_ui(&ui);
    ui.file_dialog_answers.push_back("/opt/My Browser/browse");
    frame->on_command(1012);
    ASSERT_EQ(ui.file_dialogs.size(), 1u);
    EXPECT_EQ(ui.file_dialogs[0].title, "Select Desired Default Web Browser");
    EXPECT_EQ(profile_value("Internet browser", "Preferred browser"), "/opt/My Browser/browse");
    EXPECT_EQ(started.size(), 2u);
    frame->on_command(1012);
    ASSERT_EQ(started.size(), 3u);
    EXPECT_EQ(started[2],
              (std::vector<std::string>{"/opt/My Browser/browse", app::kMakerWebAddress}));
}

TEST_F(AppTest, TheEndOfTheRunDeletesItsOwnFilesAndNoOneElses)
{
    start();
    // Files of other runs and of earlier versions, and the folder of another editor.
    const std::vector<std::string> foreign = {
        "12345678.tmp", "99.TMP",   "clipbord.clp",         "cliptext.clp",
        "convclip.clp", "keep.wav", "orlo-1-1/1234    .tmp"};
    kel::paths::make_dirs(data + "orlo-1-1");
    for (const std::string& f : foreign)
        write_file(data + f, "x");
    app::set_current_file(make_wave("open.wav"));
    app_->main_frame()->on_command(2002);
    CChildFrame* doc = CChildFrame::GetTheFuckingHandle();
    ASSERT_TRUE(doc);
    ASSERT_EQ(copy_to_clipboard(*doc), 1);
    const std::string folder = kel::run_dir::current();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(std::string(doc->working_file()).rfind(folder, 0), 0u);
    EXPECT_EQ(clipboard_data_path(), folder + "clipbord.clp");
    EXPECT_EQ(working_file_count(), 1);
    stop();
    EXPECT_NE(access(folder.c_str(), F_OK), 0) << "the run's folder goes";
    for (const std::string& f : foreign)
        EXPECT_EQ(read_file(data + f), "x") << f;
}

TEST_F(AppTest, TilingArrangesTheWindowsAndRedrawsAfterAHundredMilliseconds)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1000, 700);
    for (const char* n : {"t1.wav", "t2.wav", "t3.wav"}) {
        app::set_current_file(make_wave(n));
        frame->on_command(2002);
    }
    frame->on_command(57652);
    auto subs = frame->mdi_area()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(subs.size(), 3);
    EXPECT_EQ(subs[0]->x(), 0);
    EXPECT_LT(subs[0]->x(), subs[1]->x());
    EXPECT_LT(subs[1]->x(), subs[2]->x());
    EXPECT_EQ(subs[0]->height(), frame->mdi_area()->viewport()->height());
    frame->on_command(57651);
    EXPECT_LT(subs[0]->y(), subs[1]->y());
    EXPECT_EQ(subs[2]->width(), frame->mdi_area()->viewport()->width());
}
