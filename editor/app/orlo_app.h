#pragma once
// The application object: start-up in its fixed order, the UI services, the sibling's
// requests, shut-down.
#include <memory>
#include <string>
#include <vector>

namespace ui {
class CMainFrame;
class EventPump;
class QtUi;
} // namespace ui

namespace app {

class SiblingServer;

class COrloApp
{
  public:
    COrloApp();
    ~COrloApp();
    COrloApp(const COrloApp&) = delete;
    COrloApp& operator=(const COrloApp&) = delete;

    // The start-up sequence; false when the main frame cannot be made.
    bool init_instance();
    // After the event loop: the frame goes and with it the run's temporary files.
    int exit_instance();
    // Files named on the command line, each opened as the Open command does (one that is
    // open already comes forward). The number opened.
    int open_files(const std::vector<std::string>& files);

    ui::CMainFrame* main_frame() const { return frame_; }
    ui::QtUi& qt_ui() const { return *ui_; }
    SiblingServer* sibling_server() const { return sibling_.get(); }
    // The steps as they ran, by name.
    const std::vector<std::string>& trace() const { return trace_; }

  private:
    void step(const char* name) { trace_.push_back(name); }
    std::unique_ptr<ui::QtUi> ui_;
    std::unique_ptr<SiblingServer> sibling_;
    std::unique_ptr<ui::EventPump> pump_;
    ui::CMainFrame* frame_ = nullptr;
    std::vector<std::string> trace_;
};

// The file names of a command line: every argument after the program's that is not an
// option ("-..."); "--" ends the options.
std::vector<std::string> files_on_command_line(int argc, char** argv);

} // namespace app
