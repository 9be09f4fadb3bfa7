#pragma once
// Listening to a wave file from the open dialog before it is opened: the file's data
// chunk streamed to the output device in a small ring of its own, apart from the
// document playback (which may be running at the same time on another document).
#include "platform/riff.h"
#include "platform/wave_device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FilePreview
{
  public:
    FilePreview() = default;
    FilePreview(const FilePreview&) = delete;
    FilePreview& operator=(const FilePreview&) = delete;
    ~FilePreview();

    // Takes the file for preview (stopping and dropping any earlier one). False when it
    // is not a PCM wave file the device could take; nothing is held then.
    bool open(const std::string& path);
    // From the start of the data. False when nothing is open or the device refuses.
    bool play();
    void stop();
    void close();

    bool is_open() const { return !path_.empty(); }
    bool playing() const { return device_ != 0; }
    const std::string& path() const { return path_; }
    // Bytes of sample data handed to the device since the last play().
    uint64_t bytes_queued() const { return bytes_read_; }

  private:
    static constexpr int kBuffers = 4;
    bool refill(int slot);
    void on_done(kel::wave_device::Header* header);
    void release_device();

    std::string path_;
    kel::wave_device::Format format_;
    uint64_t data_offset_ = 0;
    uint64_t data_bytes_ = 0;
    std::unique_ptr<kel::riff::File> source_;
    kel::wave_device::Handle device_ = 0;
    uint64_t subscription_ = 0;
    std::vector<char> memory_;
    uint32_t buffer_bytes_ = 0;
    kel::wave_device::Header headers_[kBuffers];
    int queued_ = 0;
    uint64_t bytes_read_ = 0;
};
