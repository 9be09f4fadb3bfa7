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
#include "editor/document/edit_menu.h"
#include "editor/document/playlist.h"
#include "editor/document/recovery.h"
#include "editor/edit/edit_commands.h"
#include "editor/files/file_commands.h"
#include "editor/files/new_file.h"
#include "editor/modules/linked_modules.h"
#include "editor/strings.h"
#include "editor/ui/bar_icons.h"
#include "editor/ui/command_event.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/document_window.h"
#include "editor/ui/empty_area_drop.h"
#include "editor/ui/play_time_window.h"
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

Qt::ToolBarAreas areas_for(app::Dock dock)
{
    switch (dock) {
    case app::Dock::TopOnly:
        return Qt::TopToolBarArea;
    case app::Dock::RightOnly:
        return Qt::RightToolBarArea;
    case app::Dock::Any:
        break;
    }
    return Qt::AllToolBarAreas;
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
    // Nothing may reach this frame while it comes apart.
    qApp->removeEventFilter(this);
    if (playback_observer_)
        set_playback_observer(nullptr);
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
    playback_observer_ = std::make_unique<FramePlaybackObserver>(*this);
    set_playback_observer(playback_observer_.get());
    created_ = true;
    update_command_states();
    return true;
}

// ---- Menus ------------------------------------------------------------------------------

QMenu* CMainFrame::build_menu(const app::MenuNode& node, std::vector<QAction*>& actions)
{
    auto* menu = new QMenu(q(node.text), this);
    for (const app::MenuNode& item : node.items) {
        if (item.is_separator()) {
            QAction* sep = menu->addSeparator();
            // The File menu takes the recent files before its last separator.
            if (item.is_separator() && node.text == "&File")
                sep->setObjectName("recent-anchor");
            continue;
        }
        if (!item.items.empty()) {
            menu->addMenu(build_menu(item, actions));
            continue;
        }
        QAction* a = menu->addAction(q(item.text));
        a->setData(item.id);
        const app::Prompt prompt = app::command_prompt(item.id);
        if (!prompt.status.empty())
            a->setStatusTip(q(prompt.status));
        const int id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
        actions.push_back(a);
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { update_command_states(); });
    if (node.text == "&File")
        recent_menus_.push_back(menu);
    if (node.text == "Win&dow") {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* a : menu->actions())
                if (a->property("window-list").toBool())
                    delete a;
            const auto windows = mdi_->subWindowList();
            if (windows.isEmpty())
                return;
            QAction* sep = menu->addSeparator();
            sep->setProperty("window-list", true);
            int n = 1;
            for (QMdiSubWindow* sub : windows) {
                QAction* a = menu->addAction(QString("&%1 %2").arg(n++).arg(sub->windowTitle()));
                a->setProperty("window-list", true);
                a->setCheckable(true);
                a->setChecked(sub == mdi_->activeSubWindow());
                connect(a, &QAction::triggered, this,
                        [this, sub] { mdi_->setActiveSubWindow(sub); });
            }
        });
    }
    return menu;
}

void CMainFrame::build_menus()
{
    for (const app::MenuNode& top : app::frame_menu())
        frame_menus_.push_back(build_menu(top, frame_actions_));
    for (const app::MenuNode& top : app::document_menu())
        document_menus_.push_back(build_menu(top, document_actions_));
    rebuild_recent_menu();
    show_menu_set(false);
}

void CMainFrame::show_menu_set(bool document_menu)
{
    showing_document_menu_ = document_menu;
    menuBar()->clear();
    for (QMenu* m : document_menu ? document_menus_ : frame_menus_)
        menuBar()->addMenu(m);
}

const std::vector<QMenu*>& CMainFrame::shown_menus() const
{
    return showing_document_menu_ ? document_menus_ : frame_menus_;
}

void CMainFrame::rebuild_recent_menu()
{
    for (QAction* a : recent_actions_)
        delete a;
    recent_actions_.clear();
    for (QMenu* menu : recent_menus_) {
        // Before the separator above "Exit".
        QAction* anchor = nullptr;
        for (QAction* a : menu->actions())
            if (a->objectName() == "recent-anchor")
                anchor = a;
        if (!anchor || recent_.files().empty())
            continue;
        int i = 0;
        for (const std::string& f : recent_.files()) {
            auto* a = new QAction(q(app::RecentFiles::menu_text(i, f)), menu);
            a->setData(cmd::kRecentFile1 + i);
            a->setStatusTip(q(f));
            const int id = cmd::kRecentFile1 + i;
            connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
            menu->insertAction(anchor, a);
            recent_actions_.push_back(a);
            ++i;
        }
        QAction* sep = new QAction(menu);
        sep->setSeparator(true);
        menu->insertAction(anchor, sep);
        recent_actions_.push_back(sep);
    }
}

QAction* CMainFrame::menu_action(int id) const
{
    for (QAction* a : showing_document_menu_ ? document_actions_ : frame_actions_)
        if (a->data().toInt() == id)
            return a;
    for (QAction* a : recent_actions_)
        if (a->data().toInt() == id && !a->isSeparator())
            return a;
    return nullptr;
}

