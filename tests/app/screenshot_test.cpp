// Pictures of the main window for people to look at: set KELVARA_SCREENSHOT_DIR to a
// folder and run this test; without it the test is skipped.
#include "editor/app/app_state.h"
#include "editor/app/controls.h"
#include "editor/app/startup_dialogs.h"
#include "editor/document/recovery.h"
#include "editor/ui/control_widgets.h"
#include "platform/paths.h"
#include "tests/app/app_fixture.h"

#include <QMdiArea>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <cstdlib>

TEST_F(AppTest, ScreenshotOfTheMainWindowWithTwoDocuments)
{
    const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "KELVARA_SCREENSHOT_DIR not set";
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1280, 800);
    pump(50);
    frame->grab().save(QString(dir) + "/orlo-empty.png");
    app::set_current_file(make_wave("guitar take 1.wav", 44100 * 3));
    frame->on_command(2002);
    app::set_current_file(make_wave("vocals.wav", 44100 * 2));
    frame->on_command(2002);
    frame->on_command(57652);
    // Something on the meters, as while playing.
    kel::controls::_draw_record_volume(frame->volume_indicator()->handle(), 96, 70);
    kel::controls::_draw_decibel_gauge_volume(frame->left_gauge()->handle(), 90, 0, 0);
    kel::controls::_draw_decibel_gauge_volume(frame->right_gauge()->handle(), 60, 0, 0);
    std::vector<float> block(256);
    for (int i = 0; i < 128; ++i)
        block[2 * i] = static_cast<float>(std::cos(2 * M_PI * 3 * i / 128.0) +
                                          0.6 * std::cos(2 * M_PI * 7 * i / 128.0) +
                                          0.3 * std::cos(2 * M_PI * 12 * i / 128.0));
    frame->spectrum_indicator()->stop_timer(ui::SpectrumIndicator::kTimerEmpty);
    frame->spectrum_indicator()->show_block(block);
    pump(120);
    frame->grab().save(QString(dir) + "/orlo-two-documents.png");

    // The two windows of start-up.
    write_file(program + "KVRA32.TXT", read_file(std::string(std::getenv("KELVARA_TEST_TOOLS")
                                                                 ? std::getenv("KELVARA_TEST_TOOLS")
                                                                 : ".") +
                                                 "/KVRA32.TXT"));
    when_modal([&](QWidget* w) {
        w->grab().save(QString(dir) + "/orlo-logo.png");
        QTest::mouseClick(w, Qt::LeftButton);
    });
    app::LogoDialog logo;
    kel::ui().run_modal(logo);
    when_modal([&](QWidget* w) {
        pump(20);
        w->grab().save(QString(dir) + "/orlo-tip.png");
        w->close();
    });
    frame->on_command(105);
}

TEST_F(AppTest, ScreenshotOfTheRecoveryQuestion)
{
    const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "KELVARA_SCREENSHOT_DIR not set";
    // Two unsaved documents of a run that died.
    const std::string dead = data + "orlo-4999991-1/";
    kel::paths::make_dirs(dead);
    for (int n : {1, 2}) {
        recovery::Manifest m;
        m.title = n == 1 ? "guitar take 1.wav" : "SAMPLE1.WAV";
        m.format.channels = 2;
        m.format.bits_per_sample = 16;
        m.format.sample_rate = 44100;
        m.working = std::to_string(1000 + n) + "    .tmp";
        m.modified = true;
        const std::string wav = read_file(make_wave("take.wav", 44100 * 2));
        write_file(dead + m.working, wav.substr(44));
        write_file(dead + "doc-" + std::to_string(n) + ".manifest", recovery::manifest_text(m));
    }
    when_modal([&](QWidget* w) {
        pump(20);
        w->grab().save(QString(dir) + "/orlo-recover.png");
        if (auto* box = qobject_cast<QMessageBox*>(w))
            box->button(QMessageBox::Yes)->click();
    });
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1280, 800);
    frame->on_command(57652);
    pump(120);
    frame->grab().save(QString(dir) + "/orlo-recovered.png");
}
