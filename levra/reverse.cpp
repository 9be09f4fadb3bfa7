// Reverse: the frames of the highlighted section in the opposite order.
//
//   [ a b c ... x y z ] --> [ z y x ... c b a ]
//
// Blocks are taken from both ends at once and swapped, so the section is never held
// in memory whole.
#include "common/host_services.h"
#include "levra/section_stream.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

void reverse_frames(unsigned char* data, long frames, int frame_bytes)
{
    unsigned char tmp[8];
    for (long i = 0, j = frames - 1; i < j; ++i, --j) {
        std::memcpy(tmp, data + i * frame_bytes, frame_bytes);
        std::memcpy(data + i * frame_bytes, data + j * frame_bytes, frame_bytes);
        std::memcpy(data + j * frame_bytes, tmp, frame_bytes);
    }
}

} // namespace

int CChildFrame::reverse_waveform(HWND window, int command_id)
{
    owner_window = window;
    const SectionBytes sel = section_bytes(*this);
    const int frame_bytes = std::max<int>(1, wave_format.block_align);
    const long frames = (sel.end - sel.start) / frame_bytes;
    if (frames < 2)
        return 0;
    if (!setup_for_undo(window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(window)) {
        abandon_undo_setup();
        return 0;
    }
    const long block_frames = 32768 / frame_bytes;
    std::unique_ptr<unsigned char[]> front(new (std::nothrow) unsigned char[32768]);
    std::unique_ptr<unsigned char[]> back(new (std::nothrow) unsigned char[32768]);
    if (!front || !back) {
        NewErrMsg(5001);
        abandon_undo_setup();
        return 0;
    }
    const kel::Cursor previous = kel::ui().set_cursor(kel::Cursor::Wait);
    const int progress = display_message_dialog("Reversing...", 1);
    show_percent_done(progress, 0);
    bool ok = true;
    long lo = 0, hi = frames; // frames [lo, hi) are still to do
    while (hi - lo >= 2) {
        const long n = std::min(block_frames, (hi - lo) / 2);
        const long bytes = n * frame_bytes;
        const long front_at = sel.start + lo * frame_bytes;
        const long back_at = sel.start + (hi - n) * frame_bytes;
        if (copy_file_to_memory(redo_file(), front.get(), 0, bytes, front_at, 0) != bytes ||
            copy_file_to_memory(redo_file(), back.get(), 0, bytes, back_at, 0) != bytes) {
            ok = false;
            break;
        }
        reverse_frames(front.get(), n, frame_bytes);
        reverse_frames(back.get(), n, frame_bytes);
        if (!copy_memory_to_file(redo_file(), reinterpret_cast<char*>(back.get()), 0,
                                 static_cast<unsigned long>(bytes), front_at, 0) ||
            !copy_memory_to_file(redo_file(), reinterpret_cast<char*>(front.get()), 0,
                                 static_cast<unsigned long>(bytes), back_at, 0)) {
            ok = false;
            break;
        }
        lo += n;
        hi -= n;
        if (cancel_button_pressed(progress)) {
            ok = false;
            break;
        }
        show_percent_done(progress, static_cast<int>(lo * 2 * 100 / (frames + 1)));
    }
    terminate_message_dialog(progress);
    kel::ui().set_cursor(previous);
    if (!ok) {
        abandon_undo_setup();
        return 0;
    }
    return setup_for_redo(window, command_id, 1);
}
