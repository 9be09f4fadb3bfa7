// The frame and the documents' views together: the view's commands from the menus and
// keys, playback shown in the view and in the big time window, the loop dialog, and
// sections dropped on the empty area and on the playlist window.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_commands.h"
#include "editor/document/playlist.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/play_time_window.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/play_bar.h"
#include "editor/view/ui/playlist_window.h"
#include "editor/view/ui/section_drag.h"
#include "editor/view/ui/waveform_area.h"
#include "editor/view/view_state.h"
#include "platform/clock.h"
#include "platform/wave_device.h"
#include "tests/app/app_fixture.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <unistd.h>

namespace wd = kel::wave_device;

namespace {

DocumentView* view_of(ui::DocumentWindow* w)
{
    return w ? w->view() : nullptr;
}

// Drag enter, move and drop of a document's section at a point of a widget.
bool drop_section(QWidget* target, const CChildFrame& source, QPoint at)
{
    std::unique_ptr<QMimeData> mime(section_mime_data(source));
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void save_screenshot(QWidget* w, const char* name)
{
    const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR");
    if (dir && *dir)
        w->grab().save(QString(dir) + "/" + name);
}

} // namespace

class DocumentFrameTest : public AppTest
{
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        PlaybackState& pb = playback_state();
        pb.loop_counted = 0;
        pb.loop_limit = 0;
        loop_playback_flag = 0;
        trigger_on_mtc = 0;
        smpte_lead_in = SmpteLeadIn{};
        mtc_trigger_hook = nullptr;
    }
    void TearDown() override
    {
        app_.reset();
        mtc_trigger_hook = nullptr;
        loop_playback_flag = 0;
        playback_state().loop_counted = 0;
        playback_state().loop_limit = 0;
        wd::unset_backend();
        wd::set_virtual_sink("");
        AppTest::TearDown();
    }
    ui::DocumentWindow* open(const std::string& name, int frames = 4410)
    {
        app::set_current_file(make_wave(name, frames));
        app_->main_frame()->on_command(2002);
        return app_->main_frame()->active_document_window();
    }
    // Plays on the real clock through the Qt loop into a sink file.
    void use_virtual_device()
    {
        kel::clock::unfix();
        wd::set_backend(wd::Backend::Virtual);
        sink = root + "sink.raw";
        wd::set_virtual_sink(sink);
    }
    // Full volume, so the sink holds the samples unchanged (the frame starts at 128).
    void full_volume() { app_->main_frame()->volume_fader()->setValue(255); }
    void wait_for_end(int limit_ms = 5000)
    {
        for (int t = 0; t < limit_ms && playback_state().is_playing; t += 10)
            QTest::qWait(10);
    }
    std::string sink;
};

