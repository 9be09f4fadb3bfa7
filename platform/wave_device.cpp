// The device-independent half of the wave devices: handles, header queues, the worker
// that feeds a port, notifications, software gain, backend choice.
#include "platform/wave_device.h"

#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_stream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

namespace kel::wave_device {

using detail::Port;
using detail::Stream;

namespace {

std::mutex g_registry_mutex;
std::map<Handle, std::unique_ptr<Stream>> g_streams;
std::atomic<Handle> g_next_handle{1};

std::mutex g_settings_mutex;
std::optional<Backend> g_backend;
std::optional<std::string> g_sink;
std::map<int, uint32_t> g_volume; // output device -> left | right << 16

Stream* find(Handle h, bool output)
{
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    auto it = g_streams.find(h);
    if (it == g_streams.end() || it->second->output != output)
        return nullptr;
    return it->second.get();
}

bool format_ok(const Format& f)
{
    if (f.format_tag != 1 || (f.channels != 1 && f.channels != 2))
        return false;
    if (f.bits_per_sample != 8 && f.bits_per_sample != 16)
        return false;
    if (f.sample_rate < 1000 || f.sample_rate > 192000)
        return false;
    return f.block_align == f.channels * f.bits_per_sample / 8;
}

uint32_t volume_of(int device)
{
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    auto it = g_volume.find(device);
    return it == g_volume.end() ? 0xFFFFFFFFu : it->second;
}

// Scales whole frames by the device's per-channel volume.
void apply_gain(std::vector<uint8_t>& bytes, const Format& f, uint32_t volume)
{
    if (volume == 0xFFFFFFFFu)
        return;
    const uint32_t gains[2] = {volume & 0xFFFF, volume >> 16};
    const int channels = f.channels;
    if (f.bits_per_sample == 8) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            const uint32_t g = gains[channels == 2 ? i % 2 : 0];
            const int v = (static_cast<int>(bytes[i]) - 128) * static_cast<int>(g) / 0xFFFF;
            bytes[i] = static_cast<uint8_t>(v + 128);
        }
    } else {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const uint32_t g = gains[channels == 2 ? (i / 2) % 2 : 0];
            const int16_t s = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
            const int v = static_cast<int>(s) * static_cast<int>(g) / 0xFFFF;
            bytes[i] = static_cast<uint8_t>(v & 0xFF);
            bytes[i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
    }
}

void finish_front(Stream& s, uint32_t message)
{
    Header* h = s.queue.front();
    s.queue.pop_front();
    s.front_offset = 0;
    h->flags = (h->flags | kDone) & ~static_cast<uint32_t>(kInQueue);
    events::post(s.target, message, s.handle, reinterpret_cast<intptr_t>(h));
}

void output_worker(Stream& s)
{
    std::unique_lock<std::mutex> lock(s.mutex);
    std::vector<uint8_t> carry; // the part of a frame split between two headers
    std::vector<uint8_t> chunk; // whole frames taken but not yet played
    bool chunk_ends_header = false;
    uint64_t chunk_gen = s.generation;
    bool halted = false;
    const uint32_t align = std::max<uint32_t>(1, s.format.block_align);
    while (!s.closing) {
        if (chunk_gen != s.generation) {
            chunk.clear();
            carry.clear();
            chunk_gen = s.generation;
            if (!halted) {
                s.port->halt();
                halted = true;
            }
        }
        if (s.paused) {
            if (!halted) {
                s.port->halt();
                halted = true;
            }
            s.idle_wait = true;
            s.wake.wait(lock);
            s.idle_wait = false;
            continue;
        }
        if (chunk.empty()) {
            if (s.queue.empty()) {
                s.port->idle();
                s.idle_wait = true;
                s.wake.wait(lock);
                s.idle_wait = false;
                continue;
            }
            Header* h = s.queue.front();
            const uint32_t left = h->buffer_length - std::min(h->buffer_length, s.front_offset);
            const uint32_t n = std::min(left, s.chunk_bytes());
            carry.insert(carry.end(), h->data + s.front_offset, h->data + s.front_offset + n);
            s.front_offset += n;
            chunk_ends_header = s.front_offset >= h->buffer_length;
            const size_t whole = carry.size() / align * align;
            chunk.assign(carry.begin(), carry.begin() + static_cast<long>(whole));
            carry.erase(carry.begin(), carry.begin() + static_cast<long>(whole));
            apply_gain(chunk, s.format, volume_of(s.device));
            if (chunk.empty()) {
                if (chunk_ends_header)
                    finish_front(s, kWomDone);
                continue;
            }
        }
        if (halted) {
            s.port->resume();
            halted = false;
        }
        const int r = s.port->play(s, lock, chunk.data(), chunk.size());
        if (r == 0 || chunk_gen != s.generation || s.closing)
            continue;
        // A device fault drops the bytes rather than holding the buffers forever.
        if (r > 0)
            s.position += chunk.size();
        chunk.clear();
        if (chunk_ends_header && !s.queue.empty())
            finish_front(s, kWomDone);
    }
}

void input_worker(Stream& s)
{
    std::unique_lock<std::mutex> lock(s.mutex);
    std::vector<uint8_t> chunk;
    bool halted = true;
    const uint32_t align = std::max<uint32_t>(1, s.format.block_align);
    while (!s.closing) {
        if (s.paused || s.queue.empty()) {
            if (s.paused && !halted) {
                s.port->halt();
                halted = true;
            }
            if (!s.paused) {
                s.port->idle();
                if (!s.starved) {
                    s.starved = true;
                    s.starved_since = clock::now_ms();
                }
            }
            s.idle_wait = true;
            s.wake.wait(lock);
            s.idle_wait = false;
            continue;
        }
        Header* h = s.queue.front();
        const uint32_t room = h->buffer_length - std::min(h->buffer_length, h->bytes_recorded);
        if (room == 0) {
            finish_front(s, kWimData);
            continue;
        }
        uint32_t n = std::min(room, s.chunk_bytes());
        if (n >= align)
            n = n / align * align;
        chunk.resize(n);
        if (halted) {
            s.port->resume();
            halted = false;
        }
        const uint64_t gen = s.generation;
        const int r = s.port->capture(s, lock, chunk.data(), chunk.size());
        if (r == 0 || gen != s.generation || s.closing || s.paused)
            continue;
        if (r < 0)
            std::memset(chunk.data(), s.format.bits_per_sample == 8 ? 128 : 0, chunk.size());
        // The header is still ours: stop and reset bump the generation before giving it back.
        std::memcpy(h->data + h->bytes_recorded, chunk.data(), n);
        h->bytes_recorded += n;
        s.position += n;
        if (h->bytes_recorded >= h->buffer_length)
            finish_front(s, kWimData);
    }
}

int open_stream(bool output, Handle* handle, int device, const Format& format, void* target,
                uint32_t flags)
{
    if (!handle && !(flags & kFormatQuery))
        return kInvalidParam;
    if (!format_ok(format))
        return kBadFormat;
    const bool capture = !output;
    std::unique_ptr<Port> port;
    if (backend() == Backend::Virtual) {
        if (device != 0)
            return kBadDeviceId;
        if (flags & kFormatQuery)
            return kOk;
        port = detail::virtual_port(capture, format);
    } else {
        const int r = detail::alsa_open(capture, device, format, port, flags & kFormatQuery);
        if (r != kOk || (flags & kFormatQuery))
            return r;
    }
    if (!port)
        return kNoMem;
    auto s = std::make_unique<Stream>();
    s->output = output;
    s->handle = g_next_handle.fetch_add(1);
    s->device = device;
    s->format = format;
    s->target = target;
    s->port = std::move(port);
    s->paused = capture; // input waits for start
    Stream* raw = s.get();
    {
        std::lock_guard<std::mutex> lock(g_registry_mutex);
        g_streams[raw->handle] = std::move(s);
    }
    raw->worker = std::thread(output ? output_worker : input_worker, std::ref(*raw));
    *handle = raw->handle;
    events::post(target, output ? kWomOpen : kWimOpen, raw->handle, 0);
    return kOk;
}

int prepare(Handle h, Header* header, bool output)
{
    Stream* s = find(h, output);
    if (!s)
        return kInvalidHandle;
    if (!header || (!header->data && header->buffer_length))
        return kInvalidParam;
    std::lock_guard<std::mutex> lock(s->mutex);
    header->flags |= kPrepared;
    return kOk;
}

int unprepare(Handle h, Header* header, bool output)
{
    Stream* s = find(h, output);
    if (!s)
        return kInvalidHandle;
    if (!header)
        return kInvalidParam;
    std::lock_guard<std::mutex> lock(s->mutex);
    if (header->flags & kInQueue)
        return kStillPlaying;
    header->flags &= ~static_cast<uint32_t>(kPrepared);
    return kOk;
}

int enqueue(Handle h, Header* header, bool output)
{
    Stream* s = find(h, output);
    if (!s)
        return kInvalidHandle;
    if (!header)
        return kInvalidParam;
    std::lock_guard<std::mutex> lock(s->mutex);
    if (!(header->flags & kPrepared))
        return kUnprepared;
    if (header->flags & kInQueue)
        return kStillPlaying;
    header->flags = (header->flags | kInQueue) & ~static_cast<uint32_t>(kDone);
    if (!output) {
        header->bytes_recorded = 0;
        if (s->starved) {
            // The device ran on with nowhere to put its sound: that stretch is gone, and
            // the clock of a virtual input starts again from now.
            s->starved = false;
            const uint32_t now = clock::now_ms();
            const uint32_t chunk_ms =
                s->chunk_bytes() * 1000 / std::max<uint32_t>(1, s->format.avg_bytes_per_sec);
            // A card keeps sound in its own buffer meanwhile and says when that filled
            // (its port counts those); the virtual input has no buffer of its own.
            if (s->port->is_virtual() && !s->paused &&
                now - s->starved_since >= std::max<uint32_t>(1, chunk_ms)) {
                ++s->overruns;
                s->run_origin = now;
            }
        }
    }
    if (output && s->queue.empty())
        s->run_origin = clock::now_ms();
    s->queue.push_back(header);
    s->poke();
    return kOk;
}

// Hands every queued buffer back, in order.
void return_all(Stream& s)
{
    ++s.generation;
    while (!s.queue.empty())
        finish_front(s, s.output ? kWomDone : kWimData);
    s.position = 0;
    s.poke();
}

int close_stream(Handle h, bool output)
{
    std::unique_ptr<Stream> owned;
    {
        std::lock_guard<std::mutex> lock(g_registry_mutex);
        auto it = g_streams.find(h);
        if (it == g_streams.end() || it->second->output != output)
            return kInvalidHandle;
        {
            std::lock_guard<std::mutex> slock(it->second->mutex);
            if (!it->second->queue.empty())
                return kStillPlaying;
        }
        owned = std::move(it->second);
        g_streams.erase(it);
    }
    {
        std::lock_guard<std::mutex> lock(owned->mutex);
        owned->closing = true;
        owned->poke();
    }
    if (owned->worker.joinable())
        owned->worker.join();
    events::post(owned->target, output ? kWomClose : kWimClose, h, 0);
    return kOk;
}

int get_position(Handle h, Position& p, bool output)
{
    Stream* s = find(h, output);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    uint64_t bytes = s->position;
    if (output)
        bytes -= std::min<uint64_t>(bytes, s->port->delay_bytes());
    const Format& f = s->format;
    p.bytes = static_cast<uint32_t>(bytes);
    p.samples = static_cast<uint32_t>(bytes / std::max<uint16_t>(1, f.block_align));
    p.ms = static_cast<uint32_t>(bytes * 1000 / std::max<uint32_t>(1, f.avg_bytes_per_sec));
    // Time code is not a form these devices count in; they answer in bytes.
    if (p.type != kTimeMs && p.type != kTimeSamples)
        p.type = kTimeBytes;
    return kOk;
}

} // namespace

