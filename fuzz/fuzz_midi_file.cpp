// Any bytes as the virtual MIDI input's file: opened, played to the end under a pinned
// clock, every message pumped, closed.
#include "fuzz/support.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/midi_in.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    namespace mi = kel::midi_in;
    mi::set_virtual_file(fuzz::write_input(data, size, "input.midi.txt"));
    kel::clock::fix(0);
    kel::events::reset();
    static int window;
    int messages = 0;
    kel::events::subscribe(&window, [&](const kel::events::Message& m) {
        if (m.message == mi::kMimData && mi::status_of(m.lparam) < 0x80)
            __builtin_trap();
        ++messages;
    });
    mi::Handle h = 0;
    if (mi::open(&h, 0, &window) != mi::kOk)
        __builtin_trap(); // the file is there: it always opens
    mi::start(h);
    kel::clock::advance(0x7FFFFFFF);
    mi::settle();
    kel::events::pump();
    if (mi::close(h) != mi::kOk || mi::close(h) != mi::kInvalidHandle)
        __builtin_trap();
    kel::events::pump();
    kel::events::reset();
    if (messages < 2) // open and close at least
        __builtin_trap();
    return 0;
}
