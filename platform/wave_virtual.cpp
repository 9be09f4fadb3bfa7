// The virtual device: no hardware. Output is consumed at the format's byte rate on
// kel::clock and appended to the sink file; input is produced at that rate from a file
// or as a tone. Under a pinned clock it runs exactly as far as the clock has moved.
#include "platform/clock.h"
#include "platform/riff.h"
#include "platform/wave_stream.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace kel::wave_device {

namespace {
std::mutex g_source_mutex;
std::string g_source;
bool g_source_set = false;
double g_tone_hz = 440.0;
} // namespace

void set_virtual_source(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_source_mutex);
    g_source = path;
    g_source_set = true;
}

void set_virtual_tone(double hz)
{
    std::lock_guard<std::mutex> lock(g_source_mutex);
    g_tone_hz = hz > 0 ? hz : 440.0;
}

namespace detail {
namespace {

class VirtualPort : public Port
{
  public:
    VirtualPort(bool capture, const Format& f) : format_(f), capture_(capture)
    {
        rate_ = std::max<uint32_t>(1, f.avg_bytes_per_sec);
        if (capture) {
            open_source();
        } else {
            const std::string sink = virtual_sink();
            if (!sink.empty())
                sink_ = ::open(sink.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        }
    }
    ~VirtualPort() override
    {
        if (sink_ >= 0)
            ::close(sink_);
    }

    int play(Stream& s, std::unique_lock<std::mutex>& lock, const uint8_t* data, size_t n) override
    {
        const int r = wait_for_clock(s, lock, n);
        if (r <= 0)
            return r;
        if (sink_ >= 0) {
            size_t done = 0;
            while (done < n) {
                const ssize_t w = ::write(sink_, data + done, n - done);
                if (w <= 0)
                    break; // a full disk loses sink bytes, never the playback
                done += static_cast<size_t>(w);
            }
        }
        return 1;
    }

    int capture(Stream& s, std::unique_lock<std::mutex>& lock, uint8_t* data, size_t n) override
    {
        const int r = wait_for_clock(s, lock, n);
        if (r <= 0)
            return r;
        produce(data, n);
        return 1;
    }

    void halt() override { running_ = false; }
    // An input that runs dry keeps its clock: the device layer decides what was lost.
    void idle() override
    {
        if (!capture_)
            running_ = false;
    }
    bool is_virtual() const override { return true; }

  private:
    // Blocks until the clock says n more bytes have passed since this run began.
    int wait_for_clock(Stream& s, std::unique_lock<std::mutex>& lock, size_t n)
    {
        if (!running_ || s.run_origin != origin_seen_) {
            run_start_ = s.run_origin;
            origin_seen_ = s.run_origin;
            run_bytes_ = 0;
            running_ = true;
        }
        const uint64_t target = run_bytes_ + n;
        const uint32_t due =
            run_start_ + static_cast<uint32_t>((target * 1000 + rate_ - 1) / rate_);
        const uint64_t gen = s.generation;
        for (;;) {
            if (s.interrupted(gen)) {
                s.clock_wait = false;
                return 0;
            }
            const uint32_t now = clock::now_ms();
            const int32_t left = static_cast<int32_t>(due - now);
            if (left <= 0)
                break;
            s.clock_wait = true;
            s.clock_seen = now;
            if (clock::is_fixed())
                s.wake.wait_for(lock, std::chrono::microseconds(500));
            else
                s.wake.wait_for(lock, std::chrono::milliseconds(left));
        }
        s.clock_wait = false;
        run_bytes_ = target;
        return 1;
    }

    void open_source()
    {
        std::string path;
        {
            std::lock_guard<std::mutex> lock(g_source_mutex);
            if (g_source_set) {
                path = g_source;
            } else {
                const char* env = std::getenv("KELVARA_VIRTUAL_SOURCE");
                path = env ? env : "";
            }
            tone_hz_ = g_tone_hz;
        }
        if (path.empty())
            return;
        source_ = riff::File::open(path, riff::File::Mode::Read);
        if (!source_)
            return;
        // A WAVE file gives its data chunk; anything else is taken as raw samples.
        riff::Chunk form;
        if (source_->descend(form, nullptr, 0) == riff::kOk && form.id == riff::kRiff) {
            riff::Chunk data;
            data.id = riff::fourcc("data");
            if (source_->descend(data, &form, riff::kFindChunk) == riff::kOk) {
                source_left_ = data.size;
                return;
            }
        }
        source_->seek(0, SEEK_SET);
        source_left_ = source_->length();
    }

    void produce(uint8_t* data, size_t n)
    {
        size_t got = 0;
        if (source_ && source_left_ > 0) {
            const int64_t want = static_cast<int64_t>(std::min<uint64_t>(n, source_left_));
            const int64_t r = source_->read(data, want);
            if (r > 0) {
                got = static_cast<size_t>(r);
                source_left_ -= got;
            } else {
                source_left_ = 0;
            }
        }
        const bool eight = format_.bits_per_sample == 8;
        if (source_) {
            std::memset(data + got, eight ? 128 : 0, n - got);
            return;
        }
        const uint32_t align = std::max<uint16_t>(1, format_.block_align);
        const int bps = eight ? 1 : 2;
        // A tail shorter than a frame stays silent.
        std::memset(data + n / align * align, eight ? 128 : 0, n % align);
        for (size_t i = 0; i + align <= n; i += align) {
            const double v = std::sin(phase_);
            phase_ += 2.0 * M_PI * tone_hz_ / format_.sample_rate;
            if (phase_ > 2.0 * M_PI)
                phase_ -= 2.0 * M_PI;
            for (int c = 0; c < format_.channels; ++c) {
                uint8_t* p = data + i + c * bps;
                if (eight) {
                    p[0] = static_cast<uint8_t>(128 + std::lround(v * 63.0));
                } else {
                    const int16_t w = static_cast<int16_t>(std::lround(v * 16383.0));
                    p[0] = static_cast<uint8_t>(w & 0xFF);
                    p[1] = static_cast<uint8_t>((w >> 8) & 0xFF);
                }
            }
        }
    }

    Format format_;
    bool capture_ = false;
    uint32_t origin_seen_ = 0;
    uint32_t rate_ = 1;
    bool running_ = false;
    uint32_t run_start_ = 0;
    uint64_t run_bytes_ = 0;
    int sink_ = -1;
    std::unique_ptr<riff::File> source_;
    uint64_t source_left_ = 0;
    double tone_hz_ = 440.0;
    double phase_ = 0.0;
};

} // namespace

std::unique_ptr<Port> virtual_port(bool capture, const Format& format)
{
    return std::unique_ptr<Port>(new (std::nothrow) VirtualPort(capture, format));
}

} // namespace detail
} // namespace kel::wave_device
