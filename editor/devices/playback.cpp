// Playing a document: the start steps and play-range rules, the ring of buffers, the
// device's open and done notifications, loops, pause and stop, the tracking tick.
#include "editor/devices/playback.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/devices/playback_commands.h"
#include "editor/devices/playback_controller.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace wd = kel::wave_device;
namespace ev = kel::events;

int loop_playback_flag = 0;
SmpteLeadIn smpte_lead_in;
int trigger_on_mtc = 0;
std::function<int()> mtc_trigger_hook;

namespace {

PlaybackObserver g_silent;

void* target_of(CChildFrame& doc)
{
    return doc.view_window ? doc.view_window : doc.window;
}

wd::Format device_format(const WaveFormat& f)
{
    wd::Format d;
    d.format_tag = f.format_tag;
    d.channels = f.channels;
    d.sample_rate = f.sample_rate;
    d.avg_bytes_per_sec = f.avg_bytes_per_sec;
    d.block_align = f.block_align;
    d.bits_per_sample = f.bits_per_sample;
    return d;
}

void unprepare_all(PlaybackState& pb)
{
    for (int i = 0; i < kMaxBuffers; ++i)
        if (pb.headers[i].flags & wd::kPrepared)
            wd::out_unprepare(pb.device, &pb.headers[i]);
}

// Reads the next chunk of the pass into a slot.
bool read_chunk(PlaybackState& pb, int slot)
{
    if (!pb.source || pb.bytes_read >= pb.bytes_total)
        return false;
    const unsigned long n = std::min(pb.bytes_total - pb.bytes_read, pb.buffer_size);
    const int64_t got = pb.source->read(pb.buffers[slot].get(), static_cast<int64_t>(n));
    if (got < 1)
        return false;
    pb.bytes_read += static_cast<unsigned long>(got);
    wd::Header& h = pb.headers[slot];
    h = wd::Header{};
    h.data = pb.buffers[slot].get();
    h.buffer_length = static_cast<uint32_t>(got);
    pb.filled[slot] = true;
    pb.queued += 1;
    return true;
}

void fill_ring(PlaybackState& pb)
{
    for (int i = 0; i < kMaxBuffers; ++i)
        pb.filled[i] = false;
    for (int i = 0; i < pb.buffer_count; ++i)
        if (!read_chunk(pb, i))
            break;
}

void write_slot(PlaybackState& pb, int slot)
{
    wd::out_prepare(pb.device, &pb.headers[slot]);
    wd::out_write(pb.device, &pb.headers[slot]);
}

// Buffers of at least buffer_size bytes for buffer_count slots.
bool allocate_ring(PlaybackState& pb)
{
    for (int i = 0; i < pb.buffer_count; ++i) {
        if (pb.capacity[i] >= pb.buffer_size && pb.buffers[i])
            continue;
        pb.buffers[i].reset(new (std::nothrow) char[std::max(1ul, pb.buffer_size)]);
        pb.capacity[i] = pb.buffers[i] ? pb.buffer_size : 0;
        if (!pb.buffers[i])
            return false;
    }
    return true;
}

void on_message(const ev::Message& m)
{
    PlaybackState& pb = playback_state();
    if (!pb.doc)
        return;
    if (m.message == ev::kWmTimer) {
        if (m.wparam == kTrackingTimer && pb.is_playing)
            playback::tick();
        return;
    }
    // A late word from a device we have closed is not ours any more.
    if (m.wparam != pb.device || !pb.is_playing)
        return;
    if (m.message == wd::kWomOpen)
        playback::prime();
    else if (m.message == wd::kWomDone)
        playback::buffer_done();
}

// waveOutClose and the end of our listening.
void close_device(PlaybackState& pb)
{
    if (pb.device) {
        unprepare_all(pb);
        if (wd::out_close(pb.device) == wd::kStillPlaying) {
            wd::out_reset(pb.device);
            wd::out_close(pb.device);
        }
    }
    pb.device = 0;
    if (pb.subscription)
        ev::unsubscribe(pb.subscription);
    pb.subscription = 0;
}

int output_device_preference()
{
    return static_cast<int>(kel::profile::read_int("Preferences", "Default Wave output device", 0,
                                                   kel::profile::app_profile()));
}

} // namespace

