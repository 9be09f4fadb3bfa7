// The open dialog's preview player. Its failures are silent: a file that cannot be heard
// is still a file that can be opened.
#include "editor/devices/file_preview.h"

#include "common/host_services.h"
#include "common/wave_format.h"
#include "editor/files/wave_header.h"
#include "platform/events.h"
#include "platform/profile.h"

#include <algorithm>

namespace wd = kel::wave_device;
namespace ev = kel::events;

FilePreview::~FilePreview()
{
    close();
}

bool FilePreview::open(const std::string& path)
{
    close();
    // The header reader's results are shared by the whole program; keep them as they were.
    const WaveFormat kept_format = last_format;
    const uint32_t kept_size = data_size;
    const uint16_t kept_tag = last_format_tag;
    const uint64_t kept_offset = data_offset;
    last_format_tag = 0;
    const bool ok =
        ReadInputWaveformHeader(path.c_str(), 0) != 0 && last_format.format_tag == kWaveFormatPcm &&
        (last_format.bits_per_sample == 8 || last_format.bits_per_sample == 16) &&
        (last_format.channels == 1 || last_format.channels == 2) && last_format.sample_rate > 0;
    if (ok) {
        format_.format_tag = 1;
        format_.channels = last_format.channels;
        format_.sample_rate = last_format.sample_rate;
        format_.bits_per_sample = last_format.bits_per_sample;
        format_.block_align = static_cast<uint16_t>(format_.channels * format_.bits_per_sample / 8);
        format_.avg_bytes_per_sec = format_.sample_rate * format_.block_align;
        data_offset_ = data_offset;
        data_bytes_ = data_size;
        path_ = path;
    }
    last_format = kept_format;
    data_size = kept_size;
    last_format_tag = kept_tag;
    data_offset = kept_offset;
    return ok;
}

bool FilePreview::play()
{
    stop();
    if (path_.empty() || data_bytes_ == 0)
        return false;
    source_ = kel::riff::File::open(path_, kel::riff::File::Mode::Read);
    if (!source_ || source_->seek(static_cast<int64_t>(data_offset_), SEEK_SET) < 0) {
        source_.reset();
        return false;
    }
    // About a quarter of a second per buffer, in whole frames.
    const uint32_t align = std::max<uint32_t>(1, format_.block_align);
    buffer_bytes_ = std::clamp<uint32_t>(format_.avg_bytes_per_sec / 4, 4096, 65536);
    buffer_bytes_ -= buffer_bytes_ % align;
    memory_.assign(static_cast<size_t>(buffer_bytes_) * kBuffers, 0);
    const int device = static_cast<int>(kel::profile::read_int(
        "Preferences", "Default Wave output device", 0, kel::profile::app_profile()));
    wd::Handle h = 0;
    if (wd::out_open(&h, device, format_, this) != wd::kOk) {
        source_.reset();
        return false;
    }
    device_ = h;
    subscription_ = ev::subscribe(this, [this](const ev::Message& m) {
        if (m.message == wd::kWomDone && device_ != 0 && m.wparam == device_)
            on_done(reinterpret_cast<wd::Header*>(m.lparam));
    });
    bytes_read_ = 0;
    queued_ = 0;
    for (int i = 0; i < kBuffers; ++i)
        if (!refill(i))
            break;
    if (queued_ == 0) {
        release_device();
        return false;
    }
    return true;
}

bool FilePreview::refill(int slot)
{
    if (!source_ || bytes_read_ >= data_bytes_)
        return false;
    const uint64_t want = std::min<uint64_t>(buffer_bytes_, data_bytes_ - bytes_read_);
    char* data = memory_.data() + static_cast<size_t>(slot) * buffer_bytes_;
    const int64_t got = source_->read(data, static_cast<int64_t>(want));
    // A file shorter than its header says just ends early.
    if (got < 1)
        return false;
    bytes_read_ += static_cast<uint64_t>(got);
    wd::Header& h = headers_[slot];
    h = wd::Header{};
    h.data = data;
    h.buffer_length = static_cast<uint32_t>(got);
    h.user = static_cast<uintptr_t>(slot);
    wd::out_prepare(device_, &h);
    if (wd::out_write(device_, &h) != wd::kOk) {
        wd::out_unprepare(device_, &h);
        return false;
    }
    ++queued_;
    return true;
}

void FilePreview::on_done(wd::Header* header)
{
    if (!header)
        return;
    const int slot = static_cast<int>(header->user);
    if (slot < 0 || slot >= kBuffers || header != &headers_[slot])
        return;
    wd::out_unprepare(device_, header);
    --queued_;
    if (!refill(slot) && queued_ <= 0)
        release_device();
}

void FilePreview::stop()
{
    if (device_)
        wd::out_reset(device_);
    release_device();
}

void FilePreview::release_device()
{
    if (subscription_)
        ev::unsubscribe(subscription_);
    subscription_ = 0;
    if (device_) {
        for (wd::Header& h : headers_)
            if (h.flags & wd::kPrepared)
                wd::out_unprepare(device_, &h);
        if (wd::out_close(device_) == wd::kStillPlaying) {
            wd::out_reset(device_);
            wd::out_close(device_);
        }
    }
    device_ = 0;
    queued_ = 0;
    source_.reset();
}

void FilePreview::close()
{
    stop();
    path_.clear();
    data_bytes_ = 0;
    data_offset_ = 0;
}
