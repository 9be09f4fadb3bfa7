#pragma once
// The trigger's set-up, "SyncRecordPlayback" ("Trigger Recording or Playback"), and the
// frame rate's, "SETSMPTE" ("Set SMPTE Time").
#include "editor/sync/triggers.h"

#include <functional>
#include <string>

namespace synchro {

// What only the program's windows do for the synchronisation.
struct SyncHooks
{
    // "&Midi &keyboard": the sibling keyboard program to the front, or started.
    std::function<void()> midi_keyboard;
};
SyncHooks& sync_hooks();

class SyncRecordPlaybackDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Trigger Recording or Playback";
    enum Control {
        kExternal = 1849,
        kMtc = 1851,
        kLinn = 1853,
        kDelay = 1855,
        kSequencer = 1854,
        kMidiKeyboard = 456,
        kRecording = 445,
        kPlayback = 446,
        kHourSpin = 1883, // .. 1887 sub-frames
        kHourEdit = 1888, // .. 1892
        kDelayEdit = 390,
        kDelaySpin = 291,
        kDelaySlider = 289,
        kEventCombo = 1852,
        kChannelEdit = 411,
        kChannelSpin = 201,
        kNoteText = 208,
        kNoteSpin = 448,
        kHelp = 1405,
    };
    static constexpr const char* kEvents[3] = {"Note on", "While note on", "Note off"};

    const char* template_name() const override { return "SyncRecordPlayback"; }
    void on_open() override;
    void click(int control);
    // Spins and the slider clamp to their ranges.
    void set_spin(int spin_id, int value);
    int spin(int spin_id) const;
    void set_event(int index);
    // What the edits show ("%d"); the note as its name.
    std::string edit_text(int edit_id) const;
    // A value typed into an edit; read at OK.
    void type(int edit_id, const std::string& text);
    // OK: the typed values are checked (a bad one is refused with a message and the
    // dialog stays), then the settings are stored.
    void ok();

    TriggerSettings values;

  private:
    std::string typed_[5]; // 1888 .. 1892 as typed; empty: the spin's value
    std::string typed_delay_, typed_channel_;
};

class SetSmpteDialog : public kel::DialogModel
{
  public:
    static constexpr const char* kTitle = "Set SMPTE Time";
    enum Control {
        k24 = 439,
        k25 = 440,
        k30 = 441,
        k30Drop = 442,
        kHourSpin = 1883,
        kHourEdit = 1888,
        kHelp = 1405,
    };
    const char* template_name() const override { return "SETSMPTE"; }
    void on_open() override;
    void click(int control);
    void set_spin(int spin_id, int value);
    int spin(int spin_id) const;
    std::string edit_text(int edit_id) const;
    void type(int edit_id, const std::string& text);
    // Checks the typed time against the chosen rate, then sets smpte_fps and the start.
    void ok();

    int fps = 24;
    bool drop = false;
    SmpteTime start;

  private:
    std::string typed_[4];
};

// The Sync button of the record dialog: the set-up, then on OK its trigger; a fired one
// clicks Record or Play in the dialog.
void sync_record_playback(NewRecordDialog& record_dialog);

// The loop dialog's "&Trigger Playback on MTC": the MTC trigger for playback with the
// loop dialog's lead-in; 1 when it fired.
int loop_mtc_trigger();

} // namespace synchro