bool prime_short_play(PlaybackState& pb, uint64_t from, uint64_t bytes)
{
    for (int i = 0; i < pb.buffer_count; ++i) {
        if (pb.buffers[i] && pb.capacity[i] >= pb.buffer_size)
            continue;
        pb.buffers[i].reset(new (std::nothrow) char[pb.buffer_size]);
        pb.capacity[i] = pb.buffers[i] ? pb.buffer_size : 0;
        if (!pb.buffers[i]) {
            NewErrMsg(5001);
            pb.source.reset();
            return false;
        }
    }
    pb.bytes_total = static_cast<unsigned long>(bytes);
    pb.bytes_read = 0;
    pb.start_offset = static_cast<unsigned long>(from);
    pb.source->seek(static_cast<int64_t>(from), SEEK_SET);
    pb.queued = 0;
    pb.next_slot = 0;
    pb.loop_on = 0;
    pb.loop_pass = 0;
    pb.stop_requested = 0;
    pb.short_play = 1;
    for (int i = 0; i < kMaxBuffers; ++i)
        pb.filled[i] = false;
    for (int i = 0; i < pb.buffer_count && pb.bytes_read < pb.bytes_total; ++i) {
        const unsigned long n = std::min(pb.bytes_total - pb.bytes_read, pb.buffer_size);
        const int64_t got = pb.source->read(pb.buffers[i].get(), static_cast<int64_t>(n));
        if (got < 1)
            break;
        pb.bytes_read += static_cast<unsigned long>(got);
        pb.headers[i] = wd::Header{};
        pb.headers[i].data = pb.buffers[i].get();
        pb.headers[i].buffer_length = static_cast<uint32_t>(got);
        pb.filled[i] = true;
        pb.queued += 1;
    }
    if (pb.queued == 0) {
        pb.source.reset();
        return false;
    }
    return true;
}

// Opens the device for the ring that has been filled; a failure is a beep only.
bool open_playback_device(PlaybackState& pb, const wd::Format& format)
{
    wd::Handle h = 0;
    if (wd::out_open(&h, output_device_preference(), format, pb.target) != wd::kOk) {
        kel::ui().beep();
        return false;
    }
    pb.device = h;
    pb.subscription = ev::subscribe(pb.target, on_message);
    return true;
}

namespace {

// The master volume for the channels that take part.
void apply_channel_volume(CChildFrame& doc, PlaybackState& pb)
{
    const int mode = doc.compute_channel_mode();
    const int left = mode == 3 ? 0 : pb.play_volume;
    const int right = mode == 2 ? 0 : pb.play_volume;
    wd::set_master_volume(output_device_preference(), left, right);
}

} // namespace

PlaybackState& playback_state()
{
    static PlaybackState state;
    return state;
}

void set_playback_observer(PlaybackObserver* observer)
{
    playback_state().observer = observer;
}

PlaybackObserver& playback_observer()
{
    PlaybackObserver* observer = playback_state().observer;
    return observer ? *observer : g_silent;
}

void set_play_volume(int volume)
{
    PlaybackState& pb = playback_state();
    pb.play_volume = std::clamp(volume, 0, 255);
    wd::set_master_volume(output_device_preference(), pb.play_volume, pb.play_volume);
}

int reported_play_volume()
{
    uint32_t v = 0;
    if (wd::out_get_volume(output_device_preference(), &v) != wd::kOk)
        return playback_state().play_volume;
    // A mixer keeps our own gain at full: the level set is what it holds.
    if (v == 0xFFFFFFFFu)
        return playback_state().play_volume;
    return static_cast<int>(((v & 0xFFFF) * 255 + 0x7FFF) / 0xFFFF);
}

