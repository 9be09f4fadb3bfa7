#pragma once
// The one playback of the process: a ring of buffers streamed from a working file (or
// the pseudo clipboard) to the wave-out device, with the 30 ms tracking tick. What the
// tick and the end of playback show goes to a PlaybackObserver that the GUI installs.
#include "editor/commands/command_ids.h"
#include "platform/riff.h"
#include "platform/ui.h"
#include "platform/wave_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CChildFrame;
class PlaybackObserver;

inline constexpr uint32_t kTrackingTimer = 2;
inline constexpr uint32_t kTrackingPeriodMs = 30;
inline constexpr int kMaxBuffers = 4;
inline constexpr int kSpectrumTable = 64;

struct PlaybackState
{
    kel::wave_device::Handle device = 0;
    std::unique_ptr<kel::riff::File> source;
    int buffer_count = 4;
    unsigned long buffer_size = 0;
    // The blocks stay allocated between playbacks and only grow.
    std::unique_ptr<char[]> buffers[kMaxBuffers];
    unsigned long capacity[kMaxBuffers] = {};
    kel::wave_device::Header headers[kMaxBuffers];
    bool filled[kMaxBuffers] = {};
    int next_slot = 0;
    int queued = 0;
    unsigned long bytes_total = 0;
    unsigned long bytes_read = 0;
    unsigned long start_offset = 0;
    int is_playing = 0;
    int is_paused = 0;
    int stop_requested = 0;
    int loop_on = 0;
    int loop_counted = 0;
    int loop_limit = 0;
    int loop_pass = 0;
    int short_play = 0;
    int play_volume = 255;
    float position = 0.0f; // last device position, ms
    // The device counts in 32 bits; these follow it past each wrap.
    struct Counter
    {
        uint64_t total = 0;
        uint32_t last = 0;
        void advance(uint32_t now)
        {
            total += static_cast<uint32_t>(now - last);
            last = now;
        }
        void reset() { *this = Counter{}; }
    };
    Counter device_bytes;
    Counter device_frames;
    float time_offset = 0.0f;
    int clipboard_mode = 0;

    // Book-keeping of this program.
    CChildFrame* doc = nullptr; // the document that plays
    void* target = nullptr;     // where the device and the timer report
    uint64_t subscription = 0;
    int saved_zoom_level = 0;
    long saved_first_visible = 0;
    uint32_t start_time = 0; // ms; paused time is added on resume
    uint32_t pause_started = 0;
    int tick_count = 0;
    int caret_moved = 0;
    int time_format = 1;
    bool time_window_created = false;
    bool time_window_shown = false;
    short spectrum[kSpectrumTable] = {};
    // Started from the record dialog: its own end of playback runs instead of ours.
    int from_record_dialog = 0;
    std::function<void()> record_dialog_end;
    // What playback shows goes here (not owned; null shows nothing).
    PlaybackObserver* observer = nullptr;
};

PlaybackState& playback_state();
// Opens the preferred output device for pb.target and listens to it; a failure beeps.
bool open_playback_device(PlaybackState& pb, const kel::wave_device::Format& format);
// A short play of pb.source (the clipboard, the record file): buffers of pb.buffer_size,
// the ring reset and its first buffers read from `from`, `bytes` in all. False, with the
// source closed, when nothing could be read or the buffers could not be had.
bool prime_short_play(PlaybackState& pb, uint64_t from, uint64_t bytes);

// The "Loop playback" flag of the Transport menu (item 11404 is checked while it is set).
extern int loop_playback_flag;

// The SMPTE lead-in set in the loop dialog, for the synchronisation features.
struct SmpteLeadIn
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    double total_seconds = 0.0;
};
extern SmpteLeadIn smpte_lead_in;
extern int trigger_on_mtc;
// Waits for the MTC start when the loop dialog asks for it; its result becomes the Loop
// playback flag (0 closes the dialog as Cancel). Filled in by the synchronisation code;
// without it the trigger cannot fire and the dialog ends as Cancel.
extern std::function<int()> mtc_trigger_hook;