QAction* CMainFrame::bar_action(int id) const
{
    for (QAction* a : bar_actions_)
        if (a->data().toInt() == id)
            return a;
    return nullptr;
}

bool CMainFrame::command_enabled(int id) const
{
    if (id >= cmd::kRecentFile1 && id < cmd::kRecentFile1 + app::kRecentFileCount)
        return id - cmd::kRecentFile1 < static_cast<int>(recent_.files().size());
    return commands::available(id, documents::active() != nullptr);
}

void CMainFrame::update_command_states()
{
    auto apply = [this](const std::vector<QAction*>& actions) {
        for (QAction* a : actions) {
            const int id = a->data().toInt();
            if (id == 0)
                continue;
            a->setEnabled(command_enabled(id));
            if (id == cmd::kUndoRedo)
                a->setText(q(g_undo_menu.text));
        }
    };
    apply(frame_actions_);
    apply(document_actions_);
    apply(bar_actions_);
    apply(recent_actions_);
}

// ---- Bars -------------------------------------------------------------------------------

void CMainFrame::build_bars()
{
    const double scale = app::g_preferences.big_volume_indicators ? 1.0 : 0.75;
    auto scaled = [scale](int v) { return static_cast<int>(v * scale); };
    for (const app::BarInfo& info : app::bars()) {
        auto* tb = new QToolBar(info.title, this);
        tb->setObjectName(QString("General-Bar%1").arg(app::general_bar_of(info.number)));
        tb->setAllowedAreas(areas_for(info.dock));
        tb->setIconSize(QSize(20, 20));
        tb->setProperty("bar-number", info.number);
        bars_[info.number] = tb;
        auto add_button = [&](int id) {
            if (id == 0) {
                tb->addSeparator();
                return;
            }
            const app::Prompt prompt = app::command_prompt(id);
            QAction* a = tb->addAction(bar_icon(id, color_), q(prompt.tip));
            a->setData(id);
            a->setToolTip(q(prompt.tip));
            a->setStatusTip(q(prompt.status));
            connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
            bar_actions_.push_back(a);
        };
        auto describe = [](QWidget* w, int id) {
            const app::Prompt prompt = app::command_prompt(id);
            w->setToolTip(q(prompt.tip));
            w->setStatusTip(q(prompt.status));
        };
        switch (info.kind) {
        case app::BarKind::Buttons:
            for (int id : info.buttons)
                add_button(id);
            break;
        case app::BarKind::Cuelist:
            for (int id : info.buttons)
                add_button(id);
            cue_list_ = new QComboBox(tb);
            cue_list_->setObjectName("1026");
            cue_list_->setMinimumWidth(160);
            cue_list_->setToolTip("Time marks of the active document");
            tb->addWidget(cue_list_);
            break;
        case app::BarKind::VolumeIndicator: {
            auto* box = new QWidget(tb);
            auto* l = new QVBoxLayout(box);
            l->setContentsMargins(2, 2, 2, 2);
            l->setSpacing(2);
            volume_indicator_ = new VolumeIndicator(box);
            volume_indicator_->setFixedSize(scaled(132), scaled(34));
            describe(volume_indicator_, 12001);
            // The volume fader: the standard horizontal slider, control 12000.
            fader_ = new QSlider(Qt::Horizontal, box);
            fader_->setObjectName("12000");
            fader_->setRange(0, 255);
            fader_->setTickInterval(10);
            fader_->setTickPosition(QSlider::TicksBelow);
            fader_->setSingleStep(1);
            fader_->setPageStep(10);
            fader_->setFixedWidth(scaled(132));
            fader_->setToolTip("Output volume");
            // The output starts at 128 and the fader shows what the output then reports.
            app::set_master_output_level(128);
            fader_->setValue(app::reported_output_level());
            connect(fader_, &QSlider::valueChanged, this,
                    [](int v) { app::set_master_output_level(v); });
            l->addWidget(volume_indicator_);
            l->addWidget(fader_);
            tb->addWidget(box);
            break;
        }
        case app::BarKind::DbMeter: {
            auto* box = new QWidget(tb);
            auto* l = new QHBoxLayout(box);
            l->setContentsMargins(2, 2, 2, 2);
            l->setSpacing(3);
            left_gauge_ = new DbGauge("L", box);
            right_gauge_ = new DbGauge("R", box);
            for (DbGauge* g : {left_gauge_, right_gauge_}) {
                g->setFixedSize(scaled(24), scaled(130));
                l->addWidget(g);
            }
            describe(left_gauge_, 12100);
            // The table names only the left gauge; the right one says the same of its side.
            right_gauge_->setToolTip("Right channel DB level");
            right_gauge_->setStatusTip("Decibel level of right channel");
            kel::controls::_draw_decibel_gauge_volume(left_gauge_->handle(), 0, 0, 1);
            kel::controls::_draw_decibel_gauge_volume(right_gauge_->handle(), 0, 0, 1);
            tb->addWidget(box);
            break;
        }
        case app::BarKind::Spectrum:
            spectrum_ = new SpectrumIndicator(tb);
            spectrum_->setFixedSize(scaled(132), scaled(60));
            describe(spectrum_, cmd::kSpectrumBlock);
            tb->addWidget(spectrum_);
            break;
        }
    }
    dock_default_layout();
    restore_bar_layout();
}