std::string play_time_text(double seconds, int time_format)
{
    char text[64];
    if (seconds < 0)
        seconds = 0;
    if (time_format == 24 || time_format == 25 || time_format == 30) {
        const int hours = static_cast<int>(seconds / 3600.0);
        double rest = seconds - hours * 3600.0;
        const int minutes = static_cast<int>(rest / 60.0);
        rest -= minutes * 60.0;
        const int secs = static_cast<int>(rest);
        const int frames = static_cast<int>((rest - secs) * time_format);
        std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", hours, minutes, secs, frames);
    } else {
        std::snprintf(text, sizeof text, "%7.3f%s", seconds, " sec");
    }
    return text;
}

void buffer_levels(const char* data, unsigned long length, int channels, int bits, int* left,
                   int* right, short* spectrum)
{
    int peak[2] = {-32767, -32767};
    const int bps = bits == 8 ? 1 : 2;
    const unsigned long frame = static_cast<unsigned long>(std::max(1, channels * bps));
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned long frames = data ? length / frame : 0;
    const int used = std::min(channels, 2);
    auto sample = [&](unsigned long f, int c) {
        const unsigned char* s = p + f * frame + static_cast<unsigned long>(c * bps);
        return bps == 1 ? static_cast<int>(s[0]) - 128
                        : static_cast<int>(static_cast<int16_t>(s[0] | (s[1] << 8)));
    };
    // The last two frames are left out.
    for (unsigned long f = 0; f + 2 < frames; ++f)
        for (int c = 0; c < used; ++c)
            peak[c] = std::max(peak[c], sample(f, c));
    if (spectrum) {
        for (unsigned long f = 0; f < static_cast<unsigned long>(kSpectrumTable); ++f)
            spectrum[f] = f < frames ? static_cast<short>(sample(f, 0)) : 0;
    }
    if (bps == 2) {
        peak[0] /= 256;
        peak[1] /= 256;
    }
    if (channels != 2)
        peak[1] = peak[0];
    *left = peak[0];
    *right = peak[1];
}

int CChildFrame::play_the_wavefile()
{
    return playback::start(*this);
}

