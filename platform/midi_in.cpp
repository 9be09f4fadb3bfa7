// MIDI input: the handle table, the virtual input that plays a file of timed bytes on
// kel::clock, and the ALSA sequencer backend. Both feed their bytes through one parser
// per handle and post what it gives to the handle's target; nothing calls the program
// from a device thread.
#include "platform/midi_in.h"

#include "platform/clock.h"
#include "platform/events.h"
#include "platform/midi_devices.h"
#include "platform/midi_parser.h"

#include <alsa/asoundlib.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kel::midi_in {

namespace {

// One line of the virtual input's file: its bytes and when they are due, in ms of the
// time the input has run.
struct Line
{
    uint64_t due = 0;
    std::vector<uint8_t> bytes;
};

struct Input
{
    Handle handle = 0;
    int device = 0;
    events::Target target = nullptr;
    std::mutex mutex;
    std::condition_variable wake;
    bool started = false;
    bool closing = false;
    uint32_t start_ms = 0; // the clock at the latest start
    midi::Parser parser;
    std::thread worker;

    // Virtual input.
    bool is_virtual = false;
    std::vector<Line> lines;
    size_t next = 0;
    uint64_t ran_before = 0; // ms the input ran before the latest start
    bool idle_wait = false;  // waiting for start (or has nothing left)
    bool clock_wait = false; // waiting for the clock, which read clock_seen
    uint32_t clock_seen = 0;

    // Sequencer.
    snd_seq_t* seq = nullptr;
    snd_midi_event_t* decoder = nullptr;
    int wake_pipe[2] = {-1, -1};

