#pragma once
// The Qt face of kel::Ui for the player: message boxes, file dialogs and its own dialogs
// (the Open dialog with its playlist part, "Select Playlist", "Save").
#include "platform/ui.h"

class QWidget;

namespace plavo::ui {

class QtUi : public kel::Ui
{
  public:
    // Boxes and dialogs open over `owner` (may be null).
    void set_owner(QWidget* owner) { owner_ = owner; }

    int message_box(const std::string& text, const std::string& caption, kel::Buttons buttons,
                    kel::Icon icon) override;
    void beep() override;
    kel::Cursor set_cursor(kel::Cursor cursor) override;
    long progress_open(const std::string&) override { return 1; }
    void progress_bar(long, int, const std::string&) override {}
    void progress_time_left(long, const std::string&) override {}
    bool progress_cancel_pressed(long) override { return false; }
    void progress_close(long) override {}
    int run_modal(kel::DialogModel& dialog) override;
    std::string file_dialog(const kel::FileDialogRequest& request) override;
    int screen_width() override;
    int screen_height() override;
    void play_sound(const std::string&, bool) override {}
    void set_main_title(const std::string&) override {}
    void open_help(const std::string& help_file, long context) override;
    bool window_geometry(void*, int&, int&, int&, int&) override { return false; }
    void move_window(void*, int, int) override {}

  private:
    QWidget* owner_ = nullptr;
    kel::Cursor cursor_ = kel::Cursor::Arrow;
};

} // namespace plavo::ui