namespace playback {

int start(CChildFrame& doc, const PlayRequest& request)
{
    PlaybackState& pb = playback_state();
    PlaybackObserver& view = playback_observer();
    if (wd::out_device_count() < 1)
        return 0;
    if (doc.video_source) {
        pb.saved_first_visible = doc.first_visible;
        if (!doc.current.has_selection)
            doc.first_visible = 0;
        view.scroll_to(doc, doc.current.has_selection ? doc.current.select_start : 0);
    }
    if (pb.is_playing) {
        CChildFrame* playing = pb.doc;
        wd::out_reset(pb.device);
        if (playing)
            end();
        close_device(pb);
        return 0;
    }
    const long total = doc.current.total_samples;
    if (total < 30)
        return 0;
    apply_channel_volume(doc, pb);

    pb.next_slot = 0;
    pb.loop_pass = 0;
    pb.clipboard_mode = 0;
    pb.from_record_dialog = 0;
    pb.loop_on = loop_playback_flag;
    pb.saved_zoom_level = doc.current.zoom_level;
    doc.current.zoom_level = doc.current.level_count;

    // The play range, first rule that applies; whole frames only.
    const long channels = std::max<long>(1, doc.wave_format.channels);
    long from = 0;
    long to = total;
    if (request.from >= 0) {
        from = request.from;
    } else if (doc.current.has_selection) {
        from = doc.view_to_sample(doc.select_x_start);
        to = doc.view_to_sample(doc.select_x_end);
        if (from == 0 && to == total)
            to = total < 9 ? 8 : total - 8;
        if (to == from)
            to = from + 8;
    }
    from = std::clamp(from, 0L, total) / channels * channels;
    to = std::clamp(to, from, total) / channels * channels;
    const long w = std::max(1, doc.bytes_per_sample());
    const float total_ms = doc.get_total_milliseconds();
    doc.play_from = static_cast<uint64_t>(from);
    doc.play_to = static_cast<uint64_t>(to);
    doc.play_start_byte = static_cast<uint64_t>(from * w);
    doc.play_end_byte = static_cast<uint64_t>(to * w);
    doc.play_start_ms = static_cast<uint64_t>(static_cast<double>(from) * total_ms / total);
    doc.play_end_ms = static_cast<uint64_t>(static_cast<double>(to) * total_ms / total);
    if (doc.play_end_ms == doc.play_start_ms)
        doc.play_end_ms = doc.play_start_ms + 8;
    if (doc.current.has_selection && request.from < 0) {
        doc.current.select_start_byte = static_cast<long>(doc.play_start_byte);
        doc.current.select_end_byte = static_cast<long>(doc.play_end_byte);
    }
    pb.queued = 0;

    // Open the source, choose and fill the ring, open the device.
    pb.source = kel::riff::File::open(doc.current.file_name, kel::riff::File::Mode::Read);
    if (!pb.source) {
        NewErrMsg(5007);
        doc.current.zoom_level = pb.saved_zoom_level;
        return 0;
    }
    const unsigned long S0 = static_cast<unsigned long>(doc.wave_format.channels) *
                             static_cast<unsigned long>(w) * doc.wave_format.sample_rate / 10;
    const unsigned long M = static_cast<unsigned long>(doc.play_end_byte - doc.play_start_byte) *
                            static_cast<unsigned long>(w);
    float T = total_ms / static_cast<float>(total) * static_cast<float>(M) / 1000.0f;
    const bool sixteen =
        doc.wave_format.bits_per_sample >= 16 && doc.wave_format.bits_per_sample <= 23;
    pb.buffer_count = 4;
    if (sixteen && (M / 4 < S0 || T < 1.24f))
        pb.buffer_count = 1;
    pb.buffer_size = std::min(M / static_cast<unsigned long>(pb.buffer_count), S0);
    if (sixteen)
        T *= 0.25f;
    pb.short_play = T < 0.5f ? 1 : 0;
    if (!allocate_ring(pb)) {
        NewErrMsg(5001);
        pb.source.reset();
        doc.current.zoom_level = pb.saved_zoom_level;
        return 0;
    }
    pb.bytes_read = 0;
    pb.bytes_total = doc.play_end_byte - doc.play_start_byte;
    pb.start_offset = doc.play_start_byte & ~uint64_t{3};
    pb.source->seek(static_cast<int64_t>(pb.start_offset), SEEK_SET);
    fill_ring(pb);
    pb.doc = &doc;
    pb.target = target_of(doc);
    // Nothing to play (an empty range or an emptied file) would leave the ring waiting
    // for buffers that never come back.
    if (pb.queued == 0 || !open_playback_device(pb, device_format(doc.wave_format))) {
        pb.source.reset();
        pb.queued = 0;
        doc.current.zoom_level = pb.saved_zoom_level;
        return 0;
    }

    pb.is_playing = 1;
    pb.is_paused = 0;
    if (!pb.short_play) {
        playback_commands::suspend_editing();
        view.commands_changed();
    }
    pb.stop_requested = 0;
    pb.start_time = kel::clock::now_ms();
    pb.tick_count = 0;
    pb.caret_moved = 0;
    pb.position = 0.0f;
    pb.device_bytes.reset();
    pb.device_frames.reset();
    pb.time_offset = static_cast<float>(doc.play_start_ms) - static_cast<float>(doc.first_visible) *
                                                                 total_ms /
                                                                 static_cast<float>(total + 1);
    pb.time_format = static_cast<int>(
        kel::profile::read_int("Preferences", "Time format", 1, kel::profile::app_profile()));
    if (!pb.short_play)
        ev::set_timer(pb.target, kTrackingTimer, kTrackingPeriodMs);
    if (!pb.short_play && kel::profile::read_yes_no("Preferences", "Big time display", false,
                                                    kel::profile::app_profile())) {
        pb.time_window_created = true;
        pb.time_window_shown = true;
        view.show_time_window(true);
    }
    view.focus(doc);
    return 1;
}

int start_loop(CChildFrame& doc, const PlayRequest& request)
{
    loop_playback_flag = 1;
    // The menu item shows the flag, whichever way the command came.
    playback_observer().menu_check(cmd::kLoopPlayback, true);
    return start(doc, request);
}

bool is_playing()
{
    return playback_state().is_playing != 0;
}

void prime()
{
    PlaybackState& pb = playback_state();
    // Stopped before the device was ready: nothing goes out.
    if (pb.stop_requested) {
        end();
        close_device(pb);
        return;
    }
    for (int i = 0; i < pb.buffer_count; ++i)
        if (pb.filled[i])
            write_slot(pb, i);
    pb.next_slot = 0;
}

void buffer_done()
{
    PlaybackState& pb = playback_state();
    PlaybackObserver& view = playback_observer();
    const int slot = pb.next_slot;
    wd::out_unprepare(pb.device, &pb.headers[slot]);
    pb.filled[slot] = false;
    pb.queued -= 1;
    // The device returns buffers in order, refilled or not.
    pb.next_slot = (slot + 1) % pb.buffer_count;
    // Refilling even when this was the last buffer out keeps a ring of one going to the
    // end of its range instead of stopping after the first tenth of a second.
    if (!pb.stop_requested && read_chunk(pb, slot)) {
        write_slot(pb, slot);
        return;
    }
    if (pb.queued > 0)
        return;
    if (!pb.loop_on) {
        unprepare_all(pb);
        wd::out_reset(pb.device);
        if (pb.from_record_dialog && pb.record_dialog_end) {
            pb.is_playing = 0;
            pb.record_dialog_end();
        } else {
            end();
        }
        close_device(pb);
        return;
    }
    if (!pb.clipboard_mode && pb.doc)
        view.play_marker(*pb.doc, static_cast<long>(pb.doc->play_from));
    wd::out_reset(pb.device);
    if (pb.loop_counted) {
        pb.loop_pass += 1;
        if (pb.loop_pass >= pb.loop_limit) {
            end();
            close_device(pb);
            return;
        }
    }
    pb.next_slot = 0;
    pb.queued = 0;
    pb.bytes_read = 0;
    pb.position = 0.0f;
    pb.device_bytes.reset();
    pb.device_frames.reset();
    if (pb.source)
        pb.source->seek(static_cast<int64_t>(pb.start_offset), SEEK_SET);
    fill_ring(pb);
    if (pb.queued == 0) {
        end();
        close_device(pb);
        return;
    }
    prime();
}

void stop()
{
    PlaybackState& pb = playback_state();
    if (!pb.is_playing)
        return;
    pb.loop_on = 0;
    pb.stop_requested = 1;
    wd::out_reset(pb.device);
}

void pause()
{
    PlaybackState& pb = playback_state();
    if (!pb.is_playing)
        return;
    if (!pb.is_paused) {
        pb.is_paused = 1;
        wd::out_pause(pb.device);
        ev::kill_timer(pb.target, kTrackingTimer);
        pb.pause_started = kel::clock::now_ms();
    } else {
        pb.is_paused = 0;
        wd::out_restart(pb.device);
        if (!pb.short_play)
            ev::set_timer(pb.target, kTrackingTimer, kTrackingPeriodMs);
        pb.start_time += kel::clock::now_ms() - pb.pause_started;
    }
}

void end()
{
    PlaybackState& pb = playback_state();
    PlaybackObserver& view = playback_observer();
    if (!pb.doc) {
        pb.is_paused = 0;
        pb.is_playing = 0;
        return;
    }
    CChildFrame& doc = *pb.doc;
    if (!pb.clipboard_mode)
        doc.current.zoom_level = pb.saved_zoom_level;
    pb.is_paused = 0;
    pb.is_playing = 0;
    if (pb.target)
        ev::kill_timer(pb.target, kTrackingTimer);
    view.focus(doc);
    if (pb.time_window_shown) {
        pb.time_window_shown = false;
        view.show_time_window(false);
    }
    pb.source.reset();
    view.levels(0, 0);
    if (!pb.clipboard_mode) {
        if (pb.caret_moved)
            view.caret_restored(doc, doc.current.select_start);
        view.redraw_markers_and_rulers(doc);
    }
    if (!pb.short_play) {
        playback_commands::resume_editing();
        view.commands_changed();
    }
    if (!pb.clipboard_mode)
        view.play_marker(doc, static_cast<long>(doc.play_from));
    view.tool_button_state(cmd::kPause, 1);
    if (doc.video_source && !pb.clipboard_mode) {
        doc.first_visible = pb.saved_first_visible;
        view.scroll_to(doc, doc.first_visible);
    }
}

void tick()
{
    PlaybackState& pb = playback_state();
    PlaybackObserver& view = playback_observer();
    if (!pb.is_playing || pb.clipboard_mode || pb.from_record_dialog || !pb.doc)
        return;
    CChildFrame& doc = *pb.doc;
    const long total = doc.current.total_samples;
    const float total_ms = doc.get_total_milliseconds();
    if (total <= 0 || total_ms <= 0.0f)
        return;
    const long w = std::max(1, doc.bytes_per_sample());

    wd::Position p;
    p.type = wd::kTimeBytes;
    if (wd::out_get_position(pb.device, p) == wd::kOk) {
        switch (p.type) {
        case wd::kTimeMs:
            pb.position = static_cast<float>(p.ms);
            break;
        case wd::kTimeSamples:
            pb.device_frames.advance(p.samples);
            pb.position = static_cast<float>(
                static_cast<double>(pb.device_frames.total) * total_ms /
                static_cast<double>(total / std::max<long>(1, doc.wave_format.channels)));
            break;
        case wd::kTimeBytes:
            pb.device_bytes.advance(p.bytes);
            pb.position = static_cast<float>(static_cast<double>(pb.device_bytes.total) * total_ms /
                                             static_cast<double>(total * w));
            break;
        case wd::kTimeSmpte: {
            const int fps = p.smpte.fps == 24 ? 24 : p.smpte.fps == 25 ? 25 : 30;
            pb.position = ((p.smpte.hour * 60.0f + p.smpte.min) * 60.0f + p.smpte.sec +
                           static_cast<float>(p.smpte.frame) / fps) *
                          1000.0f;
            break;
        }
        default:
            break;
        }
    }
    const float device_ms = pb.position;
    long x = static_cast<long>(static_cast<double>(total) * device_ms / total_ms) +
             static_cast<long>(doc.play_from);
    x = std::min(x, total);
    view.play_bar(doc, x, static_cast<double>(x) / static_cast<double>(total + 1));

    int left = 0, right = 0;
    const wd::Header& playing = pb.headers[pb.next_slot];
    buffer_levels(playing.data, playing.buffer_length, doc.wave_format.channels,
                  doc.wave_format.bits_per_sample, &left, &right, pb.spectrum);
    view.levels(left, right);

    ++pb.tick_count;
    const float shown = device_ms + pb.time_offset;
    if (pb.tick_count % 2 == 0) {
        const double seconds = (shown + static_cast<double>(doc.first_visible) * total_ms /
                                            static_cast<double>(total + 1)) /
                               1000.0;
        const std::string text = play_time_text(seconds, pb.time_format);
        view.time_readout(text);
        if (pb.time_window_shown) {
            BigTimeText big;
            big.text = text;
            view.big_time(big);
        }
    }
    if (doc.video_source) {
        view.video_scroll(doc, x);
    } else {
        long caret = x;
        if (doc.current.has_selection)
            caret = std::min(caret, doc.current.select_end);
        view.caret_to(doc, caret);
        pb.caret_moved = 1;
    }
    if (pb.tick_count % 3 == 0)
        view.spectrum(pb.spectrum, kSpectrumTable);
}

void release(CChildFrame& doc)
{
    PlaybackState& pb = playback_state();
    if (pb.doc != &doc)
        return;
    if (pb.is_playing) {
        wd::out_reset(pb.device);
        end();
    }
    close_device(pb);
    pb.source.reset();
    pb.doc = nullptr;
    pb.target = nullptr;
}

} // namespace playback
