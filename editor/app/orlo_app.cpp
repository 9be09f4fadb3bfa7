#include "editor/app/orlo_app.h"

#include "editor/app/app_profile.h"
#include "editor/app/app_state.h"
#include "editor/app/commands.h"
#include "editor/app/controls.h"
#include "editor/app/private_ini.h"
#include "editor/app/sibling.h"
#include "editor/app/startup_dialogs.h"
#include "editor/app/tickr.h"
#include "editor/document/recovery.h"
#include "editor/ui/command_event.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/dialogs.h"
#include "editor/ui/event_pump.h"
#include "editor/ui/main_frame.h"
#include "editor/ui/qt_ui.h"

#include <QApplication>
#include <QToolBar>

namespace app {

COrloApp::COrloApp() : ui_(std::make_unique<ui::QtUi>())
{
    kel::set_ui(ui_.get());
    ui::register_editor_dialogs();
    // Timer callbacks reach their windows through the event loop.
    kel::tickr::set_poster([](HWND window, int command) { ui::post_command(window, command); });
    // Device notifications and window timers of the core run from the Qt loop.
    pump_ = std::make_unique<ui::EventPump>();
}

COrloApp::~COrloApp()
{
    exit_instance();
    pump_.reset();
    kel::tickr::set_poster(nullptr);
    kel::set_ui(nullptr);
}

int COrloApp::open_files(const std::vector<std::string>& files)
{
    if (!frame_)
        return 0;
    int opened = 0;
    for (const std::string& file : files) {
        if (!set_current_file(file))
            continue;
        frame_->on_command(cmd::kOpenCurrentFile);
        if (frame_->active_document_window())
            ++opened;
    }
    return opened;
}

std::vector<std::string> files_on_command_line(int argc, char** argv)
{
    std::vector<std::string> files;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (options && a == "--") {
            options = false;
            continue;
        }
        if (options && !a.empty() && a[0] == '-')
            continue;
        files.push_back(a);
    }
    return files;
}

bool COrloApp::init_instance()
{
    // 1. Controls of our own need no enabling.
    step("controls");
    // 2. The profile; the frame keeps its own recent-file list.
    step("profile");
    // 3. Construction: faders (built in) and the recent-file list.
    frame_ = new ui::CMainFrame;
    step("construct-frame");
    // 4. Creation: bars, indicators, status bar, menus.
    if (!frame_->create()) {
        delete frame_;
        frame_ = nullptr;
        return false;
    }
    ui_->set_main_window(frame_);
    step("load-frame");
    // 5. Menu 129 is built with the frame and shown once a document is open.
    step("load-menu-129");
    // 6. Show it and paint at once.
    frame_->show();
    frame_->repaint();
    step("show");
    // 7. Dropped files.
    frame_->setAcceptDrops(true);
    step("accept-files");
    // 8. Requests from the sibling program.
    sibling_ = std::make_unique<SiblingServer>();
    QObject::connect(sibling_.get(), &SiblingServer::request, frame_,
                     [this](int command) { frame_->on_command(command); });
    sibling_->listen();
    step("listen");
    // 9. Command availability.
    set_startup_command_flags();
    frame_->update_command_states();
    step("flags");
    // 10. Title.
    kel::ui().set_main_title(kProductName);
    step("title");
    // 11. Handles for the tutorial program.
    TutorialHandles handles;
    handles.main_window = frame_->winId();
    if (QWidget* transport = frame_->transport_bar()) {
        handles.transport_record = transport->winId();
        handles.transport_play = transport->winId();
    }
    write_tutorial_handles(handles);
    step("tutor-ini");
    // Documents of runs that died. This run's folder is made first, so the search never
    // takes it for one of theirs.
    run_directory();
    for (std::unique_ptr<CChildFrame>& doc : recovery::offer_recovery()) {
        const QString title = doc->file_title;
        frame_->adopt_document(std::move(doc), title);
    }
    step("recover");
    // 12. Autostart: only while the sibling runs.
    if (sibling_running()) {
        const std::string file = read_autostart_file();
        if (!file.empty() && set_current_file(file)) {
            frame_->on_command(cmd::kOpenCurrentFile);
            step("autostart-open");
        }
    }
    step("autostart");
    // 13. The preferences once more.
    read_profile_settings();
    step("read-profile");
    // 14. Logo.
    if (g_preferences.show_logo) {
        LogoDialog logo;
        kel::ui().run_modal(logo);
        step("logo");
    }
    // 15. Tip of the day.
    if (g_preferences.tip_of_the_day) {
        TipOfTheDayDialog tip;
        kel::ui().run_modal(tip);
        step("tip");
    }
    // 16. Both gauges to zero.
    if (frame_->left_gauge())
        kel::controls::_draw_decibel_gauge_volume(frame_->left_gauge()->handle(), 0, 0, 1);
    if (frame_->right_gauge())
        kel::controls::_draw_decibel_gauge_volume(frame_->right_gauge()->handle(), 0, 0, 1);
    step("reset-gauges");
    // 17. The spectrum indicator's first timer.
    if (frame_->spectrum_indicator())
        frame_->spectrum_indicator()->start_timer(ui::SpectrumIndicator::kTimerEmpty, 600);
    step("spectrum-timer");
    return true;
}

int COrloApp::exit_instance()
{
    sibling_.reset();
    if (frame_) {
        ui_->set_main_window(nullptr);
        delete frame_;
        frame_ = nullptr;
    }
    return 0;
}

} // namespace app
