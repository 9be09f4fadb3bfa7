#pragma once
// The time-mark dialog (template 132): one marker and the end of its interval. The
// end is a new marker or one that exists; OK renames the two (an empty name leaves a
// name as it is) and makes them a pair. The buttons act on the interval at once, and
// Play may wait for a playback trigger first.
#include "editor/devices/timemark_trigger.h"
#include "platform/ui.h"

#include <string>
#include <vector>

class CChildFrame;

class TimemarkDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitlePrefix = "      Time Markers / Intervals for ";
    static constexpr int kMaxNameLength = 49;
    enum Control {
        kStartName = 390,
        kEndName = 391,
        kStartScroll = 1815,
        kStopScroll = 1817,
        kMakeNew = 1011,
        kUseExisting = 1013,
        kMarkerCombo = 401,
        kDelete = 370,
        kHighlight = 1035,
        kPlay = 11401,
        kPlayLoop = 11404,
        kNoTrigger = 1900,
        kSmpte = 1894,
        kHourEdit = 1888, // minutes, seconds and frames follow
        kMtc = 1851,
        kSequencer = 1854,
        kMidiPlayer = 456,
        kEventCombo = 1852,
        kChannelEdit = 411,
        kChannelSpin = 201,
        kNoteText = 208,
        kNoteSpin = 448,
    };
    enum class EndMode { NewMarker, Existing };

    // Opens on marker `start` (held within the table; -1 with no markers).
    TimemarkDialog(CChildFrame& doc, int start);
    const char* template_name() const override { return "132"; }
    std::string title() const;
    CChildFrame& document() const { return doc_; }

    // ---- MARKER / INTERVAL ----
    int start() const { return start_; }
    // Scroll bar 1815 steps through the markers; the view moves to the one chosen.
    void set_start(int index);
    std::string start_time_text() const;

    EndMode end_mode() const { return mode_; }
    // The entries of combo 401: every marker but the start, as the cue list writes them.
    const std::vector<int>& combo_markers() const { return combo_; }
    std::vector<std::string> combo_texts() const;
    int combo_selection() const { return combo_selection_; }
    // -1 clears the choice. Choosing an entry moves the view to its marker.
    void select_combo(int entry);

    // Scroll bar 1817, "Stop time": with an existing end it steps through the combo's
    // entries; for a new marker it is the frame the marker goes to. Either way the
    // view moves there.
    int stop_scroll_maximum() const;
    int stop_scroll_value() const;
    void set_stop_scroll(int value);
    // The position the interval ends at: the chosen marker's, or the new marker's;
    // -1 with no existing marker chosen.
    long stop_position() const;
    std::string stop_time_text() const;
    // A time typed for the new marker, "hours:minutes:seconds:frames" at the time
    // format's frame rate. A malformed time or one past the end is refused with a
    // message and changes nothing; false then.
    bool type_stop_time(const std::string& text);

    // Edits 390 and 391.
    std::string start_name;
    std::string end_name;
    void set_start_name(const std::string& text) { start_name = text.substr(0, kMaxNameLength); }
    void set_end_name(const std::string& text) { end_name = text.substr(0, kMaxNameLength); }

    // ---- TRIGGER PLAYBACK ----
    TimemarkTrigger::Kind trigger_kind() const { return trigger_.kind; }
    // Edits 1888 .. 1891 as typed.
    std::string smpte_fields[4] = {"0", "0", "0", "0"};
    int event() const { return trigger_.event; }
    void set_event(int event);
    int channel() const { return trigger_.channel; }
    void set_channel(int channel); // held within 1 .. 16
    int note() const { return trigger_.note; }
    void set_note(int note); // held within 0 .. 127
    // The note as a name and octave: "C5" for 60.
    static std::string note_name(int note);
    // The trigger Play would wait for; false (with the message shown) when the SMPTE
    // time is not a valid one.
    bool trigger(TimemarkTrigger& out) const;
    // Whether the keyboard program that "Midi player" started is still running.
    bool keyboard_running() const;
    long keyboard_process() const { return keyboard_process_; }

    // Buttons and radio buttons by control id; OK and Cancel too.
    void click(int control_id);
    // OK: false (the dialog stays open) when it was refused.
    bool ok();
    void cancel() { end_dialog(kel::kIdCancel); }

  private:
    void refill();
    void move_view_to(long position);
    bool interval(long& from, long& to) const;
    void highlight();
    int play(bool loop);
    void delete_interval();
    void choose_trigger(TimemarkTrigger::Kind kind);
    void show_keyboard(bool show);
    bool make_pair(int start, int end);

    CChildFrame& doc_;
    int start_ = -1;
    EndMode mode_ = EndMode::NewMarker;
    std::vector<int> combo_;
    int combo_selection_ = -1;
    long new_end_ = 0; // sample words, on a frame boundary
    TimemarkTrigger trigger_;
    long keyboard_process_ = 0;
};

// Runs the dialog on marker `start` of the document; the button it ended with.
int show_timemark_dialog(CChildFrame& doc, int start);
