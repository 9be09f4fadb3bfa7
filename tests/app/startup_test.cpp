// Start-up order, the application profile, autostart and the tutorial handles.
#include "common/child_frame.h"
#include "editor/app/app_profile.h"
#include "editor/app/app_state.h"
#include "editor/app/private_ini.h"
#include "editor/app/startup_dialogs.h"
#include "editor/app/window_placement.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/dialogs.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "tests/app/app_fixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLocalServer>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

using Trace = std::vector<std::string>;

TEST_F(AppTest, StartUpRunsItsStepsInOrder)
{
    start();
    const Trace expected = {"controls",      "profile",      "construct-frame", "load-frame",
                            "load-menu-129", "show",         "accept-files",    "listen",
                            "flags",         "title",        "tutor-ini",       "recover",
                            "autostart",     "read-profile", "reset-gauges",    "spectrum-timer"};
    EXPECT_EQ(app_->trace(), expected);
    ui::CMainFrame* frame = app_->main_frame();
    EXPECT_EQ(frame->windowTitle(), "Kelvara");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->acceptDrops());
    EXPECT_TRUE(frame->spectrum_indicator()->timer_running(ui::SpectrumIndicator::kTimerEmpty));
    // The flags of start-up: transport on, undo, redo and the playlist off.
    for (int id : {11400, 11401, 11402, 11403, 11404, 11800, 11801, 11902, 11903, 11904, 11905,
                   11518, 11901, 11900})
        EXPECT_TRUE(app::has_command_flag(id) && app::command_flag(id)) << id;
    for (int id : {11600, 11601, 353})
        EXPECT_FALSE(app::command_flag(id)) << id;
    // The master output starts at 128 and the fader shows it.
    EXPECT_EQ(app::master_output_level(), 128);
    EXPECT_EQ(frame->volume_fader()->value(), 128);
}

TEST_F(AppTest, LogoAndTipComeAfterAutostartAndBeforeTheGauges)
{
    set_preference("Show logo", "yes");
    set_preference("Tip of the day", "yes");
    write_file(program + "KVRA32.TXT", "First tip\n");
    const std::string wav = make_wave("auto.wav");
    kel::profile::write_string("Autostart", "LoadFile", wav, program + "KVSDFALT.INI");
    QLocalServer sibling;
    ASSERT_TRUE(sibling.listen(QString::fromStdString(app::sibling_socket_path())));

    std::vector<std::string> seen;
    // The logo closes at a click; then the tip dialog comes up and is closed.
    when_modal([&](QWidget* w) {
        seen.push_back(w->objectName().toStdString());
        EXPECT_EQ(documents::count(), 1);
        QTest::mouseClick(w, Qt::LeftButton);
        when_modal([&](QWidget* tip) {
            seen.push_back(tip->objectName().toStdString());
            tip->findChild<QPushButton*>("close")->click();
        });
    });
    start();
    EXPECT_EQ(seen, (Trace{"LOGOBITMAP", "TIPOFTHEDAY"}));
    const Trace& t = app_->trace();
    auto at = [&](const char* s) { return std::find(t.begin(), t.end(), s) - t.begin(); };
    EXPECT_LT(at("autostart-open"), at("read-profile"));
    EXPECT_LT(at("read-profile"), at("logo"));
    EXPECT_LT(at("logo"), at("tip"));
    EXPECT_LT(at("tip"), at("reset-gauges"));
}

TEST_F(AppTest, LogoClosesByItselfAfterFiveSeconds)
{
    app::LogoDialog logo;
    EXPECT_EQ(app::LogoDialog::kTimeoutMs, 5000);
    logo.timer(7);
    EXPECT_FALSE(logo.ended());
    logo.timer(app::LogoDialog::kTimerId);
    EXPECT_TRUE(logo.ended());
    // "Display now" waits for the click.
    app::LogoDialog stays(false);
    stays.timer(app::LogoDialog::kTimerId);
    EXPECT_FALSE(stays.ended());
    stays.clicked();
    EXPECT_TRUE(stays.ended());
}

TEST_F(AppTest, AutostartOpensTheFileOnlyWhileTheSiblingRuns)
{
    const std::string wav = make_wave("take1.wav");
    kel::profile::write_string("Autostart", "LoadFile", wav, program + "KVSDFALT.INI");
    start();
    EXPECT_TRUE(app_->main_frame()->document_windows().empty());
    stop();

    QLocalServer sibling;
    ASSERT_TRUE(sibling.listen(QString::fromStdString(app::sibling_socket_path())));
    start();
    auto windows = app_->main_frame()->document_windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->windowTitle(), "take1.wav");
    EXPECT_STREQ(app::g_current_file, wav.c_str());
    EXPECT_STREQ(app::g_current_title, "take1.wav");
    // The document menu replaces the frame's.
    EXPECT_TRUE(app_->main_frame()->showing_document_menu());
}

