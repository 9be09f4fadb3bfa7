#include "editor/ui/main_frame.h"

#include "common/child_frame.h"
#include "editor/app/accelerators.h"
#include "editor/app/app_profile.h"
#include "editor/app/app_state.h"
#include "editor/app/private_ini.h"
#include "editor/app/spectrum.h"
#include "editor/app/startup_dialogs.h"
#include "editor/app/window_placement.h"
#include "editor/devices/playback.h"
#include "editor/devices/record.h"
#include "editor/document/clipping.h"
#include "editor/document/edit_menu.h"
#include "editor/document/playlist.h"
#include "editor/document/recovery.h"
#include "editor/edit/edit_commands.h"
#include "editor/files/file_commands.h"
#include "editor/files/new_file.h"
#include "editor/files/plugin_registration.h"
#include "editor/modules/linked_modules.h"
#include "editor/strings.h"
#include "editor/sync/sync_dialog.h"
#include "editor/ui/bar_icons.h"
#include "editor/ui/command_event.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/document_window.h"
#include "editor/ui/empty_area_drop.h"
#include "editor/ui/play_time_window.h"
#include "editor/ui/preferences_sheet.h"
#ifdef KELVARA_HAVE_VIDEO_WINDOW
#include "editor/ui/video_window.h"
#endif
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/play_bar.h"
#include "editor/view/ui/playlist_window.h"
#include "editor/view/ui/view_playback_observer.h"
#include "editor/view/view_commands.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/ui.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTimerEvent>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

bool is_text_input(QWidget* w)
{
    if (!w)
        return false;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) ||
        qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w))
        return true;
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->isEditable();
    return false;
}

bool is_view_key(int key)
{
    switch (key) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

bool in_document_view(QWidget* w)
{
    if (!w)
        return true;
    for (; w; w = w->parentWidget())
        if (qobject_cast<DocumentView*>(w))
            return true;
    return false;
}

// The frame that shows the core's status-line texts.
CMainFrame*& status_frame()
{
    static CMainFrame* frame = nullptr;
    return frame;
}

} // namespace

// What playback shows in the frame (meters, spectrum, time, command states, the big time
// window) and, through the view's own observer, in the playing document's view.
class FramePlaybackObserver : public PlaybackObserver
{
  public:
    explicit FramePlaybackObserver(CMainFrame& frame) : frame_(frame) {}
    void levels(int left, int right) override
    {
        using namespace kel::controls;
        if (frame_.volume_indicator())
            _draw_record_volume(frame_.volume_indicator()->handle(), left, right);
        if (frame_.left_gauge())
            _draw_decibel_gauge_volume(frame_.left_gauge()->handle(), left, 0, 0);
        if (frame_.right_gauge())
            _draw_decibel_gauge_volume(frame_.right_gauge()->handle(), right, 0, 0);
    }
    void spectrum(const short* table, int count) override
    {
        app::g_spectrum_block.assign(table, table + count);
        frame_.on_command(cmd::kSpectrumBlock);
    }
    void time_readout(const std::string& text) override
    {
        frame_.statusBar()->showMessage(QString::fromStdString(text));
    }
    void show_time_window(bool show) override { frame_.show_play_time_window(show); }
    void big_time(const BigTimeText& text) override
    {
        if (PlayTimeWindow* w = frame_.play_time_window())
            w->show_time(text);
    }
    void play_bar(CChildFrame& doc, long sample, double fraction) override
    {
        view_.play_bar(doc, sample, fraction);
    }
    void caret_to(CChildFrame& doc, long sample) override { view_.caret_to(doc, sample); }
    void play_marker(CChildFrame& doc, long sample) override { view_.play_marker(doc, sample); }
    void caret_restored(CChildFrame& doc, long sample) override
    {
        view_.caret_restored(doc, sample);
    }
    void redraw_markers_and_rulers(CChildFrame& doc) override
    {
        view_.redraw_markers_and_rulers(doc);
    }
    void scroll_to(CChildFrame& doc, long first_visible) override
    {
        view_.scroll_to(doc, first_visible);
    }
    void focus(CChildFrame& doc) override
    {
        if (DocumentView* v = DocumentView::view_of(&doc))
            v->setFocus();
    }
    void tool_button_state(int command, int state) override
    {
        // State 6 is the pressed look of Pause; 1 and 3 are its normal look.
        PlaybackState& pb = playback_state();
        DocumentView* v = pb.doc ? DocumentView::view_of(pb.doc) : nullptr;
        if (!v)
            return;
        if (QAction* a = v->play_bar()->action(command)) {
            a->setCheckable(true);
            a->setChecked(state == 6);
        }
    }
    void menu_check(int command, bool checked) override
    {
        if (QAction* a = frame_.menu_action(command)) {
            a->setCheckable(true);
            a->setChecked(checked);
        }
    }
    void commands_changed() override { frame_.update_command_states(); }

