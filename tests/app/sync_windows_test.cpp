// The synchronisation dialogs in the program: the chase lock from its menu command, the
// triggers' windows following their models; pictures when KELVARA_SCREENSHOT_DIR is set.
#include "editor/app/app_state.h"
#include "editor/sync/chase_lock.h"
#include "editor/sync/sync_dialog.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "tests/app/app_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

namespace mi = kel::midi_in;

TEST_F(AppTest, SynchronisationWindowsShowTheirModels)
{
    const char* env = std::getenv("KELVARA_SCREENSHOT_DIR");
    const QString dir = env && *env ? QString(env) : QString();
    auto save = [&](QWidget* w, const char* file) {
        if (!dir.isEmpty())
            w->grab().save(dir + "/" + file);
    };
    // An input the test feeds.
    void* target = nullptr;
    mi::Handle handle = 0;
    synchro::MidiCalls& calls = synchro::midi_calls();
    calls.open = [&](mi::Handle* h, int, void* t) {
        *h = handle = 77;
        target = t;
        return static_cast<int>(mi::kOk);
    };
    calls.start = calls.stop = calls.close = [](mi::Handle) { return static_cast<int>(mi::kOk); };
    auto send = [&](int status, int d1, int d2) {
        kel::events::post(target, mi::kMimData, handle, status | d1 << 8 | d2 << 16);
        kel::events::pump();
    };

    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("take.wav", 44100 * 3));
    frame->on_command(2002);
    pump(50);

    synchro::trigger_settings() = {};
    synchro::trigger_settings().source = synchro::TriggerSource::Mtc;
    synchro::trigger_settings().lead_in = {0, 0, 10, 0};
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Trigger Recording or Playback");
        auto* mtc = w->findChild<QWidget*>("1851");
        ASSERT_TRUE(mtc);
        EXPECT_TRUE(static_cast<QAbstractButton*>(mtc)->isChecked());
        save(w, "orlo-sync-trigger.png");
        w->close();
    });
    synchro::SyncRecordPlaybackDialog set_up;
    EXPECT_EQ(kel::ui().run_modal(set_up), kel::kIdCancel);

    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Set SMPTE Time");
        save(w, "orlo-sync-setsmpte.png");
        w->close();
    });
    synchro::SetSmpteDialog set_smpte;
    kel::ui().run_modal(set_smpte);

    // The MTC trigger: its lines after 150 ms, the time as it comes.
    synchro::TriggerSettings s = synchro::trigger_settings();
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Start MTC for Recording");
        kel::clock::advance(200);
        pump(30);
        QTest::mouseClick(w->findChild<QPushButton*>("1893"), Qt::LeftButton);
        for (int p = 0; p < 8; ++p)
            send(0xF1, p << 4 | (p == 2 ? 5 : p == 0 ? 3 : 0), 0);
        pump(10);
        EXPECT_EQ(w->findChild<QLabel*>("419")->text(), "00:00:05:03");
        EXPECT_EQ(w->findChild<QLabel*>("273")->text(), "Start MTC device");
        save(w, "orlo-sync-mtc.png");
        w->close();
    });
    EXPECT_EQ(synchro::run_trigger(s, nullptr), 0);

    s.source = synchro::TriggerSource::Delay;
    s.delay_seconds = 5;
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Start Delay for Recording");
        kel::clock::advance(200);
        kel::events::pump();
        pump(30);
        EXPECT_EQ(w->findChild<QLabel*>("273")->text(), "Press Start to begin timed delay");
        save(w, "orlo-sync-delay.png");
        w->close();
    });
    EXPECT_EQ(synchro::run_trigger(s, nullptr), 0);

    s.source = synchro::TriggerSource::Sequencer;
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Start MIDI for Recording");
        send(0x93, 62, 90);
        pump(10);
        EXPECT_EQ(w->findChild<QLabel*>("273")->text(), "Note D5 on, channel 4");
        save(w, "orlo-sync-note.png");
        send(0x90, 60, 90); // the trigger's note: the window closes itself
        pump(10);
    });
    EXPECT_EQ(synchro::run_trigger(s, nullptr), 1);

    // Alt+S's command: the chase lock for the active document.
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), "Chase-lock to SMPTE");
        auto* start_button = w->findChild<QPushButton*>("1893");
        EXPECT_EQ(start_button->text(), "&Start");
        QTest::mouseClick(start_button, Qt::LeftButton);
        EXPECT_EQ(start_button->text(), "&Cancel");
        EXPECT_EQ(w->findChild<QLabel*>("273")->text(), "Ready for Midi Time Code Input");
        for (int p = 0; p < 8; ++p)
            send(0xF1, p << 4 | (p == 2 ? 1 : 0), 0);
        pump(10);
        EXPECT_EQ(w->findChild<QLabel*>("419")->text(), "00:00:01:00");
        save(w, "orlo-sync-chaselock.png");
        QTest::mouseClick(start_button, Qt::LeftButton);
    });
    frame->on_command(1025);
    pump(20);
    synchro::restore_midi_calls();
}
