// The Record command of the main frame: its dialog on a real window, a take from the
// virtual input, and OK making it the document's state.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/devices/record.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_device.h"
#include "tests/app/app_fixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <cstdlib>

namespace wd = kel::wave_device;

TEST_F(AppTest, RecordFromTheFrameMakesANewDocumentsTakeItsUndoableState)
{
    wd::set_backend(wd::Backend::Virtual);
    wd::set_virtual_source("");
    wd::set_virtual_tone(440.0);
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1280, 800);
    app::set_current_file(make_wave("take.wav", 22050));
    frame->on_command(2002);
    CChildFrame* doc = documents::active();
    ASSERT_TRUE(doc);
    const long before = doc->current.total_samples;
    frame->update_command_states();
    ASSERT_TRUE(frame->bar_action(11400)->isEnabled());

    std::string shown_title, time_text, length_text;
    when_modal([&](QWidget* w) {
        shown_title = w->windowTitle().toStdString();
        auto button = [&](int id) { return w->findChild<QAbstractButton*>(QString::number(id)); };
        ASSERT_TRUE(button(NewRecordDialog::kRecord));
        QTest::mouseClick(button(NewRecordDialog::kRecord), Qt::LeftButton);
        // Five seconds of the tone, the clock moved by hand.
        for (int i = 0; i < 100; ++i) {
            kel::clock::advance(50);
            wd::settle();
            kel::events::pump(); // timers of the pinned clock are due now
            pump();
        }
        QTest::qWait(150);
        if (const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR"); dir && *dir)
            w->grab().save(QString(dir) + "/orlo-record-dialog.png");
        QTest::mouseClick(button(NewRecordDialog::kStop), Qt::LeftButton);
        for (int i = 0; i < 14; ++i) {
            kel::clock::advance(50);
            wd::settle();
            kel::events::pump(); // timers of the pinned clock are due now
            pump();
        }
        time_text = w->findChild<QLabel*>("419")->text().toStdString();
        length_text = w->findChild<QLabel*>("418")->text().toStdString();
        QTest::mouseClick(button(kel::kIdOk), Qt::LeftButton);
    });
    frame->on_command(11400);
    pump(50);
    EXPECT_EQ(shown_title, "Record Waveform");
    EXPECT_EQ(length_text.substr(length_text.size() - 4), " sec");
    const double seconds = std::atof(length_text.c_str());
    EXPECT_GE(seconds, 4.9);
    EXPECT_LE(seconds, 5.8);
    EXPECT_EQ(time_text, length_text);
    // The take replaced the document's samples: 5 s and a little of 44.1 kHz stereo.
    EXPECT_NEAR(static_cast<double>(doc->current.total_samples), seconds * 88200, 50);
    EXPECT_STREQ(doc->undo_text, "&Undo Record...\tCtrl+Z");
    if (const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR"); dir && *dir)
        frame->grab().save(QString(dir) + "/orlo-after-record.png");
    ASSERT_EQ(doc->undo_command(), 1);
    EXPECT_EQ(doc->current.total_samples, before);
    wd::unset_backend();
}
