#include "editor/sync/midi_port.h"

#include "platform/profile.h"

namespace synchro {

namespace mi = kel::midi_in;

namespace {

MidiCalls device_calls()
{
    return MidiCalls{mi::open, mi::start, mi::stop, mi::close};
}

} // namespace

MidiCalls& midi_calls()
{
    static MidiCalls calls = device_calls();
    return calls;
}

void restore_midi_calls()
{
    midi_calls() = device_calls();
}

bool MidiListener::open(void* target)
{
    close();
    const int device = static_cast<int>(kel::profile::read_int(
        "Preferences", "Default Midi input device", 0, kel::profile::app_profile()));
    MidiCalls& calls = midi_calls();
    mi::Handle h = 0;
    if (!calls.open || calls.open(&h, device, target) != mi::kOk || h == 0)
        return false;
    if (calls.start(h) != mi::kOk) {
        calls.close(h);
        return false;
    }
    handle_ = h;
    return true;
}

void MidiListener::close()
{
    if (!handle_)
        return;
    MidiCalls& calls = midi_calls();
    calls.stop(handle_);
    calls.close(handle_);
    handle_ = 0;
}

} // namespace synchro
