// Playing the pseudo clipboard: its data file in the format its text file records.
// No tick, no time window, no cursor.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "editor/edit/clipboard_files.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace wd = kel::wave_device;

namespace {

// The three tokens of "cliptext.clp": channels, bits per sample, rate.
bool read_clipboard_format(const std::string& name, wd::Format& f)
{
    std::FILE* in = std::fopen(name.c_str(), "r");
    if (!in)
        return false;
    long channels = 0, bits = 0, rate = 0;
    const int got = std::fscanf(in, "%ld %ld %ld", &channels, &bits, &rate);
    std::fclose(in);
    // A damaged text file must not reach the device as an impossible format.
    if (got != 3 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate < 1000 ||
        rate > 192000)
        return false;
    f.format_tag = 1;
    f.channels = static_cast<uint16_t>(channels);
    f.bits_per_sample = static_cast<uint16_t>(bits);
    f.sample_rate = static_cast<uint32_t>(rate);
    f.block_align = static_cast<uint16_t>(channels * bits / 8);
    f.avg_bytes_per_sec = f.sample_rate * f.block_align;
    return true;
}

} // namespace

namespace playback {

int play_clipboard(CChildFrame& doc)
{
    PlaybackState& pb = playback_state();
    if (pb.is_playing) {
        // One player per process: a second request stops the first.
        return start(doc);
    }
    if (wd::out_device_count() < 1)
        return 0;
    pb.clipboard_mode = 1;
    const std::string data_name = clipboard_data_path();
    if (!kel::riff::File::open(data_name, kel::riff::File::Mode::Read))
        return 0;
    wd::Format format;
    if (!read_clipboard_format(clipboard_text_path(), format)) {
        NewErrMsg(5070);
        return 0;
    }
    pb.source = kel::riff::File::open(data_name, kel::riff::File::Mode::Read);
    if (!pb.source) {
        NewErrMsg(5009);
        return 0;
    }
    const unsigned long B = format.avg_bytes_per_sec;
    pb.buffer_size = B < 88201 ? B * 8192 / 44100 : 65532;
    pb.buffer_size = std::max<unsigned long>(1, pb.buffer_size);
    pb.from_record_dialog = 0;
    if (!prime_short_play(pb, 0, static_cast<uint64_t>(pb.source->length())))
        return 0;
    pb.doc = &doc;
    pb.target = doc.view_window ? doc.view_window : doc.window;
    if (!open_playback_device(pb, format)) {
        NewErrMsg(5009);
        pb.source.reset();
        pb.queued = 0;
        return 0;
    }
    pb.is_playing = 1;
    pb.is_paused = 0;
    return 1;
}

} // namespace playback
