#pragma once
#include "platform/ui.h"

// "SILENCE": how much silence Insert Silence puts in, either the length of the
// highlighted section (ends with 11518) or a time in minutes and seconds (ends with
// 11500). Cancel ends with 2.
class InsertSilenceDialog : public kel::DialogModel
{
  public:
    explicit InsertSilenceDialog(int default_seconds) : default_seconds_(default_seconds) {}
    const char* template_name() const override { return "SILENCE"; }
    void on_open() override;

    // Edits of the two fields; text that is not a number counts as 0.
    void set_minutes(const char* text);
    void set_seconds(const char* text);
    int minutes() const { return minutes_; }
    int seconds() const { return seconds_; }
    // minutes x 60 + seconds
    long total_seconds() const;

    void use_selection() { end_dialog(11518); }
    void use_time() { end_dialog(11500); }
    void cancel() { end_dialog(2); }

  private:
    int default_seconds_;
    int minutes_ = 0;
    int seconds_ = 10;
};