TEST_F(AppTest, AutostartWithoutALoadFileOpensNothing)
{
    QLocalServer sibling;
    ASSERT_TRUE(sibling.listen(QString::fromStdString(app::sibling_socket_path())));
    kel::profile::write_string("Autostart", "Other", "x", program + "KVSDFALT.INI");
    start();
    EXPECT_TRUE(app_->main_frame()->document_windows().empty());
    EXPECT_EQ(std::count(app_->trace().begin(), app_->trace().end(), "autostart-open"), 0);
}

TEST_F(AppTest, TutorialIniHoldsTheWindowHandles)
{
    start();
    const std::string ini = kel::paths::config_dir() + "KVSTUTOR.INI";
    EXPECT_NE(access((program + "KVSTUTOR.INI").c_str(), F_OK), 0)
        << "nothing in the program folder";
    ui::CMainFrame* frame = app_->main_frame();
    const std::string main_id = std::to_string(frame->winId());
    const std::string bar_id = std::to_string(frame->transport_bar()->winId());
    EXPECT_EQ(kel::profile::read_string("Tutorials", "MainWindow", "", ini), main_id);
    EXPECT_EQ(kel::profile::read_string("Tutorials", "TransportRecord", "", ini), bar_id);
    EXPECT_EQ(kel::profile::read_string("Tutorials", "TransportPlay", "", ini), bar_id);
    EXPECT_NE(main_id, "0");
}

TEST_F(AppTest, PreferencesTakeTheirDefaultsAndTheYesNoRule)
{
    kel::profile::delete_section("Preferences", kel::profile::app_profile());
    app::Preferences p = app::read_preferences();
    EXPECT_TRUE(p.big_volume_indicators);
    EXPECT_TRUE(p.show_logo);
    EXPECT_FALSE(p.voice_message);
    EXPECT_FALSE(p.big_time_display);
    EXPECT_TRUE(p.tip_of_the_day);
    EXPECT_TRUE(p.backup_for_undo);
    EXPECT_FALSE(p.zoomed_initial_display);
    EXPECT_EQ(p.time_format, 1);
    EXPECT_FALSE(p.marker_name_on_the_fly);
    EXPECT_EQ(p.default_wave_input, 0);
    EXPECT_EQ(p.default_midi_output, 0);

    // A capital letter is not "yes"; an empty value takes the default.
    set_preference("Show logo", "Yes");
    set_preference("Backup for undo", "");
    set_preference("Voice message", "yes");
    set_preference("Default Midi input device", "65537"); // 16-bit: wraps to 1
    p = app::read_preferences();
    EXPECT_FALSE(p.show_logo);
    EXPECT_TRUE(p.backup_for_undo);
    EXPECT_TRUE(p.voice_message);
    EXPECT_EQ(p.default_midi_input, 1);

    // Written back as lower-case "yes" and "no".
    app::write_preferences(p);
    EXPECT_EQ(profile_value("Preferences", "Show logo"), "no");
    EXPECT_EQ(profile_value("Preferences", "Voice message"), "yes");
    EXPECT_EQ(profile_value("Preferences", "Time format"), "1");
}

TEST_F(AppTest, AMissingDataDirectoryIsSetAndWrittenBack)
{
    kel::profile::delete_key("Data directory", "Last used directory", kel::profile::app_profile());
    app::read_profile_settings();
    // The user's data directory, never the program's folder.
    EXPECT_EQ(app::g_data_directory, root + "share/Kelvara/");
    EXPECT_EQ(profile_value("Data directory", "Last used directory"), root + "share/Kelvara/");
    EXPECT_EQ(app::g_preferred_browser, "");
}

TEST_F(AppTest, ClosingWritesTheLayoutAndAMaximisedFrameReopensMaximised)
{
    start();
    app_->main_frame()->showMaximized();
    pump(50);
    ASSERT_TRUE(app_->main_frame()->isMaximized());
    stop();
    EXPECT_EQ(profile_value("General", "Color"), "1");
    EXPECT_EQ(profile_value("General", "ToolTips"), "1");
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(profile_value("General-Bar" + std::to_string(i), "Visible"), "1") << i;
    const std::string pos = profile_value("Settings", "WindowPos");
    auto placement = app::parse_window_placement(pos);
    ASSERT_TRUE(placement) << pos;
    EXPECT_EQ(placement->flags & app::kRestoreToMaximized, app::kRestoreToMaximized);
    EXPECT_EQ(placement->show_command, app::kShowMaximized);

    start();
    EXPECT_TRUE(app_->main_frame()->windowState() & Qt::WindowMaximized);
}

