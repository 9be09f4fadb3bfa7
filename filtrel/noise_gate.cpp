// The noise gate: blocks of 6144 bytes, each word of a pair (the two channels of a stereo
// frame, neighbouring words of a mono file) judged on its own:
//
//   block --> per word: largest and smallest value --> both beyond +-T? keep : silence
//
// A word is kept when it swings above +T and below -T within the block. T = full scale
// (127 or 32767) x the gate fraction (0 .. 1). Channel mode 1 gates both words, 2 only the
// first (left), 3 only the second (right).
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/module_selection.h"
#include "filtrel/noise_dialogs.h"
#include "filtrel/operation_progress.h"
#include "platform/ui.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr unsigned long kGateBlockBytes = 6144;

int read_word(const unsigned char* p, bool eight_bit)
{
    return eight_bit ? p[0] - 128 : static_cast<int16_t>(p[0] | (p[1] << 8));
}

void silence(unsigned char* p, bool eight_bit)
{
    p[0] = eight_bit ? 128 : 0;
    if (!eight_bit)
        p[1] = 0;
}

} // namespace

int CChildFrame::noise_gate()
{
    NoiseGateDialog dialog(wave_format.channels);
    if (kel::ui().run_modal(dialog) != noise_dialog::kOk)
        return 0;
    compute_module_selection(*this);
    if (!check_sample_format())
        return 0;
    if (!setup_for_undo(owner_window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return 0;
    }
    const bool eight_bit = wave_format.bits_per_sample == 8;
    const int word = eight_bit ? 1 : 2;
    const int pair = 2 * word;
    const int full = eight_bit ? 127 : 32767;
    const int t = static_cast<int>(full * g_noise_tools.gate_fraction);
    const int mode = g_noise_tools.gate_channel_mode;
    const int threshold[2] = {mode == 3 ? full : t, mode == 2 ? full : t};
    const bool gated[2] = {mode != 3, mode != 2};

    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[kGateBlockBytes]);
    if (!block) {
        NewErrMsg(5001);
        abandon_undo_setup();
        return 0;
    }
    const unsigned long start = g_selection.start_byte / pair * pair;
    const unsigned long length = g_selection.end_byte - start;
    OperationProgress progress("Eliminating noise ...");
    for (unsigned long done = 0; done < length;) {
        const unsigned long bytes = std::min(kGateBlockBytes, length - done);
        const long at = static_cast<long>(start + done);
        unsigned char* p = block.get();
        if (copy_file_to_memory(redo.file_name, p, 0, static_cast<long>(bytes), at, 0) !=
            static_cast<long>(bytes)) {
            progress.close();
            abandon_undo_setup();
            return 0;
        }
        const unsigned long pairs_bytes = bytes / pair * pair;
        int largest[2] = {-full, -full}, smallest[2] = {full, full};
        for (unsigned long o = 0; o < pairs_bytes; o += pair)
            for (int w = 0; w < 2; ++w) {
                const int v = read_word(p + o + w * word, eight_bit);
                largest[w] = std::max(largest[w], v);
                smallest[w] = std::min(smallest[w], v);
            }
        for (int w = 0; w < 2; ++w) {
            const bool loud = largest[w] > threshold[w] && smallest[w] < -threshold[w];
            if (loud || !gated[w])
                continue;
            for (unsigned long o = 0; o < pairs_bytes; o += pair)
                silence(p + o + w * word, eight_bit);
        }
        if (!copy_memory_to_file(redo.file_name, reinterpret_cast<const char*>(p), 0, bytes, at,
                                 0)) {
            progress.close();
            abandon_undo_setup();
            return 0;
        }
        done += bytes;
        progress.percent(static_cast<int>(done * 100 / (length + 1)));
        if (progress.cancelled()) {
            progress.close();
            abandon_undo_setup();
            return 0;
        }
    }
    progress.close();
    return setup_for_redo(owner_window, 11511, 1);
}
