#pragma once
// MIDI input in the manner of the classic MIDI-in calls: open a device with a window as
// its notification target, start, stop, close. Every message is posted to the UI queue
// (platform/events) as kMimData with the packed short message and its time stamp; the
// device's own thread never calls into the program.
//
// Devices are numbered as midi_devices::inputs() lists them: 0 is the virtual input,
// fed from a file of timed MIDI bytes (KELVARA_VIRTUAL_MIDI, or set_virtual_file), 1.. the
// ALSA sequencer's readable ports. Opening any sequencer device also makes our own port
// "Kelvara Orlo" that users may connect to. With no sequencer, or with the virtual input
// and no file, open fails with kNoDriver and nothing else happens.
#include <cstdint>
#include <string>

namespace kel::midi_in {

using Handle = uintptr_t; // never reused; 0 is no device

// Results, numbered as the classic calls number them.
enum Result : int {
    kOk = 0,
    kError = 1,
    kBadDeviceId = 2,
    kAllocated = 4,
    kInvalidHandle = 5,
    kNoDriver = 6,
    kNoMem = 7,
    kInvalidParam = 11,
};

// Notifications, posted to the target. kMimData: wparam = the handle, lparam = the
// packed message (status | data1 << 8 | data2 << 16); the time stamp (ms since start)
// is kept with the message and read with last_time_stamp() while it is handled.
// System-exclusive messages are dropped: nothing in the program reads them.
inline constexpr uint32_t kMimOpen = 0x3C1;
inline constexpr uint32_t kMimClose = 0x3C2;
inline constexpr uint32_t kMimData = 0x3C3;
inline constexpr uint32_t kMimError = 0x3C5; // a malformed byte stream; lparam = the bytes so far

int device_count();
// kAllocated when the device is open already; kNoDriver as above.
int open(Handle* handle, int device, void* target);
// Messages flow only between start and stop. The virtual input's file time runs only
// while started: a stop holds it, the next start goes on from there.
int start(Handle handle);
int stop(Handle handle);
// Stops first when started; kMimClose is the last notification of the handle.
int close(Handle handle);
bool is_open(Handle handle);

// The time stamp of the kMimData message being handled now (events::message_time()).
uint32_t last_time_stamp();

// The packed message's parts.
inline uint8_t status_of(intptr_t packed)
{
    return static_cast<uint8_t>(packed & 0xFF);
}
inline uint8_t data1_of(intptr_t packed)
{
    return static_cast<uint8_t>((packed >> 8) & 0x7F);
}
inline uint8_t data2_of(intptr_t packed)
{
    return static_cast<uint8_t>((packed >> 16) & 0x7F);
}

// The virtual input's file (KELVARA_VIRTUAL_MIDI when none is set here): lines of
// "<ms> <hex byte> <hex byte> ...", ms counted on kel::clock from start(); '#' begins a
// comment; other lines are skipped. A line timed before the one above it follows that
// one. Its bytes go through the same byte-stream parser as a serial port's would, and a
// message's time stamp is the time of the line that completes it.
void set_virtual_file(const std::string& path);
std::string virtual_file();

// Waits until the virtual input has posted everything the clock says is due (tests call
// it after moving a pinned clock), as wave_device::settle does.
void settle();

} // namespace kel::midi_in
