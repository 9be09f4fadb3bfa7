// Every source of a command takes the same route to the same handler: the menu item, the
// tool-bar button, its keys and the document's play bar leave the document, the view and
// the playback in the same state. Real widgets, real events, the virtual device.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/devices/playback.h"
#include "editor/document/edit_menu.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/play_bar.h"
#include "editor/view/ui/waveform_area.h"
#include "platform/clock.h"
#include "platform/wave_device.h"
#include "tests/app/app_fixture.h"

#include <QAction>
#include <QSlider>
#include <QTest>
#include <functional>
#include <ostream>

namespace wd = kel::wave_device;

namespace {

enum class Source { Menu, ToolBar, Key, PlayBar };

const char* source_name(Source s)
{
    switch (s) {
    case Source::Menu:
        return "menu";
    case Source::ToolBar:
        return "tool bar";
    case Source::Key:
        return "key";
    case Source::PlayBar:
        return "play bar";
    }
    return "?";
}

// What a command can change, all of it.
struct Outcome
{
    int playing = 0;
    int paused = 0;
    int loop_flag = 0;
    int loop_on = 0;
    bool pause_button_down = false;
    bool loop_item_checked = false;
    uint64_t play_from = 0;
    float zoom_factor = 0;
    long first_visible = 0;
    long total = 0;
    long select_start = 0;
    long select_end = 0;
    int has_selection = 0;
    std::string data;
    std::string undo_text;

    bool operator==(const Outcome& o) const
    {
        return playing == o.playing && paused == o.paused && loop_flag == o.loop_flag &&
               loop_on == o.loop_on && pause_button_down == o.pause_button_down &&
               loop_item_checked == o.loop_item_checked && play_from == o.play_from &&
               zoom_factor == o.zoom_factor && first_visible == o.first_visible &&
               total == o.total && select_start == o.select_start && select_end == o.select_end &&
               has_selection == o.has_selection && data == o.data && undo_text == o.undo_text;
    }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    return out << "playing " << o.playing << " paused " << o.paused << " loop flag " << o.loop_flag
               << " loop_on " << o.loop_on << " pause button " << o.pause_button_down
               << " loop item " << o.loop_item_checked << " play_from " << o.play_from << " zoom "
               << o.zoom_factor << " first " << o.first_visible << " total " << o.total
               << " selection " << o.select_start << ".." << o.select_end << "/" << o.has_selection
               << " data " << o.data.size() << " bytes, undo '" << o.undo_text << "'";
}

struct Key
{
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

} // namespace

class CommandRouteTest : public AppTest
{
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        loop_playback_flag = 0;
        kel::clock::unfix();
        wd::set_backend(wd::Backend::Virtual);
        wd::set_virtual_sink(root + "sink.raw");
        start();
        frame = app_->main_frame();
        frame->resize(1000, 700);
        file = make_wave("route.wav", 88200); // two seconds
    }
    void TearDown() override
    {
        stop_playback();
        app_.reset();
        loop_playback_flag = 0;
        wd::unset_backend();
        wd::set_virtual_sink("");
        AppTest::TearDown();
    }

    // The same document, freshly opened: no earlier command leaves a trace.
    void fresh()
    {
        stop_playback();
        loop_playback_flag = 0;
        for (ui::DocumentWindow* w : frame->document_windows())
            w->document()->is_modified = 0;
        ASSERT_TRUE(frame->close_all_documents());
        pump(10);
        app::set_current_file(file);
        frame->on_command(cmd::kOpenCurrentFile);
        window = frame->active_document_window();
        ASSERT_TRUE(window);
        view = window->view();
        pump(10);
    }
    void stop_playback()
    {
        if (!playback_state().is_playing)
            return;
        if (frame && frame->active_document_window())
            frame->on_command(cmd::kStop);
        for (int t = 0; t < 3000 && playback_state().is_playing; t += 10)
            QTest::qWait(10);
    }
    void settle()
    {
        pump(20);
        // A stop drains the ring first; what counts is where it ends.
        for (int t = 0; t < 3000 && playback_state().is_playing && playback_state().stop_requested;
             t += 10)
            QTest::qWait(10);
        pump(10);
    }

    void fire(Source source, int id, Key key)
    {
        switch (source) {
        case Source::Menu: {
            QAction* a = frame->menu_action(id);
            ASSERT_TRUE(a) << id;
            ASSERT_TRUE(a->isEnabled()) << id;
            a->trigger();
            break;
        }
        case Source::ToolBar: {
            QAction* a = frame->bar_action(id);
            ASSERT_TRUE(a) << id;
            ASSERT_TRUE(a->isEnabled()) << id;
            a->trigger();
            break;
        }
        case Source::Key:
            QTest::keyClick(view->area(), static_cast<Qt::Key>(key.key), key.modifiers);
            break;
        case Source::PlayBar: {
            QAction* a = view->play_bar()->action(id);
            ASSERT_TRUE(a) << id;
            a->trigger();
            break;
        }
        }
    }

