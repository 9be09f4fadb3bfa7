#pragma once
// The two dialogs of start-up as models: the logo and the tip of the day.
#include "editor/app/tips.h"
#include "platform/ui.h"

#include <string>

namespace app {

// "LOGOBITMAP": closes after 5 seconds (timer 12) or at a click into it or on its frame.
class LogoDialog : public kel::DialogModel
{
  public:
    static constexpr int kTimerId = 12;
    static constexpr int kTimeoutMs = 5000;
    // "Display now" of the preferences keeps it up until the user clicks.
    explicit LogoDialog(bool close_by_timer = true) : close_by_timer_(close_by_timer) {}
    const char* template_name() const override { return "LOGOBITMAP"; }
    bool close_by_timer() const { return close_by_timer_; }
    void timer(int id)
    {
        if (id == kTimerId && close_by_timer_)
            end_dialog(1);
    }
    void clicked() { end_dialog(1); }

  private:
    bool close_by_timer_;
};

// "Tip of the Day": text 1004, check box 1001 "&Show Tips on StartUp", 1002 "&Next Tip",
// "&Close".
class TipOfTheDayDialog : public kel::DialogModel
{
  public:
    TipOfTheDayDialog();
    ~TipOfTheDayDialog() override;
    const char* template_name() const override { return "TIPOFTHEDAY"; }
    void on_open() override;
    const std::string& tip() const { return reader_.text(); }
    bool next_enabled() const { return reader_.is_open(); }
    bool show_on_startup = true;
    void next_tip() { reader_.next(); }
    void close_dialog();
    // The tips file: "KVRA32.TXT" beside the program.
    static std::string tips_path();

  private:
    TipReader reader_;
};

} // namespace app
