#pragma once
// Starting recording or playback on an outside event: a timed delay, MIDI Time Code at a
// lead-in time, a drum machine's song position and clock (LINN 9000), or a MIDI note.
// Each trigger is a modal dialog that ends with OK when it fired and Cancel otherwise;
// it closes its MIDI input before it ends, except "While note on", whose input stays
// open while the take runs so that the note's Note Off can stop it.
#include "editor/sync/midi_port.h"
#include "editor/sync/mtc.h"
#include "editor/sync/smpte.h"
#include "platform/events.h"
#include "platform/ui.h"

#include <cstdint>
#include <functional>
#include <string>

class NewRecordDialog;

namespace synchro {

enum class TriggerSource { None, External, Mtc, Linn, Delay, Sequencer, MidiKeyboard };
enum class NoteEvent { NoteOn = 0, WhileNoteOn = 1, NoteOff = 2 };

// What the trigger dialog keeps for the life of the process.
struct TriggerSettings
{
    TriggerSource source = TriggerSource::None;
    bool recording = true; // else playback
    SmpteTime lead_in;     // hours 0 .. 23, minutes and seconds 0 .. 59, frames 0 .. 23
    int sub_frames = 0;    // 0 .. 50
    int delay_seconds = 1; // 1 .. 100
    NoteEvent event = NoteEvent::NoteOn;
    int channel = 1; // 1 .. 16
    int note = 60;   // 0 .. 127
};
TriggerSettings& trigger_settings();

// "C", "C#", ... then the octave: name[n mod 12] and n / 12 ("%s%1d").
std::string note_name(int note);

// A line drawn in the dialog's middle: face "Arial", height, colour RGB, weight.
struct DrawnLine
{
    std::string text;
    int height = 100;
    unsigned colour = 0; // 0x00BBGGRR as the classic RGB() packs it
    int weight = 400;
};
inline constexpr unsigned kRed = 0x000000FF;
inline constexpr unsigned kGreen = 0x0000FF00;
inline constexpr unsigned kBlue = 0x00FF0000;

// The timer's limits in milliseconds; false when they cannot be had.
struct TimerCaps
{
    unsigned min_period = 1;
    unsigned max_period = 1000000;
};
std::function<bool(TimerCaps*)>& timer_caps_query();

// RECORDPLAYDELAY: the delay, MTC and LINN 9000 triggers.
class RecordPlayDelayDialog : public kel::DialogModel
{
  public:
    enum class Mode { Delay, Mtc, Linn };
    enum Control {
        kStart = 1893,
        kElapsed = 420, // "Elapsed Time"
        kTime = 419,    // the time code read
        kPrompt = 273,  // the drawn line
        kPrompt2 = 274, // the second line of MTC
        kHelp = 1405,
    };
    static constexpr uint32_t kShowTimer = 1; // 150 ms: the lines appear
    static constexpr uint32_t kTickMs = 100;

    RecordPlayDelayDialog(Mode mode, const TriggerSettings& settings);
    ~RecordPlayDelayDialog() override;
    const char* template_name() const override { return "RECORDPLAYDELAY"; }
    void on_open() override;
    void click(int control);
    kel::events::Target target() { return this; }

    std::string title() const;
    Mode mode() const { return mode_; }
    // Empty until the 150 ms timer has fired.
    const DrawnLine& line() const { return line_; }
    const DrawnLine& line2() const { return line2_; }
    const std::string& elapsed_text() const { return elapsed_; }
    // "%02d:%02d:%02d:%02d" in Arial 140, green, weight 700.
    const std::string& time_text() const { return time_; }
    bool listening() const { return started_; }
    bool start_enabled() const { return !started_; }
    // Something shown changed (the window refreshes).
    std::function<void()> changed;

  private:
    void on_message(const kel::events::Message& m);
    void start();
    void tick();
    void midi(intptr_t packed);
    void finish(int code);
    void show_time(const SmpteTime& t);

    Mode mode_;
    TriggerSettings settings_;
    uint64_t subscription_ = 0;
    MidiListener input_;
    MtcAssembler mtc_;
    LinnClock linn_;
    bool started_ = false;
    uint32_t started_at_ = 0;
    DrawnLine line_, line2_;
    std::string elapsed_;
    std::string time_;
};

// SEQUENCERINPUT: a MIDI note starts (and with "While note on" stops) the take.
class SequencerInputDialog : public kel::DialogModel
{
  public:
    enum Control { kLine = 273, kHelp = 1405 };
    static constexpr uint32_t kShowTimer = 1;

    explicit SequencerInputDialog(const TriggerSettings& settings);
    ~SequencerInputDialog() override;
    const char* template_name() const override { return "SEQUENCERINPUT"; }
    void on_open() override;
    void click(int control);
    std::string title() const;
    const DrawnLine& line() const { return line_; }
    std::function<void()> changed;

  private:
    void on_message(const kel::events::Message& m);
    void finish(int code);

    TriggerSettings settings_;
    uint64_t subscription_ = 0;
    uint64_t timer_subscription_ = 0;
    DrawnLine line_;
};

// The held note of "While note on": its input stays open after the trigger fired and its
// Note Off stops the take (Stop, 1814, to the record dialog; playback stops without one).
namespace note_watch {
// True while a held note is watched.
bool active();
// Closes the watched input (the take ended some other way).
void close();
} // namespace note_watch

// What a fired trigger starts: the record dialog's Record (1813) or Play (1815), or for
// a playback outside the record dialog nothing further (the caller starts it).
// Runs the trigger dialog for the settings; 1 when it fired, 0 on Cancel or failure
// (with the failure's message). With `record_dialog` the fired trigger clicks Record or
// Play in it, and a "While note on" Note Off clicks its Stop.
int run_trigger(const TriggerSettings& settings, NewRecordDialog* record_dialog);

// For a playback started from elsewhere (the time-mark dialog): runs the trigger of
// `settings` for playback; 1 when it fired, 0 when cancelled. "While note on" leaves the
// note watched: its Note Off stops the playback that runs then.
int run_playback_trigger(const TriggerSettings& settings);

// Closes every MIDI input the triggers hold; with keep_note_watch a held "While note on"
// input stays (recording starts now because of it).
void close_trigger_inputs(bool keep_note_watch);

// Fills the record dialog's hooks (Sync, closing MIDI input) and the loop dialog's MTC
// trigger.
void install_sync_hooks();

} // namespace synchro