  private:
    CMainFrame& frame_;
    ViewPlaybackObserver view_;
};

CMainFrame::CMainFrame()
{
    setObjectName("CMainFrame");
    // The fader libraries of the original are part of this program, so they cannot fail to
    // load; their messages stay in the string table for the modules.
    recent_.read();
}

CMainFrame::~CMainFrame()
{
    if (status_frame() == this) {
        status_frame() = nullptr;
        g_status_text = nullptr;
    }
    // Nothing may reach this frame while it comes apart.
    qApp->removeEventFilter(this);
    if (playback_observer_)
        set_playback_observer(nullptr);
    record_hooks().new_document = nullptr;
    record_hooks().bring_to_top = nullptr;
    synchro::sync_hooks().midi_keyboard = nullptr;
    if (mdi_)
        disconnect(mdi_, nullptr, this, nullptr);
    // Documents go first, each deleting its own files; then the run's folder with what is
    // left in it. Files of other runs in the data directory are theirs.
    for (DocumentWindow* w : document_windows())
        delete w;
    recovery::end_run();
}

bool CMainFrame::create()
{
    if (created_)
        return true;
    // 1. The frame itself; the "Preferences" keys. The editor reaches the modules it links
    // through one table.
    set_module_calls(linked_module_calls());
    // The record dialog's "&New" and Record To reach the document windows through here.
    record_hooks().new_document = [this]() -> CChildFrame* {
        std::unique_ptr<CChildFrame> doc = create_new_wave_file(true);
        if (!doc)
            return nullptr;
        const QString title = doc->file_title;
        DocumentWindow* w = adopt_document(std::move(doc), title);
        return w ? w->document() : nullptr;
    };
    // The record dialog's Sync and the loop dialog's MTC start reach the triggers.
    synchro::install_sync_hooks();
    synchro::sync_hooks().midi_keyboard = [this] { frame_command(cmd::kMidiKeyboard, 0); };
    record_hooks().bring_to_top = [this](CChildFrame& doc) {
        for (QMdiSubWindow* sub : mdi_->subWindowList())
            if (auto* w = qobject_cast<DocumentWindow*>(sub->widget()); w && w->document() == &doc)
                mdi_->setActiveSubWindow(sub);
    };
    app::read_profile_settings();
    setWindowTitle(app::kProductName);
    resize(1024, 720);
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("MDIClient");
    mdi_->setBackground(QColor(128, 128, 128));
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::subwindow_activated);
    // 2. Placement.
    restore_placement();
    // 3. Colour and tool tips.
    const app::GeneralFlags flags = app::read_general_flags();
    color_ = flags.color != 0;
    tool_tips_ = flags.tool_tips != 0;
    // 4. - 6. Bars, indicators, fader, titles, docking and the saved layout.
    build_bars();
    // 7. Status panes.
    build_status_bar();
    build_menus();
    qApp->installEventFilter(this);
    empty_area_drop_ = new EmptyAreaDrop(
        mdi_->viewport(), [this](CChildFrame& source) { section_dropped_on_empty_area(source); });
    install_view_repaint();
    status_frame() = this;
    g_status_text = [](const std::string& text) {
        if (CMainFrame* f = status_frame())
            f->statusBar()->showMessage(q(text), 15000);
    };
    playback_observer_ = std::make_unique<FramePlaybackObserver>(*this);
    set_playback_observer(playback_observer_.get());
    created_ = true;
    update_command_states();
    return true;
}

// ---- Documents --------------------------------------------------------------------------

std::vector<DocumentWindow*> CMainFrame::document_windows() const
{
    std::vector<DocumentWindow*> out;
    if (!mdi_)
        return out;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* w = qobject_cast<DocumentWindow*>(sub->widget()))
            out.push_back(w);
    return out;
}