TEST_F(DocumentFrameTest, CursorAndZoomCommandsFromTheFrameWorkOnTheActiveView)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    ui::DocumentWindow* other = open("other.wav", 44100);
    ui::DocumentWindow* w = open("active.wav", 44100);
    ASSERT_NE(w, other);
    CChildFrame* doc = w->document();
    const double other_zoom = other->document()->current.zoom_factor;
    ASSERT_EQ(doc->current.zoom_factor, 1.0);

    frame->menu_action(1898)->trigger();
    EXPECT_EQ(doc->current.zoom_factor, 2.0);
    EXPECT_EQ(other->document()->current.zoom_factor, other_zoom);
    QTest::qWait(30); // the readout follows 10 ms after the change
    EXPECT_EQ(w->view()->play_bar()->zoom_readout()->text().trimmed(), "2");
    frame->on_command(87);
    EXPECT_EQ(doc->current.zoom_factor, doc->current.base_factor);
    // Zoom in at one frame per pixel does nothing.
    frame->on_command(1898);
    EXPECT_EQ(doc->current.zoom_factor, doc->current.base_factor);
    frame->on_command(11801);
    EXPECT_GT(doc->first_visible, 0);
    frame->on_command(11800);
    EXPECT_EQ(doc->first_visible, 0);
    frame->on_command(88);
    const float whole = doc->current.zoom_factor; // the file across the view's width
    EXPECT_NEAR(sample_to_x(*doc, doc->current.total_samples), w->view()->area()->width(), 1.0);

    // Select all, then the highlight edges move by 5 and 50 ms of frames.
    frame->menu_action(1020)->trigger();
    EXPECT_TRUE(doc->current.has_selection);
    EXPECT_EQ(doc->current.select_end, doc->current.total_samples);
    EXPECT_EQ(frame->status_pane(21)->text(), "1.000 sec");
    frame->on_command(11903);
    EXPECT_EQ(doc->current.select_start, 44100 / 200 * 2);
    frame->on_command(11901); // Cue: the end is held within the data
    EXPECT_EQ(doc->current.select_end, doc->current.total_samples - 1);
    frame->on_command(11904);
    EXPECT_EQ(doc->current.select_end, doc->current.total_samples - 1 - 440);
    EXPECT_EQ(other->document()->current.has_selection, 0);

    // Keys typed in the view reach the frame's key table: "z" zooms, Ctrl+A selects all.
    frame->activateWindow();
    w->view()->area()->setFocus();
    QTest::keyClick(w->view()->area(), Qt::Key_Z);
    EXPECT_EQ(doc->current.zoom_factor, 2 * whole);
    QTest::keyClick(w->view()->area(), Qt::Key_U);
    EXPECT_EQ(doc->current.zoom_factor, whole);
    doc->current.has_selection = 0;
    QTest::keyClick(w->view()->area(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(doc->current.has_selection);
    EXPECT_EQ(doc->current.select_start, 0);

    // With no document the view's commands are off again.
    frame->close_all_documents();
    pump(20);
    for (int id : {1898, 1899, 87, 88, 11800, 11801, 11906, 11900, 11905, 1020, 1024})
        EXPECT_FALSE(frame->command_enabled(id)) << id;
}

TEST_F(DocumentFrameTest, PlayMovesTheCaretInTheViewAndShowsTheBigTime)
{
    use_virtual_device();
    set_preference("Big time display", "yes");
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1000, 700);
    ui::DocumentWindow* w = open("take.wav", 44100); // one second
    ASSERT_TRUE(w);
    CChildFrame* doc = w->document();
    const std::string samples = read_file(doc->working_file());
    full_volume();
    WaveformArea* area = w->view()->area();
    pump(20);
    const QImage before = area->grab().toImage();
    EXPECT_FALSE(frame->play_time_window());

    frame->on_command(11401);
    ASSERT_TRUE(playback_state().is_playing);
    // The editing commands wait for the end; the transport and the frame's own do not.
    EXPECT_FALSE(frame->menu_action(11303)->isEnabled());
    EXPECT_FALSE(frame->menu_action(11602)->isEnabled());
    EXPECT_FALSE(frame->menu_action(1898)->isEnabled());
    EXPECT_TRUE(frame->menu_action(11403)->isEnabled());
    EXPECT_TRUE(frame->menu_action(11201)->isEnabled());
    ui::PlayTimeWindow* big = frame->play_time_window();
    ASSERT_TRUE(big);
    EXPECT_TRUE(big->isVisible());
    EXPECT_EQ(big->objectName(), "PLAYRECORDTIME");
    EXPECT_EQ(big->time_label()->text(), "  0.000 sec");

    QTest::qWait(400);
    ASSERT_TRUE(playback_state().is_playing);
    const ViewState& view = area->state();
    EXPECT_TRUE(view.caret_shown);
    const float caret_early = view.caret_x;
    EXPECT_GT(caret_early, 0.0f);
    // The caret column is drawn inverted.
    const QImage during = area->grab().toImage();
    const int x = static_cast<int>(std::floor(caret_early));
    const int y = waveform_top(*doc) + 5;
    EXPECT_NE(during.pixel(x, y), before.pixel(x, y));
    EXPECT_EQ(during.pixel(x, y) & 0xFFFFFF, ~before.pixel(x, y) & 0xFFFFFF);
    // The big time shows the play time in green bold Arial.
    const QString shown = big->time_label()->text();
    EXPECT_TRUE(shown.endsWith(" sec")) << shown.toStdString();
    EXPECT_GT(shown.trimmed().split(' ')[0].toDouble(), 0.1);
    EXPECT_EQ(big->time_label()->font().family(), "Arial");
    EXPECT_EQ(big->time_label()->font().pointSizeF(), 22.0);
    EXPECT_EQ(big->time_label()->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    save_screenshot(frame, "orlo-playing.png");
    QTest::qWait(200);
    EXPECT_GT(view.caret_x, caret_early);

    wait_for_end();
    ASSERT_FALSE(playback_state().is_playing);
    pump(20);
    // Every byte went to the device, the caret went back, the window closed.
    EXPECT_TRUE(read_file(sink) == samples);
    EXPECT_FALSE(view.caret_shown);
    EXPECT_FALSE(big->isVisible());
    EXPECT_TRUE(frame->menu_action(11303)->isEnabled());
    EXPECT_TRUE(frame->menu_action(1898)->isEnabled());
    // Made once and kept for the next playback.
    frame->on_command(11401);
    EXPECT_EQ(frame->play_time_window(), big);
    EXPECT_TRUE(big->isVisible());
    frame->on_command(11403);
    wait_for_end();
    pump(20);
    EXPECT_FALSE(big->isVisible());
}

TEST_F(DocumentFrameTest, AShortRangeShowsNoTimeWindowAndLeavesCommandsOn)
{
    use_virtual_device();
    set_preference("Big time display", "yes");
    start();
    ui::CMainFrame* frame = app_->main_frame();
    // 0.3 s of 16-bit sound counts as under half a second.
    ui::DocumentWindow* w = open("blip.wav", 13230);
    ASSERT_TRUE(w);
    const std::string samples = read_file(w->document()->working_file());
    full_volume();
    frame->on_command(11401);
    ASSERT_TRUE(playback_state().is_playing);
    EXPECT_TRUE(playback_state().short_play);
    EXPECT_FALSE(frame->play_time_window());
    EXPECT_TRUE(frame->menu_action(11303)->isEnabled());
    wait_for_end();
    EXPECT_TRUE(read_file(sink) == samples);
    EXPECT_FALSE(w->view()->area()->state().caret_shown);
}

TEST_F(DocumentFrameTest, TheLoopDialogShowsAndTakesBackItsValues)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    open("loop.wav");
    playback_state().loop_counted = 1;
    playback_state().loop_limit = 5;
    smpte_lead_in.minutes = 2;
    std::string title;
    int shown_count = -1, shown_minutes = -1;
    bool counted_checked = false;
    when_modal([&](QWidget* d) {
        title = d->windowTitle().toStdString();
        auto* count = d->findChild<QSpinBox*>("231");
        ASSERT_TRUE(count);
        shown_count = count->value();
        shown_minutes = d->findChild<QSpinBox*>("1884")->value();
        counted_checked = d->findChild<QRadioButton*>("1040")->isChecked();
        // Typed into the loop count's edit; hours past their range are held at 23.
        QLineEdit* edit = d->findChild<QLineEdit*>("390");
        ASSERT_TRUE(edit);
        edit->selectAll();
        QTest::keyClicks(edit, "7");
        d->findChild<QSpinBox*>("1883")->setValue(30);
        d->findChild<QSpinBox*>("1885")->setValue(12);
        d->findChild<QSpinBox*>("1886")->setValue(6);
        QTest::mouseClick(d->findChild<QPushButton*>("1"), Qt::LeftButton);
    });
    frame->on_command(1024);
    EXPECT_EQ(title, "Setup Playback Loop Control");
    EXPECT_EQ(shown_count, 5);
    EXPECT_EQ(shown_minutes, 2);
    EXPECT_TRUE(counted_checked);
    EXPECT_EQ(playback_state().loop_limit, 7);
    EXPECT_EQ(playback_state().loop_counted, 1);
    EXPECT_EQ(loop_playback_flag, 1);
    EXPECT_TRUE(frame->menu_action(11404)->isChecked());
    EXPECT_EQ(smpte_lead_in.hours, 23);
    EXPECT_EQ(smpte_lead_in.minutes, 2);
    EXPECT_EQ(smpte_lead_in.seconds, 12);
    EXPECT_EQ(smpte_lead_in.frames, 6);
    EXPECT_DOUBLE_EQ(smpte_lead_in.total_seconds, 23 * 3600 + 120 + 12 + 6 / 30.0);

    // Continuous, then Cancel: nothing is taken and the loop flag goes off.
    when_modal([&](QWidget* d) {
        shown_count = d->findChild<QSpinBox*>("231")->value();
        QTest::mouseClick(d->findChild<QRadioButton*>("1039"), Qt::LeftButton);
        d->findChild<QSpinBox*>("231")->setValue(9);
        QTest::mouseClick(d->findChild<QPushButton*>("2"), Qt::LeftButton);
    });
    frame->on_command(1024);
    EXPECT_EQ(shown_count, 7);
    EXPECT_EQ(playback_state().loop_limit, 7);
    EXPECT_EQ(playback_state().loop_counted, 1);
    EXPECT_EQ(loop_playback_flag, 0);
    EXPECT_FALSE(frame->menu_action(11404)->isChecked());
}

