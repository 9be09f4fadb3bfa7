#pragma once
// Playing an OCW file through the wave-out device in a ring of two buffers, and converting
// one to a wave file. Device notifications arrive on the UI queue for `window`.
#include "platform/wave_device.h"
#include "plavo/convert_job.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plavo {

// This run's private folder ("plavo-..." under the runtime folder), made when first
// needed; folders left by runs that died go then. Empty when it cannot be made.
std::string run_folder();
// The wave file a playing job writes its headers to, in that folder.
std::string play_target();

class Playback
{
  public:
    explicit Playback(void* window) : window_(window) {}
    ~Playback();

    // Reads the file, begins a job, fills both slots and opens the device. 1 when the
    // device opened; on failure everything is released (a failed open beeps).
    int open_and_play(const std::string& path);
    // The device's OPEN: both slots go to the device.
    void on_open(kel::wave_device::Handle handle);
    // The device's DONE. Returns true when this was the last buffer and the device was
    // closed (its CLOSE follows), false when it goes on (or the notice was not ours).
    bool on_done(kel::wave_device::Handle handle, kel::wave_device::Header* header);
    // Ends the job, frees the ring and deletes the play target.
    void release();
    // Stops at once: resets and closes the device. Its CLOSE follows.
    void stop();
    void pause();
    void restart();

    bool device_open() const { return handle_ != 0; }
    kel::wave_device::Handle handle() const { return handle_; }
    // Seconds of stretched output the device has played.
    double elapsed_seconds() const;
    // The progress bar's percent after a returned buffer.
    int progress_percent() const;
    // The slot whose sound is playing now, for the level meter.
    const uint8_t* meter_buffer(size_t& bytes) const;
    int channels() const { return job_.channels(); }

    struct ConvertHooks
    {
        std::function<bool()> cancel;      // the Cancel button is held down
        std::function<void(int)> progress; // percent
        std::function<void()> pump;        // let the window breathe
    };
    // Converts `source` into the wave file `target`, which is replaced only by the complete
    // result: a failure (it shows "Failed to convert file.", with the reason when a write
    // failed) or a cancel leaves an earlier target as it was and no partial file. 1 on
    // success.
    int convert(const std::string& source, const std::string& target, const ConvertHooks& hooks);
    // The last conversion's source was cut short: only what it holds was converted.
    bool converted_truncated() const { return converted_truncated_; }

  private:
    struct Slot
    {
        kel::wave_device::Header header;
        std::vector<uint8_t> data;
        bool filled = false;
    };
    bool fill(Slot& slot);
    bool begin(const std::string& path, const std::string& target,
               const std::string& replaces = "");

    void* window_;
    ConvertJob job_;
    WaveFileDesc desc_;
    std::vector<Slot> ring_;
    kel::wave_device::Handle handle_ = 0;
    int queued_ = 0;
    int next_slot_ = 0;
    std::string play_target_; // written by the playing job, removed on release
    bool converted_truncated_ = false;
};

} // namespace plavo