namespace detail {

uint32_t Stream::chunk_bytes() const
{
    // About 10 ms: pause and reset take effect within that.
    const uint32_t align = std::max<uint16_t>(1, format.block_align);
    const uint32_t n = format.avg_bytes_per_sec / 100 / align * align;
    return std::max(n, align);
}

} // namespace detail

Caps& selected_input_caps()
{
    static Caps caps;
    return caps;
}

bool select_input_device(int device)
{
    Caps caps;
    if (in_caps(device, caps) != kOk)
        return false;
    selected_input_caps() = caps;
    return true;
}

Backend backend()
{
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    if (!g_backend) {
        const char* env = std::getenv("KELVARA_AUDIO");
        const std::string v = env ? env : "";
        if (v == "alsa")
            g_backend = Backend::Alsa;
        else if (v == "virtual")
            g_backend = Backend::Virtual;
        else
            g_backend = detail::alsa_has_card() ? Backend::Alsa : Backend::Virtual;
    }
    return *g_backend;
}

void set_backend(Backend b)
{
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    g_backend = b;
}

void unset_backend()
{
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    g_backend.reset();
}

void set_virtual_sink(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    g_sink = path;
}

std::string virtual_sink()
{
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    if (g_sink)
        return *g_sink;
    const char* env = std::getenv("KELVARA_VIRTUAL_SINK");
    return env ? env : "";
}