DocumentWindow* CMainFrame::active_document_window() const
{
    if (CChildFrame* doc = documents::active())
        for (DocumentWindow* w : document_windows())
            if (w->document() == doc)
                return w;
    return nullptr;
}

DocumentWindow* CMainFrame::open_current_file()
{
    // A file that is open already comes forward; a second copy would be a second set of
    // working files that the two windows' saves would fight over.
    const QString wanted = QFileInfo(q(app::g_current_file)).canonicalFilePath();
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* w = qobject_cast<DocumentWindow*>(sub->widget());
        if (!w || wanted.isEmpty() || w->document()->file_path.empty())
            continue;
        if (QFileInfo(q(w->document()->file_path)).canonicalFilePath() != wanted)
            continue;
        if (sub->isMinimized())
            sub->showNormal();
        mdi_->setActiveSubWindow(sub);
        w->setFocus();
        activateWindow();
        raise();
        return w;
    }
    std::unique_ptr<CChildFrame> doc = open_sound_file(app::g_current_file);
    if (!doc) {
        documents::set_active(active_document_window() ? active_document_window()->document()
                                                       : nullptr);
        return nullptr;
    }
    auto* w = new DocumentWindow(std::move(doc), q(app::g_current_title));
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->setWindowIcon(bar_icon(cmd::kPlay, color_));
    connect(sub, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, [this] { document_count_changed(); }); });
    sub->resize(560, 280);
    sub->show();
    mdi_->setActiveSubWindow(sub);
    documents::set_active(w->document());
#ifdef KELVARA_HAVE_VIDEO_WINDOW
    // Its pictures beside it; the window goes with the document's.
    display_AVI_file(*w->document(), w);
#endif
    kel::ui().set_main_title(app::kProductName);
    recent_.add(app::g_current_file);
    rebuild_recent_menu();
    document_count_changed();
    return w;
}

void CMainFrame::document_count_changed()
{
    const bool any = !document_windows().empty();
    if (!any)
        documents::set_active(nullptr);
    connect_document_views();
    // Sections for the playlist come from open documents.
    if (any)
        app::set_command_flag(cmd::kShowPlaylist, true);
    if (any != showing_document_menu_)
        show_menu_set(any);
    refresh_status();
    update_command_states();
}

void CMainFrame::subwindow_activated(QMdiSubWindow* sub)
{
    if (sub) {
        if (auto* w = qobject_cast<DocumentWindow*>(sub->widget()))
            documents::set_active(w->document());
    } else if (document_windows().empty()) {
        documents::set_active(nullptr);
    }
    refresh_status();
    update_command_states();
}

bool CMainFrame::close_all_documents()
{
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isMinimized())
            sub->showNormal();
        if (!sub->close())
            return false;
    }
    document_count_changed();
    return true;
}

void CMainFrame::sibling_request()
{
    const std::string file = app::read_autostart_file();
    if (file.empty() || !app::set_current_file(file))
        return;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        auto* w = qobject_cast<DocumentWindow*>(sub->widget());
        // Only the file name counts, compared exactly.
        if (w && w->base_title() == q(app::g_current_title)) {
            sub->showNormal();
            mdi_->setActiveSubWindow(sub);
            w->setFocus();
            activateWindow();
            raise();
            return;
        }
    }
    on_command(cmd::kOpenCurrentFile);
}

void CMainFrame::files_dropped(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const QString first = paths.front();
    if (QFileInfo(first).suffix().compare("wav", Qt::CaseInsensitive) == 0) {
        if (app::set_current_file(first.toStdString()))
            on_command(cmd::kOpenDropped);
        return;
    }
    // Anything else may be a plug-in to register; files that are no binaries are ignored.
    register_dropped_plugin(first.toStdString());
}

void CMainFrame::open_file_dialog()
{
    kel::FileDialogRequest request;
    request.title = "Open";
    request.directory = app::g_current_file[0]
                            ? QFileInfo(app::g_current_file).absolutePath().toStdString()
                            : std::string();
    request.filter = "Wave files (*.wav)|*.wav|All files (*.*)|*.*";
    request.file_specs_panel = true;
    const std::string chosen = kel::ui().file_dialog(request);
    if (chosen.empty() || !app::set_current_file(chosen))
        return;
    on_command(cmd::kOpenCurrentFile);
}

