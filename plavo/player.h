#pragma once
// The player's application: its state, its buttons, timers and playlist walking. The dialog
// (plavo/ui) only forwards clicks here and shows what the view calls tell it.
#include "platform/events.h"
#include "plavo/meter.h"
#include "plavo/playback.h"

#include <cstdint>
#include <string>

namespace plavo {

enum Control : int {
    kFileButton = 3,
    kPlayButton = 4,
    kPauseButton = 5,
    kStopButton = 6,
    kConvertButton = 7,
    kExitButton = 8,
    kHelpButton = 9,
    kPrevButton = 10,
    kNextButton = 11,
    kFileNameText = 103,
    kDigitDisplay = 1003,
    kProgressBar = 1004,
    kLevelMeter = 1005,
    kVolumeBar = 1006,
    kLoopCheck = 1007,
};

// The dialog's request message: lparam names a path to play as a one-entry playlist.
inline constexpr uint32_t kWmUser = 0x0400;
inline constexpr uint32_t kPlayRequest = kWmUser + 5;
inline constexpr size_t kMaxPath = 260;

enum TimerId : uint32_t {
    kClockTimer = 1, // 1000 ms: the digit display
    kMeterTimer = 2, // 50 ms: the level meter
    kResetTimer = 3, // 100 ms once: back to the first playlist entry
    kStartTimer = 4, // 100 ms once: the command line's file
};

class PlayerView
{
  public:
    virtual ~PlayerView() = default;
    virtual void enable(int control, bool on) = 0;
    // The file name static (103) and the Exit/Cancel button (8).
    virtual void set_text(int control, const std::string& text) = 0;
    virtual void set_check(int control, bool on) = 0;
    virtual void set_progress(int percent) = 0;
    virtual void set_seconds(double seconds) = 0;
    // lit = false clears the meter to unlit segments.
    virtual void set_levels(bool lit, Levels levels) = 0;
    // True once the Cancel button has been pressed during a conversion.
    virtual bool cancel_pressed() { return false; }
    // Lets the window paint and take clicks during a conversion.
    virtual void pump() {}
};

// Where the dialog goes: centred, x nudged by 4 with bits 1 and 2 cleared.
void dialog_position(int screen_w, int screen_h, int w, int h, int& x, int& y);

class Player
{
  public:
    explicit Player(PlayerView& view);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // The dialog's initialisation; `command_line_file` plays 100 ms later when not empty.
    void init(const std::string& command_line_file);

    void on_file();
    void on_play();
    void on_pause();
    void on_stop();
    void on_next();
    void on_prev();
    void on_loop();
    void on_convert();
    void on_help();
    void on_volume(int position);
    // The WM_USER+5 request. False for a path that is empty or too long.
    bool request_play(const std::string& path);

    // The window the device and timers talk to.
    void* window() { return this; }
    const std::string& current_file() const { return current_file_; }
    bool file_chosen() const { return file_chosen_; }
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }
    bool converting() const { return converting_; }
    bool loop() const { return loop_; }
    bool playlist_mode() const { return playlist_mode_; }
    int playlist_index() const { return playlist_index_; }
    int playlist_count() const { return playlist_count_; }
    int volume() const { return volume_; }
    double elapsed_seconds() const { return elapsed_; }
    int meter_counter() const { return meter_counter_; }
    Playback& playback() { return playback_; }

  private:
    void on_message(const kel::events::Message& m);
    void on_timer(uint32_t id);
    void end_of_file();
    void stop_step();
    void show_file(const std::string& path);
    void set_ready_buttons();
    void set_playing_buttons();

    PlayerView& view_;
    Playback playback_;
    uint64_t token_ = 0;
    std::string current_file_;
    std::string command_line_file_;
    bool file_chosen_ = false;
    bool playing_ = false;
    bool paused_ = false;
    bool converting_ = false;
    bool playlist_mode_ = false;
    int playlist_count_ = 0;
    int playlist_index_ = 0;
    bool loop_ = false;
    bool remembered_loop_ = false;
    bool skip_ = false;
    double elapsed_ = 0.0;
    int volume_ = 128;
    int meter_counter_ = 0;
    kel::wave_device::Handle device_ = 0; // the device last opened, whose CLOSE ends a file
};

} // namespace plavo