std::string alsa_default_pcm()
{
    const char* env = std::getenv("KELVARA_ALSA_PCM");
    return env && *env ? env : "default";
}

// ---- Output ----

int out_device_count()
{
    return backend() == Backend::Virtual ? 1 : detail::alsa_device_count(false);
}

int out_caps(int device, Caps& caps)
{
    if (backend() == Backend::Alsa)
        return detail::alsa_caps(false, device, caps);
    if (device != 0)
        return kBadDeviceId;
    caps = Caps{};
    return kOk;
}

int out_open(Handle* handle, int device, const Format& format, void* target, uint32_t flags)
{
    return open_stream(true, handle, device, format, target, flags);
}

int out_prepare(Handle h, Header* header)
{
    return prepare(h, header, true);
}

int out_unprepare(Handle h, Header* header)
{
    return unprepare(h, header, true);
}

int out_write(Handle h, Header* header)
{
    return enqueue(h, header, true);
}

int out_pause(Handle h)
{
    Stream* s = find(h, true);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->paused = true;
    s->poke();
    return kOk;
}

int out_restart(Handle h)
{
    Stream* s = find(h, true);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->paused = false;
    s->run_origin = clock::now_ms();
    s->poke();
    return kOk;
}

int out_reset(Handle h)
{
    Stream* s = find(h, true);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->paused = false;
    return_all(*s);
    return kOk;
}