void CMainFrame::open_web_site()
{
    if (app::g_preferred_browser.empty()) {
        kel::FileDialogRequest request;
        request.title = "Select Desired Default Web Browser";
        request.filter = "Programs|*|All files (*.*)|*.*";
        const std::string chosen = kel::ui().file_dialog(request);
        if (chosen.empty())
            return;
        app::g_preferred_browser = chosen;
        kel::profile::write_string("Internet browser", "Preferred browser", chosen,
                                   kel::profile::app_profile());
        return;
    }
    // The path is quoted so that a browser in a folder with blanks still starts.
    kel::process::start(kel::process::split_command_line("\"" + app::g_preferred_browser + "\" " +
                                                         app::kMakerWebAddress),
                        true);
}

void CMainFrame::start_outside_program(const char* name)
{
    std::string path = kel::paths::program_dir() + name;
    if (!QFileInfo::exists(q(path))) {
        // The Linux build of a helper drops the ".EXE" and the capitals.
        QString plain = QString(name).toLower();
        if (plain.endsWith(".exe"))
            plain.chop(4);
        const std::string alternative = kel::paths::program_dir() + plain.toStdString();
        if (QFileInfo::exists(q(alternative)))
            path = alternative;
    }
    kel::process::start({path}, true);
}

void CMainFrame::tile(bool horizontally)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (!sub->isMinimized())
            windows << sub;
    if (windows.isEmpty())
        return;
    const QRect area = mdi_->viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = windows[i];
        sub->showNormal();
        if (horizontally) {
            const int h = area.height() / n;
            sub->setGeometry(0, i * h, area.width(), i == n - 1 ? area.height() - i * h : h);
        } else {
            const int w = area.width() / n;
            sub->setGeometry(i * w, 0, i == n - 1 ? area.width() - i * w : w, area.height());
        }
    }
    // 100 ms later the active document redraws its display and time read-outs.
    if (tile_timer_)
        killTimer(tile_timer_);
    tile_timer_ = startTimer(100);
}

// ---- Commands ---------------------------------------------------------------------------

void CMainFrame::on_command(int id, long param)
{
    // The active document's view gives the command its document and view state, and
    // brings itself up to date afterwards, as it does for its own play bar.
    DocumentWindow* w = active_document_window();
    QPointer<DocumentView> view = w ? w->view() : nullptr;
    CommandContext context = view ? view->command_context() : CommandContext{};
    if (!context.doc)
        context.doc = documents::active();
    context.host = this;
    context.param = param;
    const int result = commands::run(id, context);
    if (view && result >= 0)
        view->command_ran(id, result);
    update_command_states();
}

HWND CMainFrame::main_window()
{
    return static_cast<QWidget*>(this);
}