TEST_F(AppTest, ANormalPlacementComesBackAndABrokenOneIsIgnored)
{
    kel::profile::write_string("Settings", "WindowPos", "0,1,-1,-1,-1,-1,40,30,640,530",
                               kel::profile::app_profile());
    start();
    EXPECT_EQ(app_->main_frame()->geometry(), QRect(40, 30, 600, 500));
    EXPECT_FALSE(app_->main_frame()->isMaximized());
    stop();
    // Saved on a larger screen or at another scale: brought back onto this one's work area,
    // shrunk where it is larger.
    kel::profile::write_string("Settings", "WindowPos", "0,1,-1,-1,-1,-1,2400,1800,3600,2200",
                               kel::profile::app_profile());
    start();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed = app_->main_frame()->geometry();
    EXPECT_TRUE(area.contains(placed.topLeft())) << placed.x() << "," << placed.y();
    // Its top left on the work area, and (the frame may not shrink below its bars) nearly all
    // of it visible.
    EXPECT_GE(placed.intersected(area).width(), std::min(placed.width(), area.width()) * 9 / 10);
    EXPECT_GE(placed.intersected(area).height(), std::min(placed.height(), area.height()) * 9 / 10);
    stop();
    const app::ScreenRect inside = app::fit_on_screen({10, 10, 100, 100}, {0, 0, 800, 600});
    EXPECT_EQ(inside.x, 10);
    EXPECT_EQ(inside.width, 100);
    const app::ScreenRect left = app::fit_on_screen({-500, 700, 300, 200}, {0, 0, 800, 600});
    EXPECT_EQ(left.x, 0);
    EXPECT_EQ(left.y, 400);
    EXPECT_FALSE(app::parse_window_placement("0,1,-1,-1,-1,-1,40,30,840"));
    EXPECT_FALSE(app::parse_window_placement("0,1,-1,-1,-1,-1,40,30,840,630,5"));
    EXPECT_FALSE(app::parse_window_placement("0,1,a,-1,-1,-1,40,30,840,630"));
    EXPECT_EQ(
        app::format_window_placement(*app::parse_window_placement("2,3,-1,-1,-8,-8,10,20,110,220")),
        "2,3,-1,-1,-8,-8,10,20,110,220");
}

TEST_F(AppTest, BarVisibilityFollowsTheGeneralBarMapping)
{
    // "General-Bar1" is the DB meter (bar 9), "General-Bar4" the Files bar (bar 0).
    const std::string f = kel::profile::app_profile();
    kel::profile::write_int("General-Bar1", "Visible", 0, f);
    kel::profile::write_int("General-Bar4", "Visible", 0, f);
    start();
    ui::CMainFrame* frame = app_->main_frame();
    EXPECT_TRUE(frame->bar(9)->isHidden());
    EXPECT_TRUE(frame->bar(0)->isHidden());
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 10})
        EXPECT_FALSE(frame->bar(n)->isHidden()) << n;
    EXPECT_EQ(frame->bar(9)->windowTitle(), "DB Meter");
    EXPECT_EQ(frame->bar(0)->windowTitle(), "Files");
    // Command 1039 shows the bar again at once.
    frame->on_command(1039, 9);
    EXPECT_FALSE(frame->bar(9)->isHidden());
}

namespace {
// Shows the tool tip of a tool bar button as the mouse would, and returns what it shows.
QString tip_shown(ui::CMainFrame* frame, int command)
{
    QToolTip::hideText();
    for (int i = 0; i < 50 && QToolTip::isVisible(); ++i)
        QTest::qWait(10);
    QAction* a = frame->bar_action(command);
    QWidget* button = nullptr;
    for (QObject* o : a->associatedObjects())
        if (auto* b = qobject_cast<QToolButton*>(o))
            button = b;
    if (!button)
        return "<no button>";
    QHelpEvent e(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(button, &e);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}
} // namespace

TEST_F(AppTest, ToolTipsOffGivesNoTipsAfterARestartAndCommand22AppliesAtOnce)
{
    start();
    EXPECT_EQ(tip_shown(app_->main_frame(), 11201), "Open");
    EXPECT_EQ(tip_shown(app_->main_frame(), 11902), "L hilight <-");
    // The preference page turns them off and sends 22.
    app_->main_frame()->set_tool_tips(false);
    app_->main_frame()->on_command(22);
    EXPECT_EQ(tip_shown(app_->main_frame(), 11201), "");
    stop();
    EXPECT_EQ(profile_value("General", "ToolTips"), "0");
    start();
    EXPECT_FALSE(app_->main_frame()->tool_tips());
    EXPECT_EQ(tip_shown(app_->main_frame(), 11201), "");
}