    Outcome outcome()
    {
        Outcome o;
        const PlaybackState& pb = playback_state();
        CChildFrame* doc = window->document();
        o.playing = pb.is_playing;
        o.paused = pb.is_paused;
        o.loop_flag = loop_playback_flag;
        o.loop_on = pb.is_playing ? pb.loop_on : 0;
        QAction* pause = view->play_bar()->action(cmd::kPause);
        o.pause_button_down = pause->isCheckable() && pause->isChecked();
        QAction* loop = frame->menu_action(cmd::kLoopPlayback);
        o.loop_item_checked = loop->isCheckable() && loop->isChecked();
        o.play_from = doc->play_from;
        o.zoom_factor = doc->current.zoom_factor;
        o.first_visible = doc->first_visible;
        o.total = doc->current.total_samples;
        o.select_start = doc->current.select_start;
        o.select_end = doc->current.select_end;
        o.has_selection = doc->current.has_selection;
        o.data = read_file(doc->working_file());
        o.undo_text = g_undo_menu.text;
        return o;
    }

    // Runs the command from every source on a fresh document prepared alike; every
    // outcome must equal the first. Returns that outcome.
    Outcome same_from_all(int id, std::vector<Source> sources, Key key,
                          const std::function<void()>& prepare)
    {
        Outcome first;
        for (size_t i = 0; i < sources.size(); ++i) {
            fresh();
            prepare();
            pump(10);
            fire(sources[i], id, key);
            settle();
            const Outcome got = outcome();
            if (i == 0)
                first = got;
            else
                EXPECT_EQ(got, first) << id << " from the " << source_name(sources[i])
                                      << " differs from the " << source_name(sources[0]);
        }
        return first;
    }

    void select(long from, long to)
    {
        CChildFrame* doc = window->document();
        doc->current.select_start = from;
        doc->current.select_end = to;
        doc->current.has_selection = 1;
        view->document_changed();
    }

    ui::CMainFrame* frame = nullptr;
    ui::DocumentWindow* window = nullptr;
    DocumentView* view = nullptr;
    std::string file;
};

TEST_F(CommandRouteTest, TheTransportBehavesAlikeFromEverySource)
{
    const auto all = {Source::Menu, Source::ToolBar, Source::PlayBar};
    // Stop during a paused loop: Pause is released and the loop flag cleared, whichever
    // way Stop comes.
    const Outcome stopped = same_from_all(cmd::kStop, all, {}, [&] {
        frame->on_command(cmd::kLoopPlayback);
        frame->on_command(cmd::kPause);
        ASSERT_TRUE(playback_state().is_paused);
        ASSERT_EQ(loop_playback_flag, 1);
    });
    EXPECT_EQ(stopped.playing, 0);
    EXPECT_EQ(stopped.loop_flag, 0);
    EXPECT_FALSE(stopped.pause_button_down);
    EXPECT_FALSE(stopped.loop_item_checked);

    const Outcome paused =
        same_from_all(cmd::kPause, all, {}, [&] { frame->on_command(cmd::kPlay); });
    EXPECT_EQ(paused.paused, 1);
    EXPECT_TRUE(paused.pause_button_down);

    const Outcome looping = same_from_all(
        cmd::kLoopPlayback, {Source::Menu, Source::ToolBar, Source::PlayBar, Source::Key},
        {Qt::Key_L, Qt::AltModifier}, [] {});
    EXPECT_EQ(looping.playing, 1);
    EXPECT_EQ(looping.loop_on, 1);
    EXPECT_TRUE(looping.loop_item_checked);

    // Play from the caret a click put down: the menu, the bars and the key all start
    // there.
    const Outcome played = same_from_all(
        cmd::kPlay, {Source::Menu, Source::ToolBar, Source::PlayBar, Source::Key},
        {Qt::Key_P, Qt::NoModifier},
        [&] { QTest::mouseClick(view->area(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 120)); });
    EXPECT_EQ(played.playing, 1);
    EXPECT_GT(played.play_from, 0u);
    EXPECT_EQ(played.has_selection, 0);
}

TEST_F(CommandRouteTest, ViewAndEditCommandsBehaveAlikeFromEverySource)
{
    const Outcome zoomed = same_from_all(cmd::kZoomIn, {Source::Menu, Source::PlayBar, Source::Key},
                                         {Qt::Key_Z, Qt::NoModifier}, [] {});
    EXPECT_GT(zoomed.zoom_factor, 0.0f);

    const Outcome at_end = same_from_all(
        cmd::kGoToEnd, {Source::Menu, Source::ToolBar, Source::Key},
        {Qt::Key_E, Qt::ControlModifier}, [&] { frame->on_command(cmd::kMaximumZoom); });
    EXPECT_GT(at_end.first_visible, 0);

    const Outcome cut =
        same_from_all(cmd::kCut, {Source::Menu, Source::ToolBar, Source::Key},
                      {Qt::Key_X, Qt::ControlModifier}, [&] { select(20000, 60000); });
    EXPECT_EQ(cut.total, 2 * 88200 - 40000);
    EXPECT_EQ(cut.undo_text, "&Undo Cut...\tCtrl+Z");

    const Outcome undone = same_from_all(cmd::kUndoRedo, {Source::Menu, Source::Key},
                                         {Qt::Key_Z, Qt::ControlModifier}, [&] {
                                             select(20000, 60000);
                                             frame->on_command(cmd::kCut);
                                         });
    EXPECT_EQ(undone.total, 2 * 88200);
}