int CMainFrame::frame_command(int id, long param)
{
    switch (id) {
    case cmd::kCreateNewFile: {
        std::unique_ptr<CChildFrame> doc = create_new_wave_file(true);
        if (!doc)
            break;
        const QString title = doc->file_title;
        adopt_document(std::move(doc), title);
        break;
    }
    case cmd::kOpen:
        open_file_dialog();
        break;
    case cmd::kOpenCurrentFile:
    case cmd::kOpenDropped:
        open_current_file();
        break;
    case cmd::kSiblingRequest:
        sibling_request();
        break;
    case cmd::kPreferences:
        show_preferences(this);
        break;
    case cmd::kTipOfTheDay: {
        app::TipOfTheDayDialog dialog;
        kel::ui().run_modal(dialog);
        break;
    }
    case cmd::kTutorial:
        start_outside_program("KVSTUTOR.EXE");
        break;
    case cmd::kMidiKeyboard:
        start_outside_program("MIDIKEYB.EXE");
        break;
    case cmd::kWebSite:
        open_web_site();
        break;
    case cmd::kExit:
        close();
        break;
    case cmd::kClose:
        if (QMdiSubWindow* sub = mdi_->activeSubWindow())
            sub->close();
        break;
    case cmd::kCloseAll:
        close_all_documents();
        break;
    case cmd::kHelp:
        kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", 0);
        break;
    case cmd::kAbout:
        QMessageBox::about(this, "About Kelvara",
                           "<b>Kelvara</b> &mdash; Orlo digital audio editor<br>"
                           "Recording, editing, processing and playing digital audio.");
        break;
    case cmd::kShowHideBar:
        if (QToolBar* tb = bar(static_cast<int>(param)))
            tb->setVisible(tb->isHidden());
        break;
    case cmd::kDefaultBarLayout:
        dock_default_layout();
        break;
    case cmd::kApplyToolTips:
        // The tool tip filter reads the flag; hide a tip that is showing now.
        if (!tool_tips_)
            QToolTip::hideText();
        break;
    case cmd::kUpdateDisplay:
        for (DocumentWindow* w : document_windows())
            w->redraw();
        update();
        break;
    case cmd::kRedrawDocument:
        // The document window redraws its display and its time read-outs.
        if (DocumentWindow* w = active_document_window())
            send_command(w->handle(), cmd::kRedrawDocument);
        break;
    case cmd::kSpectrumBlock:
        if (spectrum_)
            spectrum_->show_block(app::g_spectrum_block);
        break;
    case cmd::kCascade:
        mdi_->cascadeSubWindows();
        break;
    case cmd::kTileHorizontally:
        tile(true);
        break;
    case cmd::kTileVertically:
        tile(false);
        break;
    case cmd::kSave:
    case cmd::kSaveAs:
    case cmd::kSaveHighlighted:
        if (CChildFrame* doc = documents::active()) {
            const int saved =
                id == cmd::kSave
                    ? save_document(*doc)
                    : save_document_as(*doc, id == cmd::kSaveAs ? SaveScope::Whole
                                                                : SaveScope::Highlighted);
            if (saved && !last_saved_file().empty()) {
                recent_.add(last_saved_file());
                rebuild_recent_menu();
            }
            recovery::note(*doc);
            if (DocumentWindow* w = active_document_window())
                w->set_base_title(doc->file_title);
        }
        break;
    case cmd::kDeleteFile:
        delete_file_command();
        break;
    case cmd::kShowPlaylist:
        show_playlist();
        break;
    default:
        if (id >= cmd::kRecentFile1 && id < cmd::kRecentFile1 + app::kRecentFileCount) {
            const size_t i = static_cast<size_t>(id - cmd::kRecentFile1);
            if (i < recent_.files().size() && app::set_current_file(recent_.files()[i]))
                on_command(cmd::kOpenCurrentFile);
            break;
        }
        return 0;
    }
    return 1;
}

int CMainFrame::accelerator(QKeyEvent* event)
{
    const int command = app::accelerator_command(*event);
    if (command == 0)
        return 0;
    // Typed characters belong to a text field that has the focus.
    const bool character =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::ShiftModifier;
    if (character && is_text_input(QApplication::focusWidget()))
        return 0;
    // The cursor keys, Space and Delete are the waveform's; elsewhere they keep the
    // meaning their widget gives them (a slider, a list, a button).
    if (character && is_view_key(event->key()) && !in_document_view(QApplication::focusWidget()))
        return 0;
    on_command(command);
    return command;
}

// ---- Events -----------------------------------------------------------------------------

bool CMainFrame::event(QEvent* e)
{
    if (e->type() == CommandEvent::type()) {
        auto* c = static_cast<CommandEvent*>(e);
        on_command(c->command, c->param);
        return true;
    }
    return QMainWindow::event(e);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* w = qobject_cast<QWidget*>(watched);
        // Keys of this frame and its document windows; a modal dialog keeps its own.
        if (!w || w->window() != this || QApplication::activeModalWidget())
            break;
        if (accelerator(static_cast<QKeyEvent*>(event)) != 0)
            return true;
        break;
    }
    case QEvent::ToolTip: {
        if (tool_tips_)
            break;
        for (QObject* o = watched; o; o = o->parent())
            if (qobject_cast<QToolBar*>(o) && o->parent() == this)
                return true;
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    save_layout_and_placement();
    if (!close_all_documents()) {
        e->ignore();
        return;
    }
    e->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e)
{
    QStringList paths;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    e->acceptProposedAction();
    files_dropped(paths);
}

void CMainFrame::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == tile_timer_) {
        killTimer(tile_timer_);
        tile_timer_ = 0;
        on_command(cmd::kRedrawDocument);
        return;
    }
    QMainWindow::timerEvent(e);
}

// ---- Views, playlist, big time window and dropped sections --------------------------

