// Smaller pieces of the shell: outside-program starts, the recent-file list, prompts, the
// new-file dialog and the spectrum command.
#include "editor/app/app_state.h"
#include "editor/app/commands.h"
#include "editor/app/recent_files.h"
#include "editor/app/spectrum.h"
#include "editor/devices/playback.h"
#include "editor/strings.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/document_window.h"
#include "platform/clock.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/wave_device.h"
#include "tests/app/app_fixture.h"

#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <sys/wait.h>
#include <unistd.h>

TEST_F(AppTest, OutsideProgramsRunWithoutWaitingAndCommandLinesSplit)
{
    kel::process::set_observer(nullptr);
    const std::string marker = root + "ran";
    const long id =
        kel::process::start({"/bin/sh", "-c", "sleep 0.2; touch '" + marker + "'"}, true);
    ASSERT_NE(id, 0);
    // The start did not wait for the program.
    EXPECT_NE(access(marker.c_str(), F_OK), 0);
    for (int i = 0; i < 100 && !kel::process::has_exited(id); ++i)
        usleep(20000);
    EXPECT_EQ(access(marker.c_str(), F_OK), 0);
    EXPECT_EQ(kel::process::start({root + "no-such-program"}, true), 0);
    EXPECT_EQ(kel::process::split_command_line("\"/opt/My Browser/b\" https://x/ y"),
              (std::vector<std::string>{"/opt/My Browser/b", "https://x/", "y"}));
}

TEST_F(AppTest, RecentFilesKeepSixAndStopReadingAtAGap)
{
    const std::string f = kel::profile::app_profile();
    kel::profile::write_string("Recent File List", "File1", "/a.wav", f);
    kel::profile::write_string("Recent File List", "File2", "/b.wav", f);
    kel::profile::write_string("Recent File List", "File4", "/d.wav", f);
    app::RecentFiles r;
    r.read();
    EXPECT_EQ(r.files(), (std::vector<std::string>{"/a.wav", "/b.wav"}));
    for (const char* n : {"/1.wav", "/2.wav", "/3.wav", "/4.wav", "/5.wav", "/b.wav"})
        r.add(n);
    EXPECT_EQ(r.files(), (std::vector<std::string>{"/b.wav", "/5.wav", "/4.wav", "/3.wav", "/2.wav",
                                                   "/1.wav"}));
    r.write();
    EXPECT_EQ(profile_value("Recent File List", "File1"), "/b.wav");
    EXPECT_EQ(profile_value("Recent File List", "File6"), "/1.wav");
    const std::string longer = "/home/someone/music/projects/2026/a very long folder name/take.wav";
    const std::string text = app::RecentFiles::menu_text(0, longer);
    EXPECT_EQ(text.substr(0, 3), "&1 ");
    EXPECT_EQ(static_cast<int>(text.size()) - 3, app::kRecentTextLength);
    EXPECT_EQ(text.substr(text.size() - 8), "take.wav");
    EXPECT_EQ(app::RecentFiles::menu_text(1, "/R&B.wav"), "&2 /R&&B.wav");
}

TEST_F(AppTest, RecentFilesReopenFromTheFileMenu)
{
    const std::string wav = make_wave("again.wav");
    kel::profile::write_string("Recent File List", "File1", wav, kel::profile::app_profile());
    start();
    ui::CMainFrame* frame = app_->main_frame();
    QAction* a = frame->menu_action(57616);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->text().toStdString(), "&1 " + wav);
    EXPECT_TRUE(a->isEnabled());
    a->trigger();
    ASSERT_EQ(frame->document_windows().size(), 1u);
    EXPECT_EQ(frame->document_windows()[0]->windowTitle(), "again.wav");
}

