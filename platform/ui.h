#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The toolkit-neutral face of the user interface. The core talks only to this; the Qt
// program installs its own implementation and tests install HeadlessUi.
namespace kel {

// SaveDiscardCancel answers kIdYes for Save and kIdNo for Discard.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, SaveDiscardCancel };
enum class Icon { None, Exclamation, Question, Information, Stop };
enum class Cursor { Arrow, Wait, Watch, Cross, SizeWE, Hand, Drag, NoDrop };

// Results as the classic message box returns them.
enum BoxResult : int {
    kIdOk = 1,
    kIdCancel = 2,
    kIdAbort = 3,
    kIdRetry = 4,
    kIdIgnore = 5,
    kIdYes = 6,
    kIdNo = 7,
};

// A modal dialog is a plain model: its values plus the button that ended it. The
// toolkit binds widgets to it; tests drive it by calling its event methods.
class DialogModel
{
  public:
    virtual ~DialogModel() = default;
    virtual const char* template_name() const = 0;
    // Called once before the dialog is shown.
    virtual void on_open() {}
    bool ended() const { return ended_; }
    int end_code() const { return end_code_; }
    void end_dialog(int code)
    {
        end_code_ = code;
        ended_ = true;
    }
    // Ready to be shown again.
    void restart()
    {
        ended_ = false;
        end_code_ = 0;
    }

  private:
    bool ended_ = false;
    int end_code_ = 0;
};

struct FileDialogRequest
{
    bool save = false;
    std::string title;
    std::string directory;
    std::string file_name;
    std::string filter; // "Wave files (*.wav)|*.wav|All files (*.*)|*.*"
    // The editor's Open shows what it knows of the selected file beside the list.
    bool file_specs_panel = false;
};

class Ui
{
  public:
    virtual ~Ui() = default;

    virtual int message_box(const std::string& text, const std::string& caption, Buttons buttons,
                            Icon icon) = 0;
    virtual void beep() = 0;
    // Returns the cursor that was showing, so the caller can put it back.
    virtual Cursor set_cursor(Cursor cursor) = 0;

    // The one-line progress window. Handles are non-zero.
    virtual long progress_open(const std::string& text) = 0;
    virtual void progress_bar(long handle, int percent, const std::string& label) = 0;
    virtual void progress_time_left(long handle, const std::string& text) = 0;
    // True once per press of the window's Cancel button.
    virtual bool progress_cancel_pressed(long handle) = 0;
    virtual void progress_close(long handle) = 0;

    // Runs the dialog until it ends; returns its end code.
    virtual int run_modal(DialogModel& dialog) = 0;

    // Empty when the user cancels.
    virtual std::string file_dialog(const FileDialogRequest& request) = 0;

    virtual int screen_width() = 0;
    virtual int screen_height() = 0;

    // A named sound of the program ("ALLDONE", "select"); synchronous or not.
    virtual void play_sound(const std::string& name, bool wait) = 0;
    virtual void set_main_title(const std::string& title) = 0;
    virtual void open_help(const std::string& help_file, long context) = 0;
    // Geometry of a top-level window in screen pixels; false for an unknown window.
    virtual bool window_geometry(void* window, int& x, int& y, int& width, int& height) = 0;
    virtual void move_window(void* window, int x, int y) = 0;
    // True while the Escape key is held down (long waits give up on it).
    virtual bool escape_down() { return false; }
    // The owner-drawn button and text descriptions go here once a window exists.
    virtual void note(const std::string& what) { (void)what; }
};

Ui& ui();
// Installs an implementation (not owned); null restores the built-in headless one.
void set_ui(Ui* implementation);

// Records everything, answers from scripts. The default for tools and tests.
class HeadlessUi : public Ui
{
  public:
    struct Box
    {
        std::string text;
        std::string caption;
        Buttons buttons;
        Icon icon;
        int result;
    };
    struct ProgressEvent
    {
        long handle;
        int percent; // -1 for open, -2 for close
        std::string text;
    };
    using DialogScript = std::function<void(DialogModel&)>;

    int message_box(const std::string& text, const std::string& caption, Buttons buttons,
                    Icon icon) override;
    void beep() override { ++beeps; }
    Cursor set_cursor(Cursor c) override
    {
        Cursor previous = cursor;
        cursor = c;
        if (c == Cursor::Wait || c == Cursor::Watch)
            ++wait_cursor_shown;
        return previous;
    }
    long progress_open(const std::string& text) override;
    void progress_bar(long handle, int percent, const std::string& label) override;
    void progress_time_left(long handle, const std::string& text) override;
    bool progress_cancel_pressed(long handle) override;
    void progress_close(long handle) override;
    int run_modal(DialogModel& dialog) override;
    std::string file_dialog(const FileDialogRequest& request) override;
    int screen_width() override { return screen_w; }
    int screen_height() override { return screen_h; }
    void play_sound(const std::string& name, bool wait) override
    {
        sounds.push_back(name + (wait ? ":sync" : ":async"));
    }
    void set_main_title(const std::string& title) override { main_title = title; }
    void open_help(const std::string& help_file, long context) override
    {
        help.push_back(help_file + "#" + std::to_string(context));
    }
    void note(const std::string& what) override { notes.push_back(what); }
    bool escape_down() override { return escape; }
    bool window_geometry(void* window, int& x, int& y, int& width, int& height) override;
    void move_window(void* window, int x, int y) override;
    struct Geometry
    {
        void* window;
        int x, y, width, height;
    };
    std::vector<Geometry> windows;

    // Answers for the next boxes, in order; when none is queued, the first button (Discard
    // for a Save, Discard, Cancel box: a test that has not said so never writes a file).
    void answer(int result) { answers.push_back(result); }
    // Script for the next dialog with this template; without one a dialog ends with Cancel.
    void on_dialog(const std::string& template_name, DialogScript script)
    {
        scripts.push_back({template_name, std::move(script)});
    }
    // Presses Cancel at the n-th poll from now (1 = the next poll); 0 never.
    void cancel_after_polls(int n) { cancel_at_ = n > 0 ? polls + n : 0; }

    void clear();

    std::vector<Box> boxes;
    std::vector<int> answers;
    std::vector<ProgressEvent> progress;
    std::vector<std::string> time_left_texts;
    std::vector<std::string> sounds;
    std::vector<std::string> help;
    std::vector<std::string> notes;
    std::vector<std::string> file_dialog_answers; // consumed in order
    std::vector<FileDialogRequest> file_dialogs;
    std::vector<std::string> dialogs_run;
    std::string main_title;
    int beeps = 0;
    Cursor cursor = Cursor::Arrow;
    bool escape = false;
    int wait_cursor_shown = 0;
    long polls = 0;
    long open_progress = 0; // handle of the window now open, 0 when none
    int progress_windows = 0;
    int screen_w = 1024;
    int screen_h = 768;

  private:
    std::vector<std::pair<std::string, DialogScript>> scripts;
    long cancel_at_ = 0;
    long next_handle_ = 100;
};

} // namespace kel
