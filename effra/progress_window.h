#pragma once
// The host's one-line progress window for the length of one run: opened at 0 %, closed on
// every way out.
#include "common/host_services.h"

namespace effra {

class ProgressWindow
{
  public:
    explicit ProgressWindow(const char* text) : handle_(display_message_dialog(text, 1))
    {
        show_percent_done(handle_, 0);
    }
    ~ProgressWindow() { terminate_message_dialog(handle_); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    int handle() const { return handle_; }
    // Only a new value is drawn: the loops report far more often than the bar can move.
    void percent(int value)
    {
        if (value == shown_)
            return;
        shown_ = value;
        show_percent_done(handle_, value);
    }
    bool cancelled() const { return cancel_button_pressed(handle_) != 0; }

  private:
    int handle_;
    int shown_ = 0;
};

} // namespace effra
