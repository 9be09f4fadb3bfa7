#pragma once
// The MIDI devices the preference page lists: the virtual input that tests feed, and the
// ports of the ALSA sequencer when there is one. A machine without a sequencer still
// has the virtual input and the mapper.
#include <cstdint>
#include <string>
#include <vector>

namespace kel::midi_devices {

struct MidiCaps
{
    std::string name;
    uint16_t driver_version = 0x0100; // major in the high byte, minor in the low byte
};

// Inputs: the virtual input first, then the sequencer's readable ports.
std::vector<MidiCaps> inputs();
// Outputs: "MIDI Mapper" first, then the sequencer's writable ports.
std::vector<MidiCaps> outputs();

} // namespace kel::midi_devices