QToolBar* CMainFrame::bar(int number) const
{
    auto it = bars_.find(number);
    return it == bars_.end() ? nullptr : it->second;
}

QWidget* CMainFrame::transport_bar() const
{
    return bar(2);
}

void CMainFrame::dock_default_layout()
{
    for (auto& [n, tb] : bars_)
        removeToolBar(tb);
    auto put = [this](Qt::ToolBarArea area, int number) {
        if (QToolBar* tb = bar(number)) {
            addToolBar(area, tb);
            tb->show();
        }
    };
    // Tool bars in rows along the top, indicators down the right side.
    for (int n : {0, 1, 4, 2, 7})
        put(Qt::TopToolBarArea, n);
    addToolBarBreak(Qt::TopToolBarArea);
    for (int n : {6, 3, 5})
        put(Qt::TopToolBarArea, n);
    for (int n : {9, 8, 10})
        put(Qt::RightToolBarArea, n);
}

void CMainFrame::restore_bar_layout()
{
    const std::string f = kel::profile::app_profile();
    const std::string saved = kel::profile::read_string("General", "BarLayout", "", f);
    if (!saved.empty())
        restoreState(QByteArray::fromHex(QByteArray::fromStdString(saved)));
    for (auto& [n, tb] : bars_)
        tb->setVisible(app::read_bar_visible(n));
}

void CMainFrame::show_bar(int number, bool visible)
{
    if (QToolBar* tb = bar(number))
        tb->setVisible(visible);
}

// ---- Status bar -------------------------------------------------------------------------

void CMainFrame::build_status_bar()
{
    QStatusBar* sb = statusBar();
    sb->showMessage("Ready");
    for (int id = 15; id <= 21; ++id) {
        auto* pane = new QLabel(sb);
        pane->setObjectName(QString::number(id));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setFrameShadow(QFrame::Sunken);
        // Each pane is as wide as its sample text in the string table.
        const char* sample = string_table_text(id);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(sample ? sample : "") + 16);
        sb->addPermanentWidget(pane);
        panes_[id] = pane;
    }
}

QLabel* CMainFrame::status_pane(int id) const
{
    auto it = panes_.find(id);
    return it == panes_.end() ? nullptr : it->second;
}

void CMainFrame::refresh_status()
{
    CChildFrame* doc = documents::active();
    auto set = [this](int id, const QString& text) {
        if (QLabel* l = status_pane(id))
            l->setText(text);
    };
    if (!doc) {
        for (int id = 15; id <= 21; ++id)
            set(id, "");
        return;
    }
    const WaveFormat& f = doc->wave_format;
    const double frame_rate = f.sample_rate ? double(f.sample_rate) : 1.0;
    const int channels = f.channels ? f.channels : 1;
    auto seconds = [&](long words) {
        return QString("%1 sec").arg(double(words) / channels / frame_rate, 0, 'f', 3);
    };
    set(15, QString("%1 bytes").arg(doc->current.total_samples * doc->bytes_per_sample()));
    set(16, QString("%1kHz").arg(f.sample_rate / 1000.0, 0, 'f', 3));
    set(17, QString("%1bits").arg(f.bits_per_sample));
    set(18, f.channels == 2 ? "Stereo" : "Mono");
    set(19, seconds(doc->current.total_samples));
    set(20, seconds(doc->current.select_start));
    set(21, seconds(doc->current.select_end));
}

// ---- Placement --------------------------------------------------------------------------

void CMainFrame::restore_placement()
{
    const auto p = app::read_window_placement();
    if (!p)
        return;
    setGeometry(p->left, p->top, p->right - p->left, p->bottom - p->top);
    if (p->maximized())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::save_layout_and_placement()
{
    const std::string f = kel::profile::app_profile();
    kel::profile::write_string("General", "BarLayout", saveState().toHex().toStdString(), f);
    for (auto& [n, tb] : bars_)
        app::write_bar_state(n, !tb->isHidden(), tb->isFloating());
    app::write_general_flags({color_ ? 1 : 0, tool_tips_ ? 1 : 0});
    recent_.write();

    app::WindowPlacement p;
    const bool maximized = isMaximized();
    p.flags = maximized ? app::kRestoreToMaximized : 0;
    p.show_command = maximized       ? app::kShowMaximized
                     : isMinimized() ? app::kShowMinimized
                                     : app::kShowNormal;
    QRect normal = normalGeometry();
    if (!normal.isValid() || normal.isEmpty())
        normal = geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    app::write_window_placement(p);
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
        if (w && w->windowTitle() == q(app::g_current_title)) {
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
    // Anything else is for plug-in registration, which ignores files without version
    // information; there is none here yet.
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
                w->setWindowTitle(doc->file_title);
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