// The big time window's text (control 419 of PLAYRECORDTIME).
struct BigTimeText
{
    std::string text;
    std::string face = "Arial";
    int height = 220;
    int weight = 700;
    unsigned colour = 0x0000FF00; // RGB(0,255,0)
};

// What playback shows; every call comes on the UI thread. The defaults do nothing.
class PlaybackObserver
{
  public:
    virtual ~PlaybackObserver() = default;
    // The 2-pixel bar in the top 14 pixels at this fraction of the client width.
    virtual void play_bar(CChildFrame&, long sample, double fraction) {}
    // The caret follows the sound (never past the end of the highlighted section).
    virtual void caret_to(CChildFrame&, long sample) {}
    // Video documents scroll with the sound, caret at x = 60.
    virtual void video_scroll(CChildFrame&, long sample) {}
    // Record-level indicator and both decibel gauges.
    virtual void levels(int left, int right) {}
    // The main window's time readout.
    virtual void time_readout(const std::string& text) {}
    virtual void show_time_window(bool show) {}
    virtual void big_time(const BigTimeText&) {}
    // Command 170 to the spectrum indicator with the 64-entry table.
    virtual void spectrum(const short* table, int count) {}
    // The view's play marker (back to play_from at a loop and at the end).
    virtual void play_marker(CChildFrame&, long sample) {}
    virtual void caret_restored(CChildFrame&, long sample) {}
    virtual void redraw_markers_and_rulers(CChildFrame&) {}
    virtual void focus(CChildFrame&) {}
    // Video documents: first_visible and the scroll box were set.
    virtual void scroll_to(CChildFrame&, long first_visible) {}
    virtual void tool_button_state(int command, int state) {}
    virtual void menu_check(int command, bool checked) {}
    // Command availability changed (see playback_commands.h).
    virtual void commands_changed() {}
};

// The master output level 0 .. 255 (the main frame's fader, the record dialog's
// playback slider): kept for the next start and applied to both channels now.
void set_play_volume(int volume);
// The level the output reports back, 0 .. 255.
int reported_play_volume();

// Not owned; null restores the silent default.
void set_playback_observer(PlaybackObserver* observer);
PlaybackObserver& playback_observer();

// Seconds as the time readout shows them in a time format (1 seconds, 24/25/30 SMPTE).
std::string play_time_text(double seconds, int time_format);

// Levels of a buffer: per channel the largest signed sample (16-bit peaks / 256), mono
// copies left to right; the first 64 left samples go to the spectrum table.
void buffer_levels(const char* data, unsigned long length, int channels, int bits, int* left,
                   int* right, short* spectrum);

// The loop set-up dialog.
class SetupPlaybackLoopDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Setup Playback Loop Control";
    enum Control {
        kContinuous = 1039,
        kLoopCount = 1040,
        kLoopEdit = 390,
        kLoopSpin = 231,
        kTriggerCheck = 1894,
        kHourSpin = 1883,
        kMinuteSpin = 1884,
        kSecondSpin = 1885,
        kFrameSpin = 1886,
        kHourEdit = 1888,
        kHelp = 1405,
    };
    const char* template_name() const override { return "SETUPPLAYBACKLOOP"; }
    void on_open() override;
    // The 150 ms timer: the edits show the spins' values with "%d".
    void on_timer();
    std::string edit_text(int edit_id) const;
    void click(int control_id);
    // Spins clamp to their ranges: loop 0..100, hours 0..23, minutes and seconds 0..59,
    // frames 0..23.
    void set_spin(int spin_id, int value);
    int spin(int spin_id) const;
    void ok();
    void cancel();

    int loop_counted = 0;
    int trigger = 0;
    std::string edits[5]; // 390, then 1888 .. 1891

  private:
    int loop_limit_ = 0;
    int hms_f_[4] = {};
};
