#include "plavo/playback.h"

#include "platform/run_dir.h"
#include "platform/safe_write.h"
#include "platform/ui.h"
#include "plavo/texts.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace plavo {

namespace wd = kel::wave_device;

Playback::~Playback()
{
    stop();
    release();
}

std::string run_folder()
{
    std::string folder = kel::run_dir::current();
    if (!folder.empty())
        return folder;
    const std::string base = kel::run_dir::runtime_base() + "kelvara/";
    folder = kel::run_dir::open(base, "plavo");
    if (!folder.empty())
        for (const std::string& dead : kel::run_dir::orphans(base, "plavo"))
            if (kel::run_dir::adopt(dead))
                kel::run_dir::remove(dead);
    return folder;
}

std::string play_target()
{
    const std::string folder = run_folder();
    return folder.empty() ? std::string() : folder + "compressocw.wav";
}

bool Playback::begin(const std::string& path, const std::string& target,
                     const std::string& replaces)
{
    if (read_wave_file(path, desc_) != kReadOk) {
        char text[400];
        std::snprintf(text, sizeof text, "Cannot open file %s.", path.c_str());
        kel::ui().message_box(text, kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
        return false;
    }
    return job_.begin(path, target, desc_, replaces);
}

bool Playback::fill(Slot& slot)
{
    slot.filled = false;
    const long n = job_.step(slot.data.data());
    if (n <= 0)
        return false;
    slot.header = {};
    slot.header.data = reinterpret_cast<char*>(slot.data.data());
    slot.header.buffer_length = static_cast<uint32_t>(n);
    slot.filled = true;
    ++queued_;
    return true;
}

int Playback::open_and_play(const std::string& path)
{
    release();
    play_target_ = play_target();
    if (!begin(path, play_target_)) {
        release();
        return 0;
    }
    try {
        ring_.resize(2);
        for (Slot& s : ring_)
            s.data.assign(std::max(10 * job_.target_block(), job_.out_capacity()), 0);
    } catch (...) {
        kel::ui().message_box("Failed, 1358", kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
        release();
        return 0;
    }
    queued_ = 0;
    // Nothing decodable means nothing to play.
    if (!fill(ring_[0])) {
        release();
        return 0;
    }
    fill(ring_[1]);
    if (wd::out_open(&handle_, 0, job_.target_format(), window_) != wd::kOk) {
        handle_ = 0;
        kel::ui().beep();
        release();
        return 0;
    }
    return 1;
}

void Playback::on_open(wd::Handle handle)
{
    if (handle == 0 || handle != handle_)
        return;
    for (Slot& s : ring_) {
        if (!s.filled)
            continue;
        wd::out_prepare(handle_, &s.header);
        wd::out_write(handle_, &s.header);
    }
    next_slot_ = 0;
}

bool Playback::on_done(wd::Handle handle, wd::Header* header)
{
    if (handle == 0 || handle != handle_ || ring_.empty())
        return false;
    Slot& slot = ring_[next_slot_];
    if (header != &slot.header)
        return false;
    wd::out_unprepare(handle_, &slot.header);
    slot.filled = false;
    --queued_;
    if (queued_ <= 0) {
        Slot& other = ring_[1 - next_slot_];
        wd::out_unprepare(handle_, &other.header);
        wd::out_reset(handle_);
        wd::out_close(handle_);
        handle_ = 0;
        return true;
    }
    if (fill(slot)) {
        wd::out_prepare(handle_, &slot.header);
        wd::out_write(handle_, &slot.header);
    }
    next_slot_ = 1 - next_slot_;
    return false;
}

void Playback::stop()
{
    if (!handle_)
        return;
    wd::out_reset(handle_);
    for (Slot& s : ring_)
        wd::out_unprepare(handle_, &s.header);
    wd::out_close(handle_);
    handle_ = 0;
    queued_ = 0;
}

void Playback::pause()
{
    if (handle_)
        wd::out_pause(handle_);
}

void Playback::restart()
{
    if (handle_)
        wd::out_restart(handle_);
}

void Playback::release()
{
    // The ring's buffers must be back before they are freed.
    stop();
    job_.close();
    ring_.clear();
    queued_ = 0;
    next_slot_ = 0;
    if (!play_target_.empty()) {
        std::remove(play_target_.c_str());
        play_target_.clear();
    }
}

double Playback::elapsed_seconds() const
{
    if (!handle_)
        return 0.0;
    wd::Position p;
    p.type = wd::kTimeBytes;
    if (wd::out_get_position(handle_, p) != wd::kOk)
        return 0.0;
    const uint32_t rate = job_.target_format().avg_bytes_per_sec;
    return rate ? static_cast<double>(p.bytes) / rate : 0.0;
}

int Playback::progress_percent() const
{
    // The share of the stretched stream the device has played, so the bar ends at 100.
    const uint64_t total = job_.expected_output_bytes();
    if (!handle_ || total == 0)
        return 0;
    wd::Position p;
    p.type = wd::kTimeBytes;
    if (wd::out_get_position(handle_, p) != wd::kOk)
        return 0;
    return static_cast<int>(std::min<uint64_t>(100, uint64_t{p.bytes} * 100 / total));
}

const uint8_t* Playback::meter_buffer(size_t& bytes) const
{
    bytes = 0;
    if (ring_.empty() || !ring_[next_slot_].filled)
        return nullptr;
    bytes = ring_[next_slot_].header.buffer_length;
    return ring_[next_slot_].data.data();
}

int Playback::convert(const std::string& source, const std::string& target,
                      const ConvertHooks& hooks)
{
    release();
    converted_truncated_ = false;
    auto fail = [&](const std::string& detail = "") {
        job_.close();
        kel::ui().message_box(detail.empty() ? "Failed to convert file."
                                             : "Failed to convert file.\n" + detail,
                              kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
        return 0;
    };
    // The job writes a temporary file beside the target, which takes the target's place
    // only when it is complete.
    kel::SafeWrite out(target);
    if (!out.ok())
        return fail(out.error_text());
    if (!begin(source, out.temp_path(), out.final_path()))
        return fail();
    if (hooks.progress)
        hooks.progress(0);
    std::vector<uint8_t> bytes;
    try {
        bytes.assign(job_.out_capacity(), 0);
    } catch (...) {
        return fail();
    }
    while (job_.consumed() < job_.data_size()) {
        if (hooks.cancel && hooks.cancel()) {
            job_.close();
            return 0;
        }
        if (hooks.progress)
            hooks.progress(static_cast<int>(uint64_t(job_.consumed()) * 100 / job_.data_size()));
        if (hooks.pump)
            hooks.pump();
        const long n = job_.step(bytes.data());
        if (n < 0)
            return fail();
        if (n == 0)
            break;
        errno = 0;
        if (!job_.write(bytes.data(), static_cast<size_t>(n)))
            return fail(kel::file_error_text(errno));
    }
    const bool truncated = job_.truncated();
    errno = 0;
    if (!job_.close())
        return fail(kel::file_error_text(errno));
    if (!out.commit())
        return fail(out.error_text());
    converted_truncated_ = truncated;
    return 1;
}

} // namespace plavo