TEST_F(DocumentFrameTest, TheMtcTriggerBoxWaitsThroughTheHookThenPlays)
{
    use_virtual_device();
    start();
    ui::CMainFrame* frame = app_->main_frame();
    open("mtc.wav", 44100);
    int asked = 0;
    int answer = 0;
    mtc_trigger_hook = [&] {
        ++asked;
        return answer;
    };
    auto press_ok_with_trigger = [&](QWidget* d) {
        // The box keeps its state from the last time.
        if (!d->findChild<QCheckBox*>("1894")->isChecked())
            QTest::mouseClick(d->findChild<QCheckBox*>("1894"), Qt::LeftButton);
        QTest::mouseClick(d->findChild<QPushButton*>("1"), Qt::LeftButton);
    };
    // No MTC start: the dialog ends as Cancel and nothing plays.
    when_modal(press_ok_with_trigger);
    frame->on_command(1024);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(loop_playback_flag, 0);
    EXPECT_FALSE(playback_state().is_playing);

    answer = 1;
    when_modal(press_ok_with_trigger);
    frame->on_command(1024);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(trigger_on_mtc, 0);
    EXPECT_TRUE(playback_state().is_playing);
    EXPECT_EQ(playback_state().loop_on, 1);
    frame->on_command(11403);
    wait_for_end();
    EXPECT_FALSE(playback_state().is_playing);
}

