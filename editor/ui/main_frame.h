#pragma once
// CMainFrame: the multi-document frame with its eleven bars, the status panes, the level
// and spectrum indicators, the volume fader, the two menus and the accelerators. The
// documents, commands and events are in main_frame.cpp; the menus, the bars, the status
// bar and the placement each in a main_frame_*.cpp of their own.
#include "editor/app/commands.h"
#include "editor/app/recent_files.h"
#include "editor/commands/command_table.h"
#include "editor/view/ui/cue_list_box.h"

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSlider;
class QToolBar;
class CChildFrame;
class PlaybackObserver;
class PlaylistWindow;

namespace ui {

class DbGauge;
class DocumentWindow;
class EmptyAreaDrop;
class PlayTimeWindow;
class SpectrumIndicator;
class VolumeIndicator;

class CMainFrame : public QMainWindow, public CommandHost
{
    Q_OBJECT
  public:
    // Construction: the fader libraries (built in here) and the recent-file list.
    CMainFrame();
    ~CMainFrame() override;

    // Creation: placement, "General" flags, bars, indicators, fader, status panes, menus.
    bool create();

    // Carries out a command from the menus, the tool bars, the keys or another part of
    // the program through its row of the command table; param carries the bar number
    // of 1039.
    void on_command(int id, long param = 0);
    // The frame's own commands (CommandHost).
    int frame_command(int id, long param) override;
    HWND main_window() override;
    bool command_enabled(int id) const;
    // Enables the menu items and bar buttons from the command states.
    void update_command_states();

    // Command 2002: a new document window for the current-file buffer. Null when the file
    // could not be opened (the reason has been shown).
    DocumentWindow* open_current_file();
    // Command 5000 after the reply: bring the named window forward or open the file.
    void sibling_request();
    // Stops at the first document that refuses; true when all closed.
    bool close_all_documents();
    std::vector<DocumentWindow*> document_windows() const;
    DocumentWindow* active_document_window() const;
    QMdiArea* mdi_area() const { return mdi_; }

    QToolBar* bar(int number) const;
    void show_bar(int number, bool visible);
    void dock_default_layout();
    bool tool_tips() const { return tool_tips_; }
    void set_tool_tips(bool on) { tool_tips_ = on; }
    bool color_bars() const { return color_; }
    // The menu actions of a command in the menu now shown (null when it has none).
    QAction* menu_action(int id) const;
    QAction* bar_action(int id) const;
    const std::vector<QMenu*>& shown_menus() const;
    bool showing_document_menu() const { return showing_document_menu_; }

    DbGauge* left_gauge() const { return left_gauge_; }
    DbGauge* right_gauge() const { return right_gauge_; }
    VolumeIndicator* volume_indicator() const { return volume_indicator_; }
    SpectrumIndicator* spectrum_indicator() const { return spectrum_; }
    QSlider* volume_fader() const { return fader_; }
    CueListBox* cue_list() const { return cue_list_; }
    // The cue list shows the active document's markers again.
    void refresh_cue_list();
    const app::RecentFiles& recent_files() const { return recent_; }
    QLabel* status_pane(int id) const;
    // Handles of the bars that hold Record and Play, for the tutorial program.
    QWidget* transport_bar() const;
    // Runs a command from a key press; 0 when the key is not an accelerator.
    int accelerator(QKeyEvent* event);
    // Files dropped on the frame: only the first is taken.
    void files_dropped(const QStringList& paths);
    // Closing steps 1 and 2: bar layout, "General" flags and "WindowPos".
    void save_layout_and_placement();

    // A new document window for a document made elsewhere, made active.
    DocumentWindow* adopt_document(std::unique_ptr<CChildFrame> doc, const QString& title);
    // A highlighted section dropped on the empty area: a new file from it.
    DocumentWindow* section_dropped_on_empty_area(CChildFrame& source);
    // Command 353: the "  Multitrack List" window, made once.
    void show_playlist();
    PlaylistWindow* playlist_window() const;
    // The big time read-out of playback, made when first shown.
    void show_play_time_window(bool show);
    PlayTimeWindow* play_time_window() const;

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build_menus();
    void show_menu_set(bool document_menu);
    QMenu* build_menu(const app::MenuNode& node, std::vector<QAction*>& actions);
    void rebuild_recent_menu();
    void build_bars();
    void build_status_bar();
    void restore_placement();
    void restore_bar_layout();
    void tile(bool horizontally);
    void open_file_dialog();
    void open_web_site();
    void start_outside_program(const char* name);
    void subwindow_activated(QMdiSubWindow* sub);
    void refresh_status();
    void document_count_changed();
    // Keys the views do not take reach the key table; their selections the status panes.
    void connect_document_views();
    // A command ran in a document view: the status panes and command states follow.
    void command_done();
    // A marker's description while the pointer is over it; "Ready" once it left.
    void pointer_status(const QString& text);
    void view_key(int key, int modifiers, const QString& text);

    QMdiArea* mdi_ = nullptr;
    std::map<int, QToolBar*> bars_;
    std::vector<QAction*> frame_actions_;
    std::vector<QAction*> document_actions_;
    std::vector<QAction*> bar_actions_;
    std::vector<QMenu*> frame_menus_;
    std::vector<QMenu*> document_menus_;
    std::vector<QMenu*> recent_menus_; // the two File menus
    std::vector<QAction*> recent_actions_;
    bool showing_document_menu_ = false;
    bool color_ = true;
    bool tool_tips_ = true;
    app::RecentFiles recent_;
    DbGauge* left_gauge_ = nullptr;
    DbGauge* right_gauge_ = nullptr;
    VolumeIndicator* volume_indicator_ = nullptr;
    SpectrumIndicator* spectrum_ = nullptr;
    QSlider* fader_ = nullptr;
    CueListBox* cue_list_ = nullptr;
    std::map<int, QLabel*> panes_;
    std::unique_ptr<PlaybackObserver> playback_observer_;
    QPointer<PlaylistWindow> playlist_window_;
    QPointer<PlayTimeWindow> play_time_window_;
    EmptyAreaDrop* empty_area_drop_ = nullptr;
    int tile_timer_ = 0;
    bool created_ = false;
};

} // namespace ui
