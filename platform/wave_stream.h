#pragma once
// Inside the device layer: one open stream, its worker thread and the backend port that
// moves its bytes. Not for use outside platform/.
#include "platform/wave_device.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kel::wave_device::detail {

struct Stream;

// Moves bytes between a stream and a device. play and capture are called on the worker
// thread with the stream's lock held and may release it while they block. They return
// 1 when the bytes went through, 0 when the stream's state changed meanwhile (the
// worker looks again) and -1 on a device fault.
class Port
{
  public:
    virtual ~Port() = default;
    virtual int play(Stream& s, std::unique_lock<std::mutex>& lock, const uint8_t* data,
                     size_t n) = 0;
    virtual int capture(Stream& s, std::unique_lock<std::mutex>& lock, uint8_t* data, size_t n) = 0;
    // Worker thread: stop now and drop what the device buffers (pause, reset, stop).
    virtual void halt() {}
    // Worker thread: go on after a halt.
    virtual void resume() {}
    // Worker thread: nothing queued for now.
    virtual void idle() {}
    // Bytes handed over but not yet heard.
    virtual uint32_t delay_bytes() const { return 0; }
    virtual bool is_virtual() const { return false; }
};

struct Stream
{
    bool output = true;
    Handle handle = 0;
    int device = 0;
    Format format;
    void* target = nullptr;
    std::unique_ptr<Port> port;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Header*> queue;
    uint32_t front_offset = 0; // bytes of the front header already taken
    bool paused = false;       // output: paused; input: not started
    bool closing = false;
    uint64_t generation = 0; // bumped by reset and stop: work in flight is dropped
    uint64_t position = 0;   // bytes played or recorded since open or reset
    // When the device last had reason to start running (a write to an idle device, a
    // restart, a start): a virtual device counts its bytes from here, not from whenever
    // its thread got round to looking.
    uint32_t run_origin = 0;
    // Input: running with every buffer handed back, since this clock time.
    bool starved = false;
    uint32_t starved_since = 0;
    uint32_t overruns = 0;

    // Settling (virtual devices under a pinned clock).
    bool idle_wait = false;
    bool clock_wait = false;
    uint32_t clock_seen = 0;

    std::thread worker;

    // State changed by the UI thread: the worker has something to look at.
    void poke()
    {
        idle_wait = false;
        clock_wait = false;
        wake.notify_all();
    }
    bool interrupted(uint64_t gen) const { return closing || paused || generation != gen; }
    uint32_t chunk_bytes() const;
};

// The ALSA side.
int alsa_device_count(bool capture);
int alsa_caps(bool capture, int device, Caps& caps);
// Opens the PCM with the format; kOk and a port, or a result code.
int alsa_open(bool capture, int device, const Format& format, std::unique_ptr<Port>& port,
              bool query_only);
bool alsa_has_card();
// True when the mixer of the device took the levels.
bool alsa_set_master(int device, int left, int right);

// The virtual side.
std::unique_ptr<Port> virtual_port(bool capture, const Format& format);

} // namespace kel::wave_device::detail