    // Ends the worker; close() does it first, this is for a program that exits with
    // an input open.
    void end_worker();
    ~Input();
};

std::mutex g_table_mutex;
std::map<Handle, std::shared_ptr<Input>> g_inputs;
std::atomic<Handle> g_next_handle{1};

std::mutex g_file_mutex;
std::string g_file;
bool g_file_set = false;

std::shared_ptr<Input> find(Handle h)
{
    std::lock_guard<std::mutex> lock(g_table_mutex);
    auto it = g_inputs.find(h);
    return it == g_inputs.end() ? nullptr : it->second;
}

// Runs the bytes through the handle's parser and posts what comes out. Called with the
// input's mutex held.
void deliver(Input& in, const uint8_t* bytes, size_t n, uint32_t stamp)
{
    midi::Parser::Event out[2];
    for (size_t i = 0; i < n; ++i) {
        const int k = in.parser.feed(bytes[i], out);
        for (int j = 0; j < k; ++j)
            events::post_timed(in.target,
                               out[j].kind == midi::Parser::Kind::Message ? kMimData : kMimError,
                               in.handle, static_cast<intptr_t>(out[j].packed), stamp);
    }
}

// ---- The virtual input ----

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "<ms> <hex> <hex> ..."; false for anything else, which the file then goes without.
bool parse_line(const char* text, uint64_t& ms, std::vector<uint8_t>& bytes)
{
    const char* p = text;
    auto skip_space = [&] {
        while (*p == ' ' || *p == '\t' || *p == '\r')
            ++p;
    };
    skip_space();
    if (*p < '0' || *p > '9')
        return false;
    ms = 0;
    while (*p >= '0' && *p <= '9') {
        ms = ms * 10 + static_cast<uint64_t>(*p - '0');
        if (ms > 0xFFFFFFFFull)
            return false;
        ++p;
    }
    if (*p != ' ' && *p != '\t')
        return false;
    bytes.clear();
    for (;;) {
        skip_space();
        if (!*p)
            break;
        if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
            p += 2;
        int value = 0, digits = 0;
        for (int d; (d = hex_digit(*p)) >= 0; ++p) {
            value = value * 16 + d;
            if (++digits > 2)
                return false;
        }
        if (digits == 0 || (*p && *p != ' ' && *p != '\t' && *p != '\r'))
            return false;
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return !bytes.empty();
}

// The file's lines in file order; a time earlier than the line before waits for that one.
bool read_script(const std::string& path, std::vector<Line>& lines)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buffer[4096];
    uint64_t last = 0;
    bool overlong = false;
    std::vector<uint8_t> bytes;
    while (std::fgets(buffer, sizeof buffer, f)) {
        const size_t len = std::strlen(buffer);
        const bool whole = len > 0 && buffer[len - 1] == '\n';
        // The rest of a line longer than the buffer goes with it.
        if (overlong) {
            overlong = !whole;
            continue;
        }
        if (!whole && !std::feof(f)) {
            overlong = true;
            continue;
        }
        if (whole)
            buffer[len - 1] = '\0';
        if (char* hash = std::strchr(buffer, '#'))
            *hash = '\0';
        uint64_t ms = 0;
        if (!parse_line(buffer, ms, bytes))
            continue;
        last = std::max(last, ms);
        lines.push_back({last, bytes});
    }
    std::fclose(f);
    return true;
}

void virtual_worker(Input& in)
{
    std::unique_lock<std::mutex> lock(in.mutex);
    while (!in.closing) {
        if (!in.started || in.next >= in.lines.size()) {
            in.idle_wait = true;
            in.wake.wait(lock);
            in.idle_wait = false;
            continue;
        }
        const uint32_t now = clock::now_ms();
        const uint64_t ran = in.ran_before + static_cast<uint32_t>(now - in.start_ms);
        const Line& line = in.lines[in.next];
        if (line.due <= ran) {
            deliver(in, line.bytes.data(), line.bytes.size(), static_cast<uint32_t>(line.due));
            ++in.next;
            continue;
        }
        in.clock_wait = true;
        in.clock_seen = now;
        if (clock::is_fixed())
            in.wake.wait_for(lock, std::chrono::microseconds(500));
        else
            in.wake.wait_for(lock, std::chrono::milliseconds(static_cast<long>(line.due - ran)));
        in.clock_wait = false;
    }
}

// ---- The sequencer ----

bool have_sequencer()
{
    return access("/dev/snd/seq", F_OK) == 0;
}

void sequencer_worker(Input& in)
{
    const int count = snd_seq_poll_descriptors_count(in.seq, POLLIN);
    std::vector<pollfd> fds(static_cast<size_t>(std::max(0, count)) + 1);
    const int n =
        snd_seq_poll_descriptors(in.seq, fds.data(), static_cast<unsigned>(count), POLLIN);
    fds[static_cast<size_t>(n)] = {in.wake_pipe[0], POLLIN, 0};
    const nfds_t total = static_cast<nfds_t>(n) + 1;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(in.mutex);
            if (in.closing)
                return;
        }
        if (poll(fds.data(), total, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[static_cast<size_t>(n)].revents) {
            char drain[16];
            while (read(in.wake_pipe[0], drain, sizeof drain) > 0) {
            }
            continue; // closing is looked at above
        }
        for (int i = 0; i < n; ++i)
            if (fds[static_cast<size_t>(i)].revents & (POLLERR | POLLHUP | POLLNVAL))
                return; // the sequencer went away: nothing more will come
        for (;;) {
            snd_seq_event_t* event = nullptr;
            const int r = snd_seq_event_input(in.seq, &event);
            if (r == -ENOSPC)
                continue; // the kernel's queue overflowed: those events are gone
            if (r < 0 || !event)
                break;
            uint8_t bytes[256];
            // System exclusive longer than this is dropped whole; the parser drops it anyway.
            const long got = snd_midi_event_decode(in.decoder, bytes, sizeof bytes, event);
            if (got <= 0)
                continue; // not a MIDI event (subscriptions, ...)
            std::lock_guard<std::mutex> lock(in.mutex);
            if (in.started)
                deliver(in, bytes, static_cast<size_t>(got), clock::now_ms() - in.start_ms);
        }
    }
}

void close_sequencer(Input& in);

void Input::end_worker()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        closing = true;
        started = false;
        wake.notify_all();
        if (wake_pipe[1] >= 0) {
            const char poke = 1;
            if (write(wake_pipe[1], &poke, 1) < 0) {
            }
        }
    }
    if (worker.joinable())
        worker.join();
}

Input::~Input()
{
    end_worker();
    close_sequencer(*this);
}

void close_sequencer(Input& in)
{
    if (in.decoder)
        snd_midi_event_free(in.decoder);
    if (in.seq)
        snd_seq_close(in.seq);
    for (int& fd : in.wake_pipe)
        if (fd >= 0)
            ::close(fd);
    in.decoder = nullptr;
    in.seq = nullptr;
    in.wake_pipe[0] = in.wake_pipe[1] = -1;
}

