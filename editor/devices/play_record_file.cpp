// Playing the record dialog's record file: the ring of the document's playback on a file
// that is not (yet) the document's, reporting to the dialog instead of the view.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "platform/clock.h"
#include "platform/events.h"

#include <algorithm>
#include <new>

namespace wd = kel::wave_device;

namespace playback {

int play_record_file(CChildFrame& doc, const char* file, uint64_t from_byte, void* target,
                     std::function<void()> on_end)
{
    PlaybackState& pb = playback_state();
    if (pb.is_playing || wd::out_device_count() < 1 || !file || !file[0])
        return 0;
    const WaveFormat& f = doc.wave_format;
    const unsigned long align = std::max<uint16_t>(1, f.block_align);
    pb.source = kel::riff::File::open(file, kel::riff::File::Mode::Read);
    if (!pb.source) {
        NewErrMsg(5007);
        return 0;
    }
    const uint64_t length = static_cast<uint64_t>(std::max<int64_t>(0, pb.source->length()));
    from_byte = std::min(from_byte, length) / align * align;
    const uint64_t bytes = (length - from_byte) / align * align;
    if (bytes == 0) {
        pb.source.reset();
        return 0;
    }
    // A tenth of a second per buffer, four buffers, as the document's playback does.
    pb.buffer_count = kMaxBuffers;
    pb.buffer_size =
        std::max(align, static_cast<unsigned long>(f.avg_bytes_per_sec) / 10 / align * align);
    // The document's view takes no part: no caret, no markers, no zoom change.
    pb.clipboard_mode = 1;
    pb.from_record_dialog = 1;
    if (!prime_short_play(pb, from_byte, bytes)) {
        pb.clipboard_mode = 0;
        pb.from_record_dialog = 0;
        return 0;
    }
    wd::Format format;
    format.channels = f.channels;
    format.sample_rate = f.sample_rate;
    format.avg_bytes_per_sec = f.avg_bytes_per_sec;
    format.block_align = f.block_align;
    format.bits_per_sample = f.bits_per_sample;
    pb.doc = &doc;
    pb.target = target;
    pb.record_dialog_end = [on_end = std::move(on_end)] {
        PlaybackState& state = playback_state();
        state.source.reset();
        state.from_record_dialog = 0;
        state.clipboard_mode = 0;
        if (state.target)
            kel::events::kill_timer(state.target, kTrackingTimer);
        if (on_end)
            on_end();
    };
    if (!open_playback_device(pb, format)) {
        pb.source.reset();
        pb.queued = 0;
        pb.from_record_dialog = 0;
        pb.clipboard_mode = 0;
        return 0;
    }
    pb.is_playing = 1;
    pb.is_paused = 0;
    pb.start_time = kel::clock::now_ms();
    kel::events::set_timer(target, kTrackingTimer, kTrackingPeriodMs);
    return 1;
}

} // namespace playback
