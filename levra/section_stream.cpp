#include "levra/section_stream.h"

#include "common/host_services.h"
#include "platform/ui.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

SectionBytes section_bytes(const CChildFrame& doc)
{
    const long bps = doc.wave_format.bits_per_sample / 8;
    const long align = std::max<long>(1, doc.wave_format.block_align);
    SectionBytes s;
    s.start = doc.current.select_start * bps / align * align;
    s.end = doc.current.select_end * bps / align * align;
    return s;
}

int clamp_sample(double value, int bits)
{
    const double limit = bits == 8 ? 127.0 : 32767.0;
    value = std::clamp(value, -limit, limit);
    return static_cast<int>(value); // toward zero
}

int process_section(CChildFrame& doc, HWND window, int operation_code, const char* progress_text,
                    const std::function<void(SectionBlock&)>& fn)
{
    const SectionBytes sel = section_bytes(doc);
    const int channels = doc.wave_format.channels;
    const int bps = doc.wave_format.bits_per_sample / 8;
    const long frame_bytes = static_cast<long>(channels) * bps;
    if (sel.end - sel.start < frame_bytes || frame_bytes <= 0)
        return 0;
    if (!doc.setup_for_undo(window, 1))
        return 0;
    if (!doc.copy_selected_area_to_pseudo_clipboard(window)) {
        doc.abandon_undo_setup();
        return 0;
    }
    const unsigned long length = static_cast<unsigned long>(sel.end - sel.start);
    const unsigned long block =
        std::max<unsigned long>(compute_sample_length(length, frame_bytes, 32768), frame_bytes);
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[block]);
    std::unique_ptr<int[]> values(new (std::nothrow) int[block]);
    if (!bytes || !values) {
        NewErrMsg(5001);
        doc.abandon_undo_setup();
        return 0;
    }
    const kel::Cursor previous = kel::ui().set_cursor(kel::Cursor::Wait);
    const int progress = display_message_dialog(progress_text, 1);
    show_percent_done(progress, 0);
    auto finish = [&](bool ok) {
        terminate_message_dialog(progress);
        kel::ui().set_cursor(previous);
        if (!ok) {
            doc.abandon_undo_setup();
            return 0;
        }
        return doc.setup_for_redo(window, operation_code, 1);
    };

    const long total_frames = static_cast<long>(length) / frame_bytes;
    for (unsigned long done = 0; done < length;) {
        const unsigned long n = std::min(block, length - done);
        const long at = sel.start + static_cast<long>(done);
        if (copy_file_to_memory(doc.redo_file(), bytes.get(), 0, static_cast<long>(n), at, 0) !=
            static_cast<int>(n))
            return finish(false);
        const long words = static_cast<long>(n) / bps;
        for (long i = 0; i < words; ++i)
            values[i] = bps == 1 ? bytes[i] - 128
                                 : static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        SectionBlock b{values.get(), words / channels, static_cast<long>(done) / frame_bytes,
                       total_frames, channels};
        fn(b);
        for (long i = 0; i < words; ++i) {
            const int v = std::clamp(values[i], bps == 1 ? -127 : -32767, bps == 1 ? 127 : 32767);
            if (bps == 1) {
                bytes[i] = static_cast<unsigned char>(v + 128);
            } else {
                bytes[2 * i] = static_cast<unsigned char>(v & 0xFF);
                bytes[2 * i + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
            }
        }
        if (!copy_memory_to_file(doc.redo_file(), reinterpret_cast<const char*>(bytes.get()), 0, n,
                                 at, 0))
            return finish(false);
        done += n;
        if (cancel_button_pressed(progress))
            return finish(false);
        show_percent_done(progress, static_cast<int>(done * 100 / (length + 1)));
    }
    return finish(true);
}
