#pragma once
// The Qt face of the UI services: message boxes, cursors, the progress window over the
// status bar, modal dialogs through a registry of binders, file dialogs, help.
#include "platform/ui.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ui {

// Shows a dialog model as a Qt dialog and runs it; returns the model's end code.
using DialogBinder = std::function<int(kel::DialogModel& model, QWidget* parent)>;
// Later dialogs add themselves here under their template names.
void register_dialog(const std::string& template_name, DialogBinder binder);
bool has_dialog(const std::string& template_name);

// The modeless one-line progress window ("MESSAGEDLG"): Cancel, the bar and the time
// left, laid over the main window's status bar.
class ProgressWindow : public QWidget
{
    Q_OBJECT
  public:
    explicit ProgressWindow(const QString& text, QWidget* main_window);
    void set_percent(int percent);
    void set_time_left(const QString& text);
    // True once per press of Cancel.
    bool take_cancel();
    QPushButton* cancel_button() const { return cancel_; }
    QProgressBar* bar() const { return bar_; }
    QLabel* time_left() const { return time_left_; }

  private:
    void place_over_status_bar(QWidget* main_window);
    QPushButton* cancel_;
    QProgressBar* bar_;
    QLabel* time_left_;
    int cancel_presses_ = 0;
};

class QtUi : public kel::Ui
{
  public:
    QtUi();
    ~QtUi() override;

    void set_main_window(QWidget* window) { main_window_ = window; }
    QWidget* main_window() const { return main_window_; }

    int message_box(const std::string& text, const std::string& caption, kel::Buttons buttons,
                    kel::Icon icon) override;
    void beep() override;
    kel::Cursor set_cursor(kel::Cursor cursor) override;
    long progress_open(const std::string& text) override;
    void progress_bar(long handle, int percent, const std::string& label) override;
    void progress_time_left(long handle, const std::string& text) override;
    bool progress_cancel_pressed(long handle) override;
    void progress_close(long handle) override;
    int run_modal(kel::DialogModel& dialog) override;
    std::string file_dialog(const kel::FileDialogRequest& request) override;
    int screen_width() override;
    int screen_height() override;
    void play_sound(const std::string& name, bool wait) override;
    void set_main_title(const std::string& title) override;
    void open_help(const std::string& help_file, long context) override;
    bool window_geometry(void* window, int& x, int& y, int& width, int& height) override;
    void move_window(void* window, int x, int y) override;

    ProgressWindow* progress_window() const { return progress_; }
    // The help contexts asked for, "file#context", for the record.
    const std::vector<std::string>& help_requests() const { return help_requests_; }
    // Where a sound request goes until playback exists.
    std::function<void(const std::string& name, bool wait)> sound_hook;

    // Qt's filter string for "Description|pattern|..." pairs.
    static QString qt_filter(const std::string& filter);

  private:
    QPointer<QWidget> main_window_;
    QPointer<ProgressWindow> progress_;
    long progress_handle_ = 0;
    long next_handle_ = 1000;
    kel::Cursor cursor_ = kel::Cursor::Arrow;
    int overrides_ = 0;
    std::vector<std::string> help_requests_;
    qint64 last_pump_ms_ = 0;
    void pump_progress_events(bool force);
};

} // namespace ui