void CMainFrame::connect_document_views()
{
    for (DocumentWindow* w : document_windows()) {
        DocumentView* v = w->view();
        if (!v)
            continue;
        connect(v, &DocumentView::unhandled_key, this, &CMainFrame::view_key, Qt::UniqueConnection);
        connect(v, &DocumentView::selection_changed, this, &CMainFrame::refresh_status,
                Qt::UniqueConnection);
        // The play bar's commands take the frame's route to their handlers too.
        v->set_command_host(this);
        connect(v, &DocumentView::command_done, this, &CMainFrame::command_done,
                Qt::UniqueConnection);
        connect(v, &DocumentView::markers_changed, this, &CMainFrame::refresh_cue_list,
                Qt::UniqueConnection);
        connect(v, &DocumentView::status_text, this, &CMainFrame::pointer_status,
                Qt::UniqueConnection);
    }
    if (playlist_window_)
        playlist_window_->refresh();
}

void CMainFrame::command_done()
{
    refresh_status();
    update_command_states();
}

void CMainFrame::view_key(int key, int modifiers, const QString& text)
{
    Qt::KeyboardModifiers qt_modifiers;
    if (modifiers & kKeyShift)
        qt_modifiers |= Qt::ShiftModifier;
    if (modifiers & kKeyControl)
        qt_modifiers |= Qt::ControlModifier;
    if (modifiers & kKeyAlt)
        qt_modifiers |= Qt::AltModifier;
    QKeyEvent e(QEvent::KeyPress, key, qt_modifiers, text);
    accelerator(&e);
}

DocumentWindow* CMainFrame::adopt_document(std::unique_ptr<CChildFrame> doc, const QString& title)
{
    if (!doc)
        return nullptr;
    auto* w = new DocumentWindow(std::move(doc), title);
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->setWindowIcon(bar_icon(cmd::kPlay, color_));
    connect(sub, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, [this] { document_count_changed(); }); });
    sub->resize(560, 280);
    sub->show();
    mdi_->setActiveSubWindow(sub);
    documents::set_active(w->document());
    document_count_changed();
    return w;
}

DocumentWindow* CMainFrame::section_dropped_on_empty_area(CChildFrame& source)
{
    if (!source.current.has_selection || source.current.select_end <= source.current.select_start)
        return nullptr;
    std::unique_ptr<CChildFrame> doc = new_file_from_section(source);
    if (!doc) {
        documents::set_active(active_document_window() ? active_document_window()->document()
                                                       : nullptr);
        return nullptr;
    }
    const QString title = q(doc->file_title);
    return adopt_document(std::move(doc), title);
}

PlaylistWindow* CMainFrame::playlist_window() const
{
    return playlist_window_.data();
}

PlayTimeWindow* CMainFrame::play_time_window() const
{
    return play_time_window_.data();
}

void CMainFrame::show_playlist()
{
    if (!playlist_window_) {
        playlist_window_ = new PlaylistWindow(playlist(), this);
        // The build's destination is what the create-new-file command makes.
        playlist_window_->set_destination_factory([this]() -> CChildFrame* {
            std::unique_ptr<CChildFrame> doc = create_new_wave_file(true);
            if (!doc)
                return nullptr;
            const QString title = q(doc->file_title);
            DocumentWindow* w = adopt_document(std::move(doc), title);
            return w ? w->document() : nullptr;
        });
        connect(playlist_window_, &PlaylistWindow::composite_built, this,
                [this](CChildFrame* dest) {
                    for (DocumentWindow* w : document_windows()) {
                        if (w->document() != dest)
                            continue;
                        if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                            mdi_->setActiveSubWindow(sub);
                        w->redraw();
                    }
                    refresh_status();
                    update_command_states();
                });
    }
    playlist_window_->refresh();
    playlist_window_->show();
    playlist_window_->raise();
}

void CMainFrame::show_play_time_window(bool show)
{
    if (!show) {
        if (play_time_window_)
            play_time_window_->hide();
        return;
    }
    if (!play_time_window_) {
        play_time_window_ = new PlayTimeWindow(this);
        play_time_window_->adjustSize();
        // Near the top right corner of the document area.
        const QPoint corner = mdi_->mapToGlobal(mdi_->rect().topRight());
        play_time_window_->move(corner.x() - play_time_window_->width() - 16, corner.y() + 16);
    }
    // It opens on the time the playback starts from.
    const PlaybackState& pb = playback_state();
    BigTimeText start;
    start.text = play_time_text(pb.doc ? pb.doc->play_start_ms / 1000.0 : 0.0, pb.time_format);
    play_time_window_->show_time(start);
    play_time_window_->show();
    play_time_window_->raise();
}

} // namespace ui