int out_close(Handle h)
{
    return close_stream(h, true);
}

int out_get_position(Handle h, Position& position)
{
    return get_position(h, position, true);
}

int out_set_volume(int device, uint32_t volume)
{
    if (device < 0 || device >= out_device_count())
        return kBadDeviceId;
    std::lock_guard<std::mutex> lock(g_settings_mutex);
    g_volume[device] = volume;
    return kOk;
}

int out_get_volume(int device, uint32_t* volume)
{
    if (!volume)
        return kInvalidParam;
    if (device < 0 || device >= out_device_count())
        return kBadDeviceId;
    *volume = volume_of(device);
    return kOk;
}

MasterVolume set_master_volume(int device, int left, int right)
{
    left = std::clamp(left, 0, 255);
    right = std::clamp(right, 0, 255);
    MasterVolume result;
    if (backend() == Backend::Alsa && detail::alsa_set_master(device, left, right)) {
        result.hardware = true;
        // The mixer does the work; our own gain stays out of the way.
        out_set_volume(device, 0xFFFFFFFFu);
        return result;
    }
    const uint32_t l = static_cast<uint32_t>(left) * 0xFFFF / 255;
    const uint32_t r = static_cast<uint32_t>(right) * 0xFFFF / 255;
    result.software = l | (r << 16);
    out_set_volume(device, result.software);
    return result;
}

// ---- Input ----

int in_device_count()
{
    return backend() == Backend::Virtual ? 1 : detail::alsa_device_count(true);
}

int in_caps(int device, Caps& caps)
{
    if (backend() == Backend::Alsa)
        return detail::alsa_caps(true, device, caps);
    if (device != 0)
        return kBadDeviceId;
    caps = Caps{};
    caps.name = "Virtual audio input";
    caps.support = 0;
    return kOk;
}

int in_open(Handle* handle, int device, const Format& format, void* target, uint32_t flags)
{
    return open_stream(false, handle, device, format, target, flags);
}

int in_prepare(Handle h, Header* header)
{
    return prepare(h, header, false);
}

int in_unprepare(Handle h, Header* header)
{
    return unprepare(h, header, false);
}

int in_add_buffer(Handle h, Header* header)
{
    return enqueue(h, header, false);
}

int in_start(Handle h)
{
    Stream* s = find(h, false);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->paused = false;
    s->starved = false;
    s->run_origin = clock::now_ms();
    s->poke();
    return kOk;
}

int in_stop(Handle h)
{
    Stream* s = find(h, false);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->paused = true;
    ++s->generation;
    if (!s->queue.empty() && s->queue.front()->bytes_recorded > 0)
        finish_front(*s, kWimData);
    s->poke();
    return kOk;
}

int in_reset(Handle h)
{
    Stream* s = find(h, false);
    if (!s)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(s->mutex);
    s->paused = true;
    return_all(*s);
    return kOk;
}

int in_close(Handle h)
{
    return close_stream(h, false);
}

int in_get_position(Handle h, Position& position)
{
    return get_position(h, position, false);
}

uint32_t in_overruns(Handle h)
{
    Stream* s = find(h, false);
    if (!s)
        return 0;
    std::lock_guard<std::mutex> lock(s->mutex);
    return s->overruns;
}

void settle()
{
    if (!clock::is_fixed())
        return;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        bool all = true;
        {
            std::lock_guard<std::mutex> lock(g_registry_mutex);
            const uint32_t now = clock::now_ms();
            for (auto& [h, s] : g_streams) {
                if (!s->port->is_virtual())
                    continue;
                std::lock_guard<std::mutex> slock(s->mutex);
                if (!(s->idle_wait || (s->clock_wait && s->clock_seen == now))) {
                    all = false;
                    break;
                }
            }
        }
        if (all || std::chrono::steady_clock::now() > give_up)
            return;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

} // namespace kel::wave_device
