#pragma once
#include <cstdint>
#include <string>

// Audio devices in the manner of the classic wave-out and wave-in calls.
namespace kel::wave_device {

// Format capability flags: rate class (1 = 11 kHz, 2 = 22 kHz, 4 = 44 kHz),
// mono or stereo, 8 or 16 bits.
enum FormatFlags : uint32_t
{
    k1M08 = 0x1,
    k1S08 = 0x2,
    k1M16 = 0x4,
    k1S16 = 0x8,
    k2M08 = 0x10,
    k2S08 = 0x20,
    k2M16 = 0x40,
    k2S16 = 0x80,
    k4M08 = 0x100,
    k4S08 = 0x200,
    k4M16 = 0x400,
    k4S16 = 0x800,
    kAllFormats = 0xFFF,
};

struct Caps
{
    std::string name = "Virtual audio device";
    uint32_t formats = kAllFormats;
    uint16_t channels = 2;
};

// The capabilities of the wave input device the user selected.
Caps& selected_input_caps();

} // namespace kel::wave_device
