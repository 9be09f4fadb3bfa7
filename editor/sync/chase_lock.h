#pragma once
// "CHASELOCK" ("Chase-lock to SMPTE"): playback of the document follows incoming MIDI
// Time Code. It starts from the cue point (the loop dialog's lead-in) when the time code
// reaches it, stops when the time code stops, and starts again in step when it comes
// back.
//
// Where the tape is: a group of eight quarter frames takes two frames to arrive, so when
// it is complete the tape is two frames past the time it carries. The chase lock works
// with that position, the time read plus two frames: the cue point is reached when it
// is, and a re-chase plays from the place in the file that it stands for (n, the
// re-chase value, is that position counted in frames at smpte_fps; the offset is n
// frames of sound, exactly as for the cue point). Both starts are then late by at most
// the quarter frame that the last piece takes.
//
// Stopped: more than 20 ticks (100 ms each) without a new time. Resumed: the first whole
// group after that, when its position is at or past the cue point.
#include "editor/sync/midi_port.h"
#include "editor/sync/mtc.h"
#include "editor/sync/smpte.h"
#include "platform/events.h"
#include "platform/ui.h"

#include <functional>
#include <string>

class CChildFrame;

namespace synchro {

class ChaseLockDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Chase-lock to SMPTE";
    enum Control {
        kStatus = 273,
        kCue = 274,
        kPrompt = 275,
        kPosition = 419,
        kStart = 1893,
        kBack = 427,
        kForward = 428,
        kHelp = 1405,
    };
    enum class State { Waiting, Ready, Playing, Stopped };
    static constexpr uint32_t kTickMs = 100;
    static constexpr int kStallTicks = 20;

    explicit ChaseLockDialog(CChildFrame& doc);
    ~ChaseLockDialog() override;
    const char* template_name() const override { return "CHASELOCK"; }
    void on_open() override;
    void click(int control);

    State state() const { return state_; }
    const std::string& status() const { return status_; }
    const std::string& prompt() const { return prompt_; }
    std::string cue_text() const { return smpte_text(cue_); }
    const std::string& position_text() const { return position_; }
    std::string start_text() const { return state_ == State::Waiting ? "&Start" : "&Cancel"; }
    bool adjust_enabled() const { return state_ == State::Playing; }
    // The sample word the last (re)start played from; -1 before any.
    long last_start() const { return last_start_; }
    std::function<void()> changed;

  private:
    void on_message(const kel::events::Message& m);
    void start_listening();
    void quarter_frame(uint8_t data);
    void tick();
    void play_from(const SmpteTime& t, const char* status);
    void adjust(int direction);
    void finish();

    CChildFrame& doc_;
    SmpteTime cue_;
    State state_ = State::Waiting;
    uint64_t subscription_ = 0;
    MidiListener input_;
    MtcAssembler mtc_;
    bool have_time_ = false;
    uint32_t last_packed_ = 0;
    bool new_time_ = false;
    int unchanged_ticks_ = 0;
    long last_start_ = -1;
    std::string status_, prompt_, position_;
};

// Command 1025: the dialog for the document; 1 when it ran.
int chase_lock_command(CChildFrame& doc);

} // namespace synchro
