#pragma once
// Audio devices in the manner of the classic wave-out and wave-in calls. A device is
// opened with a PCM format and a notification target; its OPEN, DONE, DATA and CLOSE
// notifications are posted to the UI queue (platform/events), never called from the
// device's own thread. Two backends: ALSA and a virtual device that consumes (or
// produces) bytes on kel::clock and writes what it played to a sink file.
#include <cstdint>
#include <string>

namespace kel::wave_device {

// Format capability flags: rate class (1 = 11 kHz, 2 = 22 kHz, 4 = 44 kHz),
// mono or stereo, 8 or 16 bits.
enum FormatFlags : uint32_t {
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

// What an output device supports besides its formats.
enum SupportFlags : uint32_t {
    kSupportVolume = 0x1,
    kSupportLrVolume = 0x2,
};

struct Caps
{
    std::string name = "Virtual audio device";
    uint32_t formats = kAllFormats;
    uint16_t channels = 2;
    uint16_t driver_version = 0x0100; // major in the high byte, minor in the low byte
    uint32_t support = kSupportVolume | kSupportLrVolume;
};

// What a device's format bits say, as the device lists show it.
inline bool caps_stereo(const Caps& c)
{
    return c.channels >= 2 && (c.formats & (k1S08 | k1S16 | k2S08 | k2S16 | k4S08 | k4S16));
}
inline int caps_bits(const Caps& c)
{
    return (c.formats & (k1M16 | k1S16 | k2M16 | k2S16 | k4M16 | k4S16)) ? 16 : 8;
}
// The highest of the three standard rates the device takes.
inline int caps_top_rate(const Caps& c)
{
    return (c.formats & (k4M08 | k4S08 | k4M16 | k4S16))   ? 44100
           : (c.formats & (k2M08 | k2S08 | k2M16 | k2S16)) ? 22050
                                                           : 11025;
}
inline const char* caps_rate_text(const Caps& c)
{
    const int rate = caps_top_rate(c);
    return rate == 44100 ? "44.100 kHz" : rate == 22050 ? "22.050 kHz" : "11.0250 kHz";
}

// The capabilities of the wave input device the user selected.
Caps& selected_input_caps();
// Fills selected_input_caps() from input device `device`; false (record untouched)
// when there is no such device.
bool select_input_device(int device);

// The 16-byte PCM format record, as the device takes it.
struct Format
{
    uint16_t format_tag = 1;
    uint16_t channels = 1;
    uint32_t sample_rate = 22050;
    uint32_t avg_bytes_per_sec = 22050;
    uint16_t block_align = 1;
    uint16_t bits_per_sample = 8;
};

// Results, numbered as the classic calls number them.
enum Result : int {
    kOk = 0,
    kError = 1,
    kBadDeviceId = 2,
    kNotEnabled = 3,
    kAllocated = 4,
    kInvalidHandle = 5,
    kNoDriver = 6,
    kNoMem = 7,
    kNotSupported = 8,
    kInvalidParam = 11,
    kBadFormat = 32,
    kStillPlaying = 33,
    kUnprepared = 34,
};

// Notifications: wparam = the device handle, lparam = the Header* (DONE, DATA).
inline constexpr uint32_t kWomOpen = 0x3BB;
inline constexpr uint32_t kWomClose = 0x3BC;
inline constexpr uint32_t kWomDone = 0x3BD;
inline constexpr uint32_t kWimOpen = 0x3BE;
inline constexpr uint32_t kWimClose = 0x3BF;
inline constexpr uint32_t kWimData = 0x3C0;

enum HeaderFlags : uint32_t {
    kDone = 0x01,
    kPrepared = 0x02,
    kBeginLoop = 0x04,
    kEndLoop = 0x08,
    kInQueue = 0x10,
};

// A buffer handed to a device. The device owns it from write/add until its DONE or
// DATA notification is posted (or reset returns).
struct Header
{
    char* data = nullptr;
    uint32_t buffer_length = 0;
    uint32_t bytes_recorded = 0;
    uintptr_t user = 0;
    uint32_t flags = 0;
    uint32_t loops = 0;
    Header* next = nullptr;
    uintptr_t reserved = 0;
};

// Handles are numbers that are never reused, so a late notification of a closed device
// can never be taken for one of a newer device. 0 is no device.
using Handle = uintptr_t;

enum TimeType : uint32_t {
    kTimeMs = 0x1,
    kTimeSamples = 0x2,
    kTimeBytes = 0x4,
    kTimeSmpte = 0x8,
};

struct Position
{
    uint32_t type = kTimeBytes; // asked for; the device sets what it gives
    uint32_t ms = 0;
    uint32_t samples = 0; // frames
    uint32_t bytes = 0;
    struct
    {
        uint8_t hour = 0, min = 0, sec = 0, frame = 0, fps = 0;
    } smpte;
};

// Open flags.
inline constexpr uint32_t kFormatQuery = 0x1; // only ask whether the format would open

// ---- Output ----
int out_device_count();
int out_caps(int device, Caps& caps);
int out_open(Handle* handle, int device, const Format& format, void* target, uint32_t flags = 0);
int out_prepare(Handle handle, Header* header);
int out_unprepare(Handle handle, Header* header);
int out_write(Handle handle, Header* header);
int out_pause(Handle handle);
int out_restart(Handle handle);
// Stops at once and returns every queued buffer as done, in order; position 0.
int out_reset(Handle handle);
// kStillPlaying while buffers are queued.
int out_close(Handle handle);
int out_get_position(Handle handle, Position& position);
// Per-channel volume of a device: low word left, high word right, 0 .. 0xFFFF. Applied
// in this layer as a software gain (0xFFFF passes the samples unchanged).
int out_set_volume(int device, uint32_t volume);
int out_get_volume(int device, uint32_t* volume);

// The master output level of the speakers, 0 .. 255 per channel: through the ALSA
// mixer when the device has one (channel value (min + max) * level / 256), else as the
// software gain above with 255 as full level.
struct MasterVolume
{
    bool hardware = false; // went through a mixer
    uint32_t software = 0; // the value given to out_set_volume otherwise
};
MasterVolume set_master_volume(int device, int left, int right);

// ---- Input ----
int in_device_count();
int in_caps(int device, Caps& caps);
int in_open(Handle* handle, int device, const Format& format, void* target, uint32_t flags = 0);
int in_prepare(Handle handle, Header* header);
int in_unprepare(Handle handle, Header* header);
int in_add_buffer(Handle handle, Header* header);
int in_start(Handle handle);
// Returns the buffer being filled (with what it holds); empty buffers stay queued.
int in_stop(Handle handle);
// Stops and returns every buffer; position 0.
int in_reset(Handle handle);
int in_close(Handle handle);
int in_get_position(Handle handle, Position& position);
// Times the device had sound to deliver and no buffer to put it in (the program did not
// give buffers back in time); that sound is lost. 0 for an unknown handle.
uint32_t in_overruns(Handle handle);

// ---- Backends ----
enum class Backend { Alsa, Virtual };
// KELVARA_AUDIO=alsa|virtual; without it ALSA when it lists a card, else virtual.
Backend backend();
// Tests choose a backend directly; the next call re-reads the environment after unset.
void set_backend(Backend b);
void unset_backend();

// The virtual device appends the bytes it played to this file (KELVARA_VIRTUAL_SINK
// when not set here; no file when neither names one).
void set_virtual_sink(const std::string& path);
std::string virtual_sink();
// The virtual input plays back this file (a WAVE file's data, or raw bytes), followed
// by silence; with no file (KELVARA_VIRTUAL_SOURCE unset) a tone of this frequency at
// half of full scale.
void set_virtual_source(const std::string& path);
void set_virtual_tone(double hz);

// Waits until every open virtual device has done all that the clock says is due, and
// posted its notifications. Tests call this after moving a pinned clock.
void settle();

// The ALSA PCM that stands for "the user's default" (KELVARA_ALSA_PCM, else "default").
std::string alsa_default_pcm();

} // namespace kel::wave_device
