// Cancel clicked on the program's own progress window, in every phase of the long
// operations: each stops within a second and leaves the document as it was.
#include "common/child_frame.h"
#include "editor/app/app_state.h"
#include "editor/document/edit_menu.h"
#include "editor/modules/presets.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/qt_ui.h"
#include "effra/echo_dialog.h"
#include "filtrel/filter_options_dialog.h"
#include "levra/dialogs.h"
#include "tests/app/app_fixture.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <functional>

namespace {

// Shows the real progress window and answers the parameter dialogs from scripts. At the
// chosen poll of the chosen window it posts a mouse click on that window's Cancel button,
// which reaches the button only when the program lets events in.
class ClickingUi : public kel::HeadlessUi
{
  public:
    explicit ClickingUi(ui::QtUi& qt) : qt_(qt) {}

    struct Window
    {
        std::string text;
        long polls = 0;
    };
    std::vector<Window> windows;
    int click_window = -1; // index into windows
    long click_poll = 0;
    bool clicked = false;
    QElapsedTimer since_click;

    long progress_open(const std::string& text) override
    {
        windows.push_back({text, 0});
        const long h = qt_.progress_open(text);
        // The pointer stays where it was: a click that had not come in before its window
        // closed lands on the next one, which sits in the same place.
        if (clicked && !delivered)
            click();
        return h;
    }
    void progress_bar(long h, int percent, const std::string& label) override
    {
        qt_.progress_bar(h, percent, label);
    }
    void progress_time_left(long h, const std::string& text) override
    {
        qt_.progress_time_left(h, text);
    }
    void progress_close(long h) override { qt_.progress_close(h); }
    bool progress_cancel_pressed(long h) override
    {
        Window& w = windows.back();
        ++w.polls;
        if (!clicked && static_cast<int>(windows.size()) - 1 == click_window &&
            w.polls == click_poll) {
            clicked = true;
            delivered = false;
            since_click.start();
            click();
        }
        return qt_.progress_cancel_pressed(h);
    }

    bool delivered = false;

  private:
    // Posts a press and a release on the Cancel button of the window now open; they come
    // in only when the program lets events in.
    void click()
    {
        ui::ProgressWindow* p = qt_.progress_window();
        if (!p)
            return;
        QPushButton* b = p->cancel_button();
        QObject::connect(b, &QPushButton::clicked, [this] { delivered = true; });
        const QPointF at(b->width() / 2.0, b->height() / 2.0);
        const QPointF global = b->mapToGlobal(at);
        QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                       Qt::LeftButton, Qt::LeftButton,
                                                       Qt::NoModifier));
        QCoreApplication::postEvent(b,
                                    new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    }

    ui::QtUi& qt_;
};

std::string file_hash(const std::string& file)
{
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f)
        return "missing";
    uint64_t h = 1469598103934665603ull;
    unsigned char block[65536];
    size_t n;
    uint64_t size = 0;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
        size += n;
        for (size_t i = 0; i < n; ++i)
            h = (h ^ block[i]) * 1099511628211ull;
    }
    std::fclose(f);
    return std::to_string(size) + ":" + std::to_string(h);
}

struct Snapshot
{
    std::string working, working_hash, undo_file, menu, user_file;
    long total = 0, select_start = 0, select_end = 0;
    int undo_available = 0, is_modified = 0;
    std::vector<std::string> tmp;
};

} // namespace

class CancelWindowTest : public AppTest
{
  protected:
    Snapshot snapshot(CChildFrame* doc, const std::string& user_file)
    {
        Snapshot s;
        s.working = doc->working_file();
        s.working_hash = file_hash(s.working);
        s.undo_file = doc->undo_file();
        s.menu = g_undo_menu.text;
        s.user_file = file_hash(user_file);
        s.total = doc->current.total_samples;
        s.select_start = doc->current.select_start;
        s.select_end = doc->current.select_end;
        s.undo_available = doc->undo_available;
        s.is_modified = doc->is_modified;
        s.tmp = run_files(".tmp");
        return s;
    }
};