TEST_F(DocumentFrameTest, ASectionDroppedOnTheEmptyAreaBecomesANewDocument)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    frame->resize(1100, 800);
    pump(20);
    ui::DocumentWindow* w = open("source.wav", 8820);
    CChildFrame* source = w->document();
    const std::string all = read_file(source->working_file());
    source->current.has_selection = 1;
    source->current.select_start = 1000;
    source->current.select_end = 5000;
    QWidget* viewport = frame->mdi_area()->viewport();
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    ASSERT_TRUE(sub);

    // Over the document window's own frame is not the empty area.
    const QPoint on_window = sub->geometry().topLeft() + QPoint(sub->width() / 2, 4);
    EXPECT_FALSE(drop_section(viewport, *source, on_window));
    EXPECT_EQ(frame->document_windows().size(), 1u);

    const QPoint empty = viewport->rect().bottomRight() - QPoint(20, 20);
    ASSERT_FALSE(sub->geometry().contains(empty));
    ASSERT_TRUE(drop_section(viewport, *source, empty));
    ASSERT_EQ(frame->document_windows().size(), 2u);
    ui::DocumentWindow* made = frame->active_document_window();
    ASSERT_NE(made, w);
    CChildFrame* doc = made->document();
    EXPECT_EQ(doc->current.total_samples, 4000);
    EXPECT_TRUE(read_file(doc->working_file()) == all.substr(2000, 8000));
    EXPECT_EQ(doc->wave_format.channels, 2);
    EXPECT_EQ(doc->wave_format.sample_rate, 44100u);
    EXPECT_TRUE(doc->is_modified);
    EXPECT_EQ(made->windowTitle().left(6), "SAMPLE");
    // The file it came through is gone; the source is untouched.
    EXPECT_NE(access((root + made->windowTitle().toStdString()).c_str(), F_OK), 0);
    EXPECT_TRUE(read_file(source->working_file()) == all);

    // Files dragged over the empty area are still the frame's.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(make_wave("dropped.wav")))});
    QDragEnterEvent enter(empty, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(empty, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &drop);
    ASSERT_EQ(frame->document_windows().size(), 3u);
    EXPECT_EQ(frame->active_document_window()->windowTitle(), "dropped.wav");
}

TEST_F(DocumentFrameTest, ThePlaylistOpensFromTheCuelistBarAndTakesDroppedSections)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    EXPECT_FALSE(frame->bar_action(353)->isEnabled());
    ui::DocumentWindow* a = open("verse.wav", 8820);
    ui::DocumentWindow* b = open("chorus.wav", 8820);
    ASSERT_TRUE(frame->bar_action(353)->isEnabled());
    frame->bar_action(353)->trigger();
    PlaylistWindow* list = frame->playlist_window();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->windowTitle(), "  Multitrack List");

    for (ui::DocumentWindow* w : {a, b}) {
        w->document()->current.has_selection = 1;
        w->document()->current.select_start = 400;
        w->document()->current.select_end = 2400;
        EXPECT_TRUE(drop_section(list, *w->document(), list->rect().center()));
    }
    ASSERT_EQ(list->list_box()->count(), 2);
    EXPECT_TRUE(list->list_box()->item(0)->text().startsWith(" verse.wav"));
    EXPECT_TRUE(list->list_box()->item(1)->text().startsWith(" chorus.wav"));
    // The same command again shows the same window.
    frame->on_command(353);
    EXPECT_EQ(frame->playlist_window(), list);

    // A closed document takes its entries with it.
    kel::set_ui(&ui);
    frame->on_command(57602); // closes chorus.wav, the active one
    pump(20);
    ASSERT_EQ(frame->document_windows().size(), 1u);
    ASSERT_EQ(playlist().count(), 1);
    EXPECT_EQ(list->list_box()->count(), 1);
    EXPECT_TRUE(list->list_box()->item(0)->text().startsWith(" verse.wav"));
    playlist().remove(0);
}
