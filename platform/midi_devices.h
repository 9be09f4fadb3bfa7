#pragma once
// The MIDI devices the preference page lists: the virtual input that tests feed, and the
// ports of the ALSA sequencer when there is one. A machine without a sequencer still
// has the virtual input and the mapper.
#include <cstdint>
#include <string>
#include <vector>

namespace kel::midi_devices {

// What an output device is, numbered as the classic capabilities number it.
enum Technology : uint16_t {
    kMidiPort = 1,
    kSynth = 2,
    kSquareWaveSynth = 3,
    kFmSynth = 4,
    kMapper = 5,
};

struct MidiCaps
{
    std::string name;
    uint16_t driver_version = 0x0100; // major in the high byte, minor in the low byte
    uint16_t technology = kMidiPort;  // outputs; inputs say nothing of themselves
    // The sequencer port behind it; -1 for the virtual input and the mapper.
    int client = -1;
    int port = -1;
};

// Inputs: the virtual input first, then the sequencer's readable ports.
std::vector<MidiCaps> inputs();
// Outputs: "MIDI Mapper" first, then the sequencer's writable ports.
std::vector<MidiCaps> outputs();

} // namespace kel::midi_devices