TEST_F(AppTest, EveryBarButtonHasAStatusTextAndATip)
{
    for (const app::BarInfo& bar : app::bars())
        for (int id : bar.buttons) {
            if (id == 0)
                continue;
            const app::Prompt p = app::command_prompt(id);
            EXPECT_FALSE(p.status.empty()) << id;
            EXPECT_FALSE(p.tip.empty()) << id;
        }
    // Where the message table holds a prompt of its own for an id, it is the one shown;
    // bitmap names that share a command's id are not taken for prompts.
    for (int id : command_prompt_ids()) {
        const std::string table = string_table_text(id);
        if (table.find('\n') != std::string::npos)
            EXPECT_EQ(table, command_prompt_text(id)) << id;
        else
            EXPECT_EQ(app::command_prompt(id).status + "\n" + app::command_prompt(id).tip,
                      command_prompt_text(id))
                << id;
    }
    EXPECT_EQ(app::command_prompt(1405).tip, "Help");
    EXPECT_EQ(app::command_prompt(11902).status, "Move begining of selection earlier");
    EXPECT_EQ(app::command_prompt(12001).tip, "Record/Playback level");
}

TEST_F(AppTest, CreateNewFileAsksForTheFormatAndOpensTheFile)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    QString title;
    when_modal([&](QWidget* d) {
        title = d->windowTitle();
        for (QRadioButton* r : d->findChildren<QRadioButton*>())
            if (r->text() == "Stereo" || r->text() == "16 bits" || r->text() == "44.100")
                r->click();
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "OK")
                b->click();
    });
    frame->on_command(11200);
    EXPECT_EQ(title, "Create New File");
    ASSERT_EQ(frame->document_windows().size(), 1u);
    CChildFrame* doc = frame->document_windows()[0]->document();
    EXPECT_EQ(frame->document_windows()[0]->windowTitle().left(6), "SAMPLE");
    EXPECT_EQ(doc->wave_format.channels, 2);
    EXPECT_EQ(doc->wave_format.bits_per_sample, 16);
    EXPECT_EQ(doc->wave_format.sample_rate, 44100u);
}

TEST_F(AppTest, CommandOneSeventyShowsTheSharedBlock)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::g_spectrum_block.assign(128, 0.0f);
    for (int i = 0; i < 64; ++i)
        app::g_spectrum_block[2 * i] = static_cast<float>(std::cos(2 * M_PI * 9 * i / 64.0));
    frame->on_command(170);
    EXPECT_EQ(frame->spectrum_indicator()->bars()[8], -5);
    EXPECT_EQ(frame->spectrum_indicator()->bars()[0], 28);
}

TEST_F(AppTest, PlayFromTheMenuRunsThroughTheQtEventLoop)
{
    // The virtual device plays on the real clock into a sink file; only the Qt loop
    // pumps the device's notifications and the tracking timer.
    kel::clock::unfix();
    kel::wave_device::set_backend(kel::wave_device::Backend::Virtual);
    const std::string sink = root + "sink.raw";
    kel::wave_device::set_virtual_sink(sink);
    start();
    ui::CMainFrame* frame = app_->main_frame();
    // 0.7 s: long enough for the tracking tick, which feeds the meters.
    app::set_current_file(make_wave("short.wav", 30870));
    frame->on_command(2002);
    frame->on_command(11401);
    EXPECT_TRUE(playback_state().is_playing);
    for (int i = 0; i < 300 && playback_state().is_playing; ++i)
        QTest::qWait(10);
    EXPECT_FALSE(playback_state().is_playing);
    // The whole file up to the last few sample words went to the device.
    const size_t played = read_file(sink).size();
    EXPECT_GE(played, 30870u * 4 - 16);
    EXPECT_LE(played, 30870u * 4);
    // The meters saw the noise go by; the gauge holds its peak.
    EXPECT_GT(frame->left_gauge()->model().peak, 0);
    EXPECT_EQ(frame->volume_fader()->value(), 128);
    kel::wave_device::unset_backend();
    kel::wave_device::set_virtual_sink("");
}
