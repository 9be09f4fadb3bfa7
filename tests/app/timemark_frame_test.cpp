// Markers in the running program: the status line over a flag, a click on a pair's flag,
// a flag dragged along the sound, and the time-mark dialog opened from the cue list.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/document/markers.h"
#include "editor/document/timemark_dialog.h"
#include "editor/ui/document_window.h"
#include "editor/ui/timemark_window.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/waveform_area.h"
#include "tests/app/app_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <cmath>
#include <cstdlib>

namespace {

void send_mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TimemarkFrameTest : public AppTest
{
  protected:
    ui::DocumentWindow* open(const std::string& name, int frames)
    {
        app::set_current_file(make_wave(name, frames));
        app_->main_frame()->on_command(2002);
        return app_->main_frame()->active_document_window();
    }
    static QPoint flag_point(WaveformArea* area, long position)
    {
        const int x = static_cast<int>(std::floor(sample_to_x(*area->document(), position)));
        return QPoint(x, area->height() - 8);
    }
};

TEST_F(TimemarkFrameTest, FlagsDescribeSelectAndDragAndTheDialogPairsFromTheCueList)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    ui::DocumentWindow* w = open("marks.wav", 44100);
    ASSERT_TRUE(w);
    CChildFrame* doc = w->document();
    WaveformArea* area = w->view()->area();
    frame->resize(900, 600);
    pump(50);
    ASSERT_GT(area->width(), 200);
    // Stereo: positions in sample words, two to a frame.
    add_marker(*doc, 2 * 4410, "Verse");
    doc->current.select_start = 2 * 22050;
    doc->current.select_end = 2 * 33075;
    doc->current.has_selection = 1;
    ASSERT_EQ(mark_selection(*doc), 1); // entries 1 and 2
    add_marker(*doc, 2 * 39690, "Coda");
    doc->current.has_selection = 0;
    frame->refresh_cue_list();
    area->update();
    pump(20);
    const std::string sound_before = read_file(doc->working_file());
    const int modified_before = doc->is_modified;

    // The pointer over a flag: its description on the status line; away from it "Ready".
    send_mouse(area, QEvent::MouseMove, flag_point(area, 2 * 4410), Qt::NoButton);
    EXPECT_TRUE(frame->statusBar()->currentMessage().startsWith("Verse, Time: "))
        << frame->statusBar()->currentMessage().toStdString();
    send_mouse(area, QEvent::MouseMove, QPoint(flag_point(area, 2 * 4410).x() + 30, 60),
               Qt::NoButton);
    EXPECT_EQ(frame->statusBar()->currentMessage(), "Ready");

    // A click on the end flag of the pair highlights the passage between its markers.
    const QPoint end_flag = flag_point(area, 2 * 33075);
    send_mouse(area, QEvent::MouseButtonPress, end_flag, Qt::LeftButton);
    send_mouse(area, QEvent::MouseButtonRelease, end_flag, Qt::NoButton);
    EXPECT_EQ(doc->current.has_selection, 1);
    EXPECT_EQ(doc->current.select_start, 2 * 22050);
    EXPECT_EQ(doc->current.select_end, 2 * 33075);

    // Dragging "Coda" 40 pixels left moves it there; the sound is untouched, the cue
    // list shows the new time.
    const QPoint coda = flag_point(area, 2 * 39690);
    const QPoint target(coda.x() - 40, coda.y());
    send_mouse(area, QEvent::MouseButtonPress, coda, Qt::LeftButton);
    send_mouse(area, QEvent::MouseMove, QPoint(coda.x() - 20, coda.y()), Qt::LeftButton);
    send_mouse(area, QEvent::MouseMove, target, Qt::LeftButton);
    send_mouse(area, QEvent::MouseButtonRelease, target, Qt::NoButton);
    const long moved = markers_of(*doc).entries[3].position;
    EXPECT_EQ(moved, x_to_frame_sample(*doc, target.x()));
    EXPECT_LT(moved, 2 * 39690);
    EXPECT_EQ(moved % 2, 0);
    EXPECT_EQ(markers_of(*doc).entries[3].name, "Coda");
    EXPECT_EQ(read_file(doc->working_file()), sound_before);
    EXPECT_EQ(doc->is_modified, modified_before);
    CueListBox* cues = frame->cue_list();
    ASSERT_EQ(cues->count(), 4);
    EXPECT_TRUE(cues->itemText(3).startsWith("Coda, Time: "));
    EXPECT_EQ(area->marker_at_point(target.x(), target.y()), 3);

    send_mouse(area, QEvent::MouseMove, target, Qt::NoButton);
    if (const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR"); dir && *dir)
        frame->grab().save(QString(dir) + "/timemark-view.png");

    // The cue list's dialog on "Verse": renamed and paired with "Coda" through the real
    // window, after its refusal of an empty choice.
    cues->setCurrentIndex(0);
    bool seen = false;
    bool refused = false;
    when_modal([&](QWidget* modal) {
        auto* window = qobject_cast<ui::TimemarkWindow*>(modal);
        ASSERT_TRUE(window);
        seen = true;
        EXPECT_EQ(window->windowTitle(), "      Time Markers / Intervals for marks.wav");
        auto* name = window->findChild<QLineEdit*>("390");
        ASSERT_TRUE(name);
        EXPECT_EQ(name->text(), "Verse");
        name->selectAll();
        QTest::keyClicks(name, "Opening");
        auto* existing = window->findChild<QRadioButton*>("1013");
        ASSERT_TRUE(existing);
        QTest::mouseClick(existing, Qt::LeftButton);
        when_modal([&](QWidget* box) {
            auto* message = qobject_cast<QMessageBox*>(box);
            ASSERT_TRUE(message);
            refused = message->text() == "Please select an existing marker from the combo box.";
            message->accept();
        });
        QTest::mouseClick(window->findChild<QWidget*>("1"), Qt::LeftButton);
        ASSERT_TRUE(window->isVisible());
        auto* stop = window->findChild<QScrollBar*>("1817");
        ASSERT_TRUE(stop);
        EXPECT_EQ(stop->maximum(), 2); // the three other markers
        stop->setValue(2);
        auto* combo = window->findChild<QComboBox*>("401");
        EXPECT_TRUE(combo->currentText().startsWith("Coda, Time: "));
        EXPECT_EQ(window->findChild<QLineEdit*>("391")->text(), "Coda");
        if (const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR"); dir && *dir)
            window->grab().save(QString(dir) + "/timemark-dialog.png");
        QTest::mouseClick(window->findChild<QWidget*>("1"), Qt::LeftButton);
    });
    EXPECT_EQ(cues->open_timemark_dialog(), kel::kIdOk);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(refused);
    const MarkerTable& t = markers_of(*doc);
    EXPECT_EQ(t.entries[0].name, "Opening");
    EXPECT_EQ(t.entries[0].partner, 3);
    EXPECT_EQ(t.entries[3].end_flag, 1);
    EXPECT_EQ(t.entries[3].name, "Coda");
    EXPECT_TRUE(cues->itemText(0).startsWith("Opening, Time: "));
    EXPECT_EQ(read_file(doc->working_file()), sound_before);
}
