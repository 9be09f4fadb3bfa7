// The wheel, the cursor keys, Space and Delete in a document window, with real events;
// opening a file twice and from the command line; what an effect that clips shows.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/devices/playback_controller.h"
#include "editor/document/edit_menu.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/play_bar.h"
#include "editor/view/ui/waveform_area.h"
#include "editor/view/view_state.h"
#include "levra/dialogs.h"
#include "tests/app/app_fixture.h"

#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>

namespace {

void wheel(QWidget* w, int x, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at(x, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

// Columns of the drawn waveform that hold anything but the background.
int drawn_columns(const QImage& image)
{
    const QRgb background = image.pixel(0, 0);
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != background) {
                last = x;
                break;
            }
    return last + 1;
}

} // namespace

TEST_F(AppTest, WheelKeysAndZoomMoveTheViewAsTheySay)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1200, 700);
    // 25 s of stereo noise.
    app::set_current_file(make_wave("keys.wav", 25 * 44100));
    frame->on_command(2002);
    ui::DocumentWindow* w = frame->active_document_window();
    ASSERT_TRUE(w);
    if (auto* sub = qobject_cast<QWidget*>(w->parentWidget()))
        sub->showMaximized();
    pump(20);
    CChildFrame* doc = w->document();
    WaveformArea* area = w->view()->area();
    ViewState& view = area->state();
    const long total = doc->current.total_samples;
    area->setFocus();

    // Minimum zoom (Alt+U): the whole file across the whole width.
    QTest::keyClick(area, Qt::Key_U, Qt::AltModifier);
    pump();
    area->refresh_image();
    EXPECT_EQ(doc->first_visible, 0);
    EXPECT_NEAR(sample_to_x(*doc, total), area->width(), 1.0);
    EXPECT_GE(drawn_columns(area->image()), area->width() - 2);
    EXPECT_EQ(w->view()->play_bar()->scroll_bar()->maximum(), 0);

    // Ctrl+wheel zooms in around the pointer: what was under it stays under it.
    const long under = x_to_frame_sample(*doc, 300);
    const float fit = doc->current.zoom_factor;
    wheel(area, 300, 2, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, fit * 4);
    EXPECT_NEAR(x_to_frame_sample(*doc, 300), under, 2 * frames_per_pixel(*doc) + 2);
    // The wheel scrolls: towards the user is later, and the scroll bar follows.
    const long first = doc->first_visible;
    wheel(area, 300, -1);
    EXPECT_GT(doc->first_visible, first);
    EXPECT_EQ(w->view()->play_bar()->scroll_bar()->value(), view.scroll.bar_value);
    const long later = doc->first_visible;
    wheel(area, 300, 1);
    EXPECT_LT(doc->first_visible, later);
    // Ctrl+wheel out stops at the whole file.
    wheel(area, 300, -10, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, fit);

    // Home, the arrows (one pixel each) and Shift, which extends from the edge that stays.
    const long pixel = words_for_pixels(*doc, 1.0);
    QTest::keyClick(area, Qt::Key_Home);
    EXPECT_EQ(view.caret_sample, 0);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(area, Qt::Key_Right);
    EXPECT_EQ(view.caret_sample, 3 * pixel);
    EXPECT_EQ(doc->current.has_selection, 0);
    QTest::keyClick(area, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(area, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(doc->current.has_selection, 1);
    EXPECT_EQ(doc->current.select_start, 3 * pixel);
    EXPECT_EQ(doc->current.select_end, 5 * pixel);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(area, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(doc->current.select_start, 2 * pixel);
    EXPECT_EQ(doc->current.select_end, 3 * pixel);
    QTest::keyClick(area, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(doc->current.select_start, 3 * pixel);
    EXPECT_EQ(doc->current.select_end, total);

    // Zooming in keeps a highlight near the end in view (its middle while it fits).
    QTest::keyClick(area, Qt::Key_End);
    EXPECT_EQ(view.caret_sample, total);
    for (int i = 0; i < 200; ++i)
        QTest::keyClick(area, Qt::Key_Left, Qt::ShiftModifier);
    const long start = doc->current.select_start, end = doc->current.select_end;
    ASSERT_LT(start, end);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(area, Qt::Key_Z);
    EXPECT_GT(doc->current.zoom_factor, fit * 8);
    // Wider than the window now: its start stays in view.
    const double start_x = sample_to_x(*doc, start);
    EXPECT_GE(start_x, 0.0);
    EXPECT_LT(start_x, area->width());

    // Go to highlight with only a caret goes to the caret: a click puts it down near the
    // left edge of the last window, then the view goes to the beginning.
    QTest::keyClick(area, Qt::Key_End);
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(40, waveform_top(*doc) + 60));
    ASSERT_EQ(view.caret_placed, 1);
    const long caret = view.caret_sample;
    frame->on_command(11800);
    ASSERT_GT(sample_to_x(*doc, caret), area->width());
    QTest::keyClick(area, Qt::Key_H, Qt::ControlModifier);
    EXPECT_NEAR(sample_to_x(*doc, caret), area->width() / 10.0, 2.0);

    // Delete clears the highlight; Space plays and stops.
    QTest::keyClick(area, Qt::Key_Home);
    QTest::keyClick(area, Qt::Key_End, Qt::ShiftModifier);
    for (int i = 0; i < 100; ++i)
        QTest::keyClick(area, Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_EQ(doc->current.has_selection, 1);
    QTest::keyClick(area, Qt::Key_Delete);
    pump();
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(g_undo_menu.text, "&Undo Clear...\tCtrl+Z");
    QTest::keyClick(area, Qt::Key_Space);
    pump(30);
    EXPECT_TRUE(playback::is_playing());
    QTest::keyClick(area, Qt::Key_Space);
    pump(30);
    EXPECT_FALSE(playback::is_playing());
}

TEST_F(AppTest, AFileOpensOnceAndFromTheCommandLine)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    const std::string a = make_wave("a.wav");
    const std::string b = make_wave("b.wav");
    char program[] = "orlo", first[] = "--no-such-option",
         *argv[] = {program, first, nullptr, nullptr, nullptr};
    std::string a_copy = a, b_copy = b;
    argv[2] = a_copy.data();
    argv[3] = b_copy.data();
    EXPECT_EQ(app_->open_files(app::files_on_command_line(4, argv)), 2);
    ASSERT_EQ(frame->document_windows().size(), 2u);
    EXPECT_EQ(frame->active_document_window()->base_title(), "b.wav");
    // The same file again, by another spelling of its path, brings its window forward.
    app::set_current_file(root + "./a.wav");
    frame->on_command(2002);
    pump();
    EXPECT_EQ(frame->document_windows().size(), 2u);
    EXPECT_EQ(frame->active_document_window()->base_title(), "a.wav");
    // The tool-bar Undo follows the Edit menu's item and works.
    CChildFrame* doc = frame->active_document_window()->document();
    frame->update_command_states();
    EXPECT_FALSE(frame->bar_action(11600)->isEnabled());
    frame->on_command(1020);
    frame->on_command(11515);
    ASSERT_EQ(doc->undo_available, 1);
    EXPECT_TRUE(frame->bar_action(11600)->isEnabled());
    EXPECT_FALSE(frame->bar_action(11601)->isEnabled());
    frame->bar_action(11600)->trigger();
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(doc->redo_available, 1);
    EXPECT_FALSE(frame->bar_action(11600)->isEnabled());
    EXPECT_TRUE(frame->bar_action(11601)->isEnabled());
    frame->bar_action(11601)->trigger();
    EXPECT_EQ(doc->undo_available, 1);
}

TEST_F(AppTest, AnEffectThatClipsSaysHowManyAndTheViewMarksWhere)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    app::set_current_file(make_wave("loud.wav", 44100));
    frame->on_command(2002);
    ui::DocumentWindow* w = frame->active_document_window();
    ASSERT_TRUE(w);
    CChildFrame* doc = w->document();
    // The second half only, 20 dB louder.
    doc->current.has_selection = 1;
    doc->current.select_start = 44100;
    doc->current.select_end = 2 * 44100;
    kel::set_ui(&ui);
    ui.on_dialog("AMPLIFY", [](kel::DialogModel& m) {
        auto& d = static_cast<AmplifyDialog&>(m);
        d.in_decibels = true;
        d.decibels = 20.0;
        d.ok();
    });
    frame->on_command(11501);
    ASSERT_EQ(doc->undo_available, 1);
    // Counted here from the two files themselves.
    auto count = [&](const std::string& file, long from, long to, long& left, long& right) {
        const std::string bytes = read_file(file);
        left = right = 0;
        for (long i = from; i < to; ++i) {
            const int v = static_cast<int16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                               (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
            if (v >= 32767 || v <= -32767)
                ++(i % 2 ? right : left);
        }
    };
    long after_l, after_r, before_l, before_r;
    count(doc->working_file(), 44100, 2 * 44100, after_l, after_r);
    count(doc->undo_file(), 44100, 2 * 44100, before_l, before_r);
    ASSERT_GT(after_l - before_l, 1000);
    const std::string expected = "Clipped " +
                                 std::to_string(after_l + after_r - before_l - before_r) +
                                 " samples: " + std::to_string(after_l - before_l) + " left, " +
                                 std::to_string(after_r - before_r) + " right";
    EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(), expected);
    // The marks: red above the clipped half, none above the quiet one.
    WaveformArea* area = w->view()->area();
    const QImage shot = area->grab().toImage();
    const int top = waveform_top(*doc);
    const int clipped_x = static_cast<int>(sample_to_x(*doc, 3 * 44100 / 2));
    const int quiet_x = static_cast<int>(sample_to_x(*doc, 44100 / 2));
    EXPECT_EQ(shot.pixelColor(clipped_x, top + 1), QColor(220, 0, 0));
    EXPECT_NE(shot.pixelColor(quiet_x, top + 1), QColor(220, 0, 0));
    if (const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR"))
        frame->grab().save(QString(dir) + "/orlo-clipped.png");
    // Undo takes the marks with the step.
    frame->on_command(11600);
    EXPECT_NE(area->grab().toImage().pixelColor(clipped_x, top + 1), QColor(220, 0, 0));
}
