#pragma once
// The MIDI input the triggers and the chase lock listen to: the device chosen in the
// preferences, opened with a dialog as its target and started; every message arrives
// there as kMimData. Tests put their own calls in place of the device's.
#include "platform/midi_in.h"

#include <functional>

namespace synchro {

struct MidiCalls
{
    std::function<int(kel::midi_in::Handle*, int device, void* target)> open;
    std::function<int(kel::midi_in::Handle)> start;
    std::function<int(kel::midi_in::Handle)> stop;
    std::function<int(kel::midi_in::Handle)> close;
};
// The device's own calls unless a test put others.
MidiCalls& midi_calls();
void restore_midi_calls();

// One open input: opened on a target and started, closed (stop, close) once.
class MidiListener
{
  public:
    ~MidiListener() { close(); }
    // The preferred device ("Default Midi input device"); false when it cannot be opened
    // or started (nothing stays open then).
    bool open(void* target);
    void close();
    bool is_open() const { return handle_ != 0; }
    kel::midi_in::Handle handle() const { return handle_; }

  private:
    kel::midi_in::Handle handle_ = 0;
};

} // namespace synchro