TEST_F(CancelWindowTest, CancelOnTheProgressWindowStopsEveryPhaseAndChangesNothing)
{
    start();
    ui::CMainFrame* frame = app_->main_frame();
    // Long enough that every phase shows its window: 40 s of stereo.
    const std::string file = make_wave("long.wav", 40 * 44100);
    app::set_current_file(file);
    frame->on_command(2002);
    CChildFrame* doc = documents::active();
    ASSERT_TRUE(doc);
    ClickingUi clicking(app_->qt_ui());
    kel::set_ui(&clicking);

    auto select_most = [&] {
        doc->current.has_selection = 1;
        doc->current.select_start = 2 * 44100;
        doc->current.select_end = doc->current.total_samples - 2 * 44100;
    };
    struct Operation
    {
        const char* name;
        int command;
        std::function<void()> script;
    };
    const std::vector<Operation> operations = {
        {"band-pass filter", 11509,
         [&] {
             clicking.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
                 static_cast<PresetSelectDialog&>(m).create();
             });
             clicking.on_dialog("NEWFILTEROPTIONS", [](kel::DialogModel& m) {
                 auto& d = static_cast<FilterOptionsDialog&>(m);
                 d.show_values();
                 d.choose_type(278);
                 d.ok();
             });
         }},
        {"hash filter", 11509,
         [&] {
             clicking.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
                 static_cast<PresetSelectDialog&>(m).create();
             });
             clicking.on_dialog("NEWFILTEROPTIONS", [](kel::DialogModel& m) {
                 auto& d = static_cast<FilterOptionsDialog&>(m);
                 d.show_values();
                 d.choose_type(275);
                 d.ok();
             });
         }},
        {"echo", 11504,
         [&] {
             clicking.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
                 static_cast<PresetSelectDialog&>(m).create();
             });
             clicking.on_dialog(
                 "NewEcho", [](kel::DialogModel& m) { static_cast<effra::EchoDialog&>(m).ok(); });
         }},
        {"reverse", 11515, [] {}},
        {"amplify", 11501,
         [&] {
             clicking.on_dialog("AMPLIFY",
                                [](kel::DialogModel& m) { static_cast<AmplifyDialog&>(m).ok(); });
         }},
        {"save", 11202, [] {}},
    };
    // One step made, so that Save has work and undo has a state to keep.
    select_most();
    frame->on_command(11515);
    ASSERT_EQ(doc->undo_available, 1);

    for (const Operation& op : operations) {
        SCOPED_TRACE(op.name);
        select_most();
        // A full run counts the windows and their polls ...
        clicking.windows.clear();
        clicking.click_window = -1;
        clicking.clicked = false;
        op.script();
        const Snapshot before_full = snapshot(doc, file);
        frame->on_command(op.command);
        const std::vector<ClickingUi::Window> phases = clicking.windows;
        ASSERT_FALSE(phases.empty());
        if (op.command == 11202)
            ASSERT_NE(snapshot(doc, file).user_file, before_full.user_file);
        else
            ASSERT_NE(snapshot(doc, file).working_hash, before_full.working_hash);
        // ... then a click halfway through each window of another run cancels it.
        if (op.command == 11202) {
            select_most();
            frame->on_command(11515);
        } else {
            frame->on_command(11600);
        }
        int tried = 0;
        for (size_t i = 0; i < phases.size(); ++i) {
            if (phases[i].polls < 4)
                continue;
            ++tried;
            SCOPED_TRACE(phases[i].text);
            select_most();
            const Snapshot before = snapshot(doc, file);
            clicking.windows.clear();
            clicking.click_window = static_cast<int>(i);
            clicking.click_poll = phases[i].polls / 2;
            clicking.clicked = false;
            op.script();
            frame->on_command(op.command);
            pump();
            ASSERT_TRUE(clicking.clicked);
            EXPECT_TRUE(clicking.delivered);
            EXPECT_LT(clicking.since_click.elapsed(), 1000);
            const Snapshot after = snapshot(doc, file);
            EXPECT_EQ(after.working, before.working);
            EXPECT_EQ(after.working_hash, before.working_hash);
            EXPECT_EQ(after.undo_file, before.undo_file);
            EXPECT_EQ(after.menu, before.menu);
            EXPECT_EQ(after.user_file, before.user_file);
            EXPECT_EQ(after.total, before.total);
            EXPECT_EQ(after.select_start, before.select_start);
            EXPECT_EQ(after.select_end, before.select_end);
            EXPECT_EQ(after.undo_available, before.undo_available);
            EXPECT_EQ(after.is_modified, before.is_modified);
            EXPECT_EQ(after.tmp, before.tmp);
            EXPECT_FALSE(app_->qt_ui().progress_window());
        }
        EXPECT_GE(tried, 1);
    }
    kel::set_ui(&app_->qt_ui());
}