int open_sequencer(Input& in, const midi_devices::MidiCaps& source)
{
    if (snd_seq_open(&in.seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) {
        in.seq = nullptr;
        return kNoDriver;
    }
    snd_seq_set_client_name(in.seq, "Kelvara");
    const int port = snd_seq_create_simple_port(
        in.seq, "Kelvara Orlo", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    int result = kOk;
    if (port < 0)
        result = kError;
    else if (snd_seq_connect_from(in.seq, port, source.client, source.port) < 0)
        result = kBadDeviceId; // the port went away since it was listed
    else if (snd_midi_event_new(256, &in.decoder) < 0)
        result = kNoMem;
    else if (pipe2(in.wake_pipe, O_CLOEXEC | O_NONBLOCK) < 0)
        result = kError;
    if (result != kOk) {
        close_sequencer(in);
        return result;
    }
    // Every message with its own status byte: the parser needs no memory of the decoder's.
    snd_midi_event_no_status(in.decoder, 1);
    return kOk;
}

} // namespace

int device_count()
{
    return static_cast<int>(midi_devices::inputs().size());
}

int open(Handle* handle, int device, void* target)
{
    if (!handle)
        return kInvalidParam;
    if (device < 0)
        return kBadDeviceId;
    auto in = std::make_shared<Input>();
    in->device = device;
    in->target = target;
    if (device == 0) {
        const std::string path = virtual_file();
        if (path.empty() || !read_script(path, in->lines))
            return kNoDriver;
        in->is_virtual = true;
    } else if (!have_sequencer()) {
        return kNoDriver;
    }
    {
        std::lock_guard<std::mutex> lock(g_table_mutex);
        for (auto& [h, other] : g_inputs)
            if (other->device == device)
                return kAllocated;
    }
    if (!in->is_virtual) {
        const std::vector<midi_devices::MidiCaps> list = midi_devices::inputs();
        if (device >= static_cast<int>(list.size()) || list[static_cast<size_t>(device)].client < 0)
            return kBadDeviceId;
        const int r = open_sequencer(*in, list[static_cast<size_t>(device)]);
        if (r != kOk)
            return r;
    }
    {
        std::lock_guard<std::mutex> lock(g_table_mutex);
        // Another open of the same device may have won meanwhile.
        for (auto& [h, other] : g_inputs) {
            if (other->device == device) {
                close_sequencer(*in);
                return kAllocated;
            }
        }
        in->handle = g_next_handle.fetch_add(1);
        g_inputs[in->handle] = in;
    }
    Input& raw = *in;
    raw.worker = std::thread(raw.is_virtual ? virtual_worker : sequencer_worker, std::ref(raw));
    *handle = raw.handle;
    events::post(target, kMimOpen, raw.handle, 0);
    return kOk;
}

int start(Handle h)
{
    auto in = find(h);
    if (!in)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(in->mutex);
    if (in->started)
        return kOk;
    in->started = true;
    in->start_ms = clock::now_ms();
    // settle() must not take the wait for start for having nothing to do.
    in->idle_wait = false;
    in->wake.notify_all();
    return kOk;
}

int stop(Handle h)
{
    auto in = find(h);
    if (!in)
        return kInvalidHandle;
    std::lock_guard<std::mutex> lock(in->mutex);
    if (!in->started)
        return kOk;
    in->ran_before += static_cast<uint32_t>(clock::now_ms() - in->start_ms);
    in->started = false;
    in->wake.notify_all();
    return kOk;
}

int close(Handle h)
{
    std::shared_ptr<Input> in;
    {
        std::lock_guard<std::mutex> lock(g_table_mutex);
        auto it = g_inputs.find(h);
        if (it == g_inputs.end())
            return kInvalidHandle;
        in = std::move(it->second);
        g_inputs.erase(it);
    }
    in->end_worker();
    close_sequencer(*in);
    events::post(in->target, kMimClose, h, 0);
    return kOk;
}

bool is_open(Handle h)
{
    return find(h) != nullptr;
}

uint32_t last_time_stamp()
{
    return events::message_time();
}

void set_virtual_file(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_file_mutex);
    g_file = path;
    g_file_set = true;
}

std::string virtual_file()
{
    std::lock_guard<std::mutex> lock(g_file_mutex);
    if (g_file_set)
        return g_file;
    const char* env = std::getenv("KELVARA_VIRTUAL_MIDI");
    return env ? env : "";
}

void settle()
{
    if (!clock::is_fixed())
        return;
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        std::vector<std::shared_ptr<Input>> inputs;
        {
            std::lock_guard<std::mutex> lock(g_table_mutex);
            for (auto& [h, in] : g_inputs)
                if (in->is_virtual)
                    inputs.push_back(in);
        }
        bool all = true;
        const uint32_t now = clock::now_ms();
        for (auto& in : inputs) {
            std::lock_guard<std::mutex> lock(in->mutex);
            if (!(in->idle_wait || (in->clock_wait && in->clock_seen == now))) {
                all = false;
                break;
            }
        }
        if (all || std::chrono::steady_clock::now() > give_up)
            return;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

} // namespace kel::midi_in
