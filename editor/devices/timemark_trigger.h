#pragma once
// The playback trigger of the time-mark dialog: what the interval's Play waits for.
#include "editor/view/smpte_entry.h"

#include <functional>

struct TimemarkTrigger
{
    enum class Kind { None, Smpte, Mtc, Sequencer, MidiPlayer };
    enum Event { kNoteOn = 0, kWhileNoteOn = 1, kNoteOff = 2 };
    Kind kind = Kind::None;
    SmpteTime time;      // the lead-in of the SMPTE and MTC triggers
    int frame_rate = 30; // what `time` counts its frames in
    int event = kNoteOn;
    int channel = 1; // 1 .. 16
    int note = 60;   // 0 .. 127
};

// Waits for the trigger and returns 1 when it fired (playback may start), 0 when it was
// cancelled or could not listen. Filled in by the synchronisation code; while it is
// empty a trigger other than None cannot fire, and the dialog says so.
extern std::function<int(const TimemarkTrigger&)> timemark_trigger_hook;
