// The hash filter: a three-point average over sample pairs, each word of a pair apart:
//
//   w[k] <- (w[k-1] + w[k] + w[k+1]) / 3     (integers; w[k-1] is the value before its change)
//
// A pair is two sample words (2 bytes at 8 bits, 4 at 16), so a stereo frame averages with
// the neighbouring frames and a mono word with the words two places away. No parameters.
// Pieces of at most 32768 bytes of the redo file are smoothed in place; the last pairs of
// each piece keep their values.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/module_selection.h"
#include "platform/ui.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

int read_word(const unsigned char* p, bool eight_bit)
{
    return eight_bit ? p[0] : static_cast<int16_t>(p[0] | (p[1] << 8));
}

void write_word(unsigned char* p, int v, bool eight_bit)
{
    if (eight_bit) {
        p[0] = static_cast<unsigned char>(v);
    } else {
        p[0] = static_cast<unsigned char>(v & 0xff);
        p[1] = static_cast<unsigned char>((v >> 8) & 0xff);
    }
}

} // namespace

int CChildFrame::hash_filter()
{
    if (!check_sample_format())
        return 0;
    compute_module_selection(*this);
    if (!setup_for_undo(owner_window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return 0;
    }
    const bool eight_bit = wave_format.bits_per_sample == 8;
    const long word = eight_bit ? 1 : 2;
    const long pair = 2 * word;
    const unsigned long start = g_selection.start_byte / pair * pair;
    const unsigned long length = g_selection.end_byte - start;
    const unsigned long piece_size = compute_sample_length(length, pair, 32768);
    std::unique_ptr<unsigned char[]> piece(
        new (std::nothrow) unsigned char[std::max(piece_size, 1UL)]());
    if (!piece) {
        NewErrMsg(5001);
        abandon_undo_setup();
        return 0;
    }

    const kel::Cursor previous = kel::ui().set_cursor(kel::Cursor::Watch);
    // Long like every other filter run, so it takes a Cancel like them.
    const int dialog = display_message_dialog("Filtering high-freq hash...", 1);
    show_percent_done(dialog, 0);
    auto finish = [&]() {
        piece.reset();
        terminate_message_dialog(dialog);
        kel::ui().set_cursor(previous);
    };

    int prev[2] = {0, 0};
    bool first = true;
    for (unsigned long done = 0; piece_size > 0 && done < length;) {
        const long bytes = static_cast<long>(std::min(piece_size, length - done));
        const long at = static_cast<long>(start + done);
        unsigned char* p = piece.get();
        if (copy_file_to_memory(redo.file_name, p, 0, bytes, at, 0) != bytes) {
            finish();
            abandon_undo_setup();
            return 0;
        }
        if (first) {
            prev[0] = read_word(p, eight_bit);
            prev[1] = read_word(p + word, eight_bit);
            first = false;
        }
        const long last = bytes - 2 * pair - 6;
        for (long o = 0; o + 2 * pair <= bytes; o += pair) {
            for (int w = 0; w < 2; ++w) {
                unsigned char* here = p + o + w * word;
                const int value = read_word(here, eight_bit);
                const int next = read_word(here + pair, eight_bit);
                write_word(here, (prev[w] + value + next) / 3, eight_bit);
                prev[w] = value;
            }
            if (o >= last)
                break;
        }
        if (!copy_memory_to_file(redo.file_name, reinterpret_cast<const char*>(p), 0,
                                 static_cast<unsigned long>(bytes), at, 0)) {
            finish();
            abandon_undo_setup();
            return 0;
        }
        done += static_cast<unsigned long>(bytes);
        if (cancel_button_pressed(dialog)) {
            finish();
            abandon_undo_setup();
            return 0;
        }
        show_percent_done(dialog, static_cast<int>(done * 100 / (length + 1)));
    }
    finish();
    return setup_for_redo(owner_window, 11511, 1);
}
