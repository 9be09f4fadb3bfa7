#pragma once
// Recording into a document: the "NewRecord" dialog's model with its record file, the
// ring of input buffers, threshold start, auto-stop, the metronome, punch-in and the
// hand-over to the document as one undoable step. Qt-free: the dialog window binds to
// it, and tests drive it with the virtual input and a pinned clock.
#include "common/wave_format.h"
#include "platform/events.h"
#include "platform/ui.h"
#include "platform/wave_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CChildFrame;

namespace documents {
// The open documents in the order they were opened; null past the end.
CChildFrame* at(int index);
} // namespace documents

inline constexpr int kRecordBuffers = 6;

// What the dialog keeps for the life of the process.
struct RecordSettings
{
    int auto_stop = 0;          // check 392
    int auto_stop_seconds = 10; // 0 .. 100
    int auto_rewind = 0;        // check 1877
    double threshold = 0.25;    // 0 .. 1
    int continuous = 1;         // SAMPLE: no duration
    int metronome = 0;          // check 1878
    int bpm = 60;               // 3 .. 120
    int meter_avg = 0;          // 0 Normal, 1 Avg
};
RecordSettings& record_settings();

// Buffer sizes in bytes, whole frames always.
unsigned long record_buffer_size(const WaveFormat& f);
unsigned long test_buffer_size(const WaveFormat& f, bool avg_response);

// The positive peak of whole frames over both channels, as a fraction of full scale
// (8-bit: value - 128; 16-bit: the sample / 256 toward zero; then / 128).
double buffer_peak(const char* data, unsigned long length, const WaveFormat& f);

// Per-channel peaks of bytes [from, to) of a buffer, on the meters' 0 .. 128 scale; mono
// shows left on both sides.
void window_levels(const char* data, unsigned long from, unsigned long to, const WaveFormat& f,
                   int* left, int* right);

// The metronome's click: a short decaying tone burst, 22050 Hz mono 16-bit.
const std::string& metronome_click();
kel::wave_device::Format metronome_click_format();

// What the dialog shows besides its own fields; every call on the UI thread.
class RecordView
{
  public:
    virtual ~RecordView() = default;
    // Vumark 12001 and both gauges (reset = 1 clears the peak hold).
    virtual void levels(int left, int right) {}
    virtual void reset_gauge(int gauge_id) {}
    // Something the window shows changed: readouts, enables, status, checks.
    virtual void changed() {}
    // The big time window (play/record time) shown or hidden, and its text.
    virtual void show_time_window(bool show) {}
    virtual void big_time(const std::string& text) {}
    virtual void main_window_to_front() {}
};

class NewRecordDialog;

// Outside the dialog: the synchronisation features fill these; the options that start
// other windows or programs too. Unset ones do nothing.
struct RecordHooks
{
    // Sync (352): the synchronisation set-up; a trigger that fires clicks Record (1813) or
    // Play (1815) in the dialog, and a held note's Note Off its Stop (1814).
    std::function<void(NewRecordDialog& dialog)> sync;
    // A synchronised partner: true when one is configured; notify(1855 start, 1856 stop).
    std::function<bool()> has_partner;
    std::function<void(int command)> notify_partner;
    // Start delay in ms before the device starts when a partner is configured.
    std::function<int()> start_delay_ms;
    // Closes a MIDI input that is open: when recording starts (keep_note_watch: the held
    // note that started it stays watched, its Note Off ends the take) and when the dialog
    // closes (everything).
    std::function<void(bool keep_note_watch)> close_midi_input;
    // "&New": a new document to record into (null when none was made).
    std::function<CChildFrame*()> new_document;
    std::function<void()> show_midi, show_cd, four_track, adat, mixer;
    std::function<void(CChildFrame&)> bring_to_top;
};
RecordHooks& record_hooks();

class NewRecordDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Record Waveform";
    enum Control {
        kOverwrite = 421,
        kInsert = 422,
        kAutoStop = 392,
        kAutoRewind = 1877,
        kMetronome = 1878,
        kBpmValue = 232,
        kBpmSpin = 231,
        kTest = 423,
        kReview = 428,
        kRecord = 1813,
        kStop = 1814,
        kPlay = 1815,
        kPause = 1816,
        kCue = 427,
        kScroll = 429,
        kNew = 373,
        kWindow = 408,
        kShowMidi = 456,
        kShowCd = 455,
        kSync = 352,
        kSample = 448,
        kFourTrack = 1004,
        kAdat = 1003,
        kMixer = 286,
        kVolumeIndicator = 12001,
        kLeftGauge = 12102,
        kRightGauge = 12103,
        kResetLeft = 110,
        kResetRight = 111,
        kNormal = 333,
        kAvg = 339,
        kPlaybackLevel = 233,
        kTime = 419,
        kLength = 418,
        kDiskSpace = 404,
        kPositionBar = 1856,
        kStatus = 272,
        kHelp = 1405,
    };
    // Dialog timers (on this model's target), besides the three ticks.
    static constexpr uint32_t kPlayTimer = 2;
    static constexpr uint32_t kStopTimer = 4;
    static constexpr uint32_t kDelayTimer = 8;
    static constexpr uint32_t kFrontTimer = 10;
    static constexpr uint32_t kRecordTickMs = 100;
    static constexpr uint32_t kPlayTimeTickMs = 500;

    explicit NewRecordDialog(CChildFrame* target);
    ~NewRecordDialog() override;
    const char* template_name() const override { return "NewRecord"; }
    void on_open() override;

    // A button, check or radio of the dialog (OK is kel::kIdOk, Exit kel::kIdCancel).
    void click(int control);
    // The BPM spin (clamped to 3 .. 120).
    void set_bpm(int bpm);
    // The playback-level slider's position, 0 .. 255 (volume = 255 - position).
    void set_playback_slider(int position);
    int playback_slider() const { return playback_slider_; }
    // The scroll bar: a position in blocks of the record file (1 .. length in blocks).
    void scroll_to(int block);
    int scroll_position() const;
    int scroll_range() const;
    // Record To: the pop-up's items, "Record To..." (id 99) then the open documents
    // (ids 100 + n, the current target checked).
    struct MenuItem
    {
        int id;
        std::string text;
        bool checked;
    };
    std::vector<MenuItem> record_to_menu() const;
    void choose_record_to(int id);

    // Null shows nothing.
    void set_view(RecordView* view) { view_ = view ? view : &silent_; }
    kel::events::Target target() { return this; }

    // ---- What the window shows ----
    bool recording() const { return recording_; }
    bool testing() const { return testing_; }
    bool started() const { return started_; }
    bool playing() const;
    bool paused() const;
    bool recording_exists() const { return recording_exists_; }
    bool insert_mode() const { return insert_; }
    // Enabled state of a control now.
    bool enabled(int control) const;
    std::string time_text() const;
    std::string length_text() const;
    std::string disk_space_text() const;
    // 0 .. 1: how far the position bar is filled.
    double position_fraction() const;
    const std::string& status_text() const { return status_; }
    bool status_blue() const { return status_blue_; }
    std::string bpm_text() const;
    CChildFrame* record_target() const { return doc_; }

    // ---- For tests and the readouts ----
    const char* record_file() const { return record_file_; }
    uint64_t punch_in() const { return punch_in_; }
    uint64_t recorded_bytes() const { return take_bytes_; }
    uint64_t record_file_bytes() const;
    unsigned long buffer_size() const { return buffer_size_; }
    uint32_t overruns() const { return overruns_; }
    int metronome_clicks() const { return clicks_; }
    // OK: the recording becomes the document's state (one undoable step); Exit: it is
    // deleted. Both stop what runs first.
    void ok();
    void exit();
    bool handed_over() const { return handed_over_; }

  private:
    void on_message(const kel::events::Message& m);
    bool prepare_fresh();
    bool prepare_from_document();
    void delete_record_file();
    void start(bool test);
    void stop();
    void mark_stop();
    void close_input();
    void on_input_open();
    void on_input_data(kel::wave_device::Header* h);
    void on_input_close();
    void write_block(const char* data, uint32_t n);
    void record_tick();
    void play_time_tick();
    void metronome_beat();
    bool open_click_device();
    void close_click_device();
    void start_playback(uint64_t from);
    void playback_tick();
    void playback_ended();
    void stop_all();
    void free_ring();
    void show_levels(const char* data, unsigned long from, unsigned long to);
    void set_status(const std::string& text, bool blue);
    void notify() const;
    int time_format() const;
    std::string format_seconds(double seconds) const;
    kel::wave_device::Format device_format() const;

    CChildFrame* doc_ = nullptr;
    WaveFormat format_;
    RecordView* view_ = nullptr;
    RecordView silent_;
    uint64_t subscription_ = 0;

    char record_file_[260] = {};
    char tail_file_[260] = {};
    int fd_ = -1;
    uint64_t punch_in_ = 0;
    uint64_t write_at_ = 0;
    uint64_t take_bytes_ = 0;
    uint64_t take_start_ = 0; // where the last take began (Review)
    bool insert_ = false;

    kel::wave_device::Handle device_ = 0;
    std::unique_ptr<char[]> blocks_[kRecordBuffers];
    kel::wave_device::Header headers_[kRecordBuffers];
    unsigned long buffer_size_ = 0;
    int current_ = 0;
    bool recording_ = false;
    bool testing_ = false;
    bool started_ = false;
    bool threshold_wait_ = false;
    bool sample_duration_ = false;
    bool stop_requested_ = false; // first Stop: the ring stays out, what comes is kept
    bool stop_marked_ = false;    // auto-stop or a failed write: nothing more is written
    bool handed_over_ = false;
    bool resetting_ = false; // second Stop: buffers coming home
    bool write_failed_ = false;
    bool recording_exists_ = false;
    uint32_t overruns_ = 0;
    std::vector<char> last_block_;
    int quarter_ = 0;
    int level_left_ = 0;
    int level_right_ = 0;

    kel::wave_device::Handle click_device_ = 0;
    kel::wave_device::Header click_header_;
    bool click_busy_ = false; // written, its DONE not yet seen
    int clicks_ = 0;

    uint64_t play_from_ = 0;
    int play_ticks_ = 0;
    uint64_t play_position_ = 0;

    uint64_t free_bytes_ = 0;
    int playback_slider_ = 0;
    std::string status_;
    bool status_blue_ = false;
};

// Command 11400: the dialog for the document; 1 when a recording became its new state.
int record_command(CChildFrame& doc);

// The SAMPLE dialog ("Acquire a Sample"): threshold and duration sliders (position
// 100 - value), Continuous disabling the duration.
class SampleDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Acquire a Sample";
    enum Control {
        kThresholdSlider = 233,
        kDurationSlider = 244,
        kContinuous = 1029,
        kHelp = 448,
    };
    const char* template_name() const override { return "SAMPLE"; }
    void on_open() override;
    void set_slider(int slider, int position);
    int slider(int slider) const;
    void click(int control);
    int threshold_percent = 25;
    int duration_seconds = 10;
    int continuous = 1;
};

// The AUTOSTOP dialog ("Set Recording Duration"): one slider, position 100 - seconds.
class AutoStopDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Set Recording Duration";
    enum Control {
        kSlider = 233,
        kValue = 232,
        kHelp = 1405,
    };
    const char* template_name() const override { return "AUTOSTOP"; }
    void on_open() override;
    void set_slider(int position);
    int slider() const { return 100 - seconds; }
    std::string value_text() const;
    void click(int control);
    int seconds = 10;
};
