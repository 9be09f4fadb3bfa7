// The four-band parametric equalizer (command 11506), one block of 512 frames at a time:
//
//   working file --512 frames--> per channel x[1..512] --fft_real--> x[j] *= m[j]
//   --inverse--> clamp --> redo file, at the place it came from (not past the selection)
//
//   m[j] = product over the bands of  a e^-((j - c) / w)^2  where c - 0.8w <= j < c + 0.8w
//          (else 1);  a = 10^(g / 100),  c = 2 N f / rate,  w = 2 N width / rate
//
// Bands: frequency 0 .. rate/2 Hz, gain -60 .. 60 (-12 .. +12 dB; 0 switches a band off),
// width 0 .. 1000 Hz. The blocks neither overlap nor are windowed: that is this effect's
// sound, kept as it is.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "filtrel/equalizer_dialog.h"
#include "filtrel/equalizer_settings.h"
#include "filtrel/fft.h"
#include "filtrel/module_selection.h"
#include "filtrel/operation_progress.h"
#include "filtrel/pcm_samples.h"
#include "platform/ui.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

constexpr int kOk = 1;
constexpr int kView = 1880;
constexpr int kCreate = 373;
// Blocks read and written with one file access.
constexpr long kBlocksPerPiece = 32;

// What one run works with; equalize_FFT reads it.
struct EqualizerRun
{
    FrameSpan span;
    std::vector<float> multipliers;
    bool active = false;
};

EqualizerRun g_run;

void prepare_run(const CChildFrame& doc)
{
    g_run.span = selection_frames(doc);
    g_run.multipliers = equalizer_multipliers(g_equalizer, g_run.span.sample_rate, kEqualizeFrames);
    g_run.active = equalizer_active(g_equalizer);
}

// One block in place: frames_present frames of it hold data (the file may end inside it;
// the rest of the transform is silence and is not stored).
void equalize_block(unsigned char* block, long frames_present, const FrameSpan& span,
                    const float* m, float* x)
{
    const int n = kEqualizeFrames;
    const int bps = span.bytes_per_sample;
    const long stride = span.frame_bytes;
    for (int c = 0; c < span.channels; ++c) {
        unsigned char* at = block + static_cast<long>(c) * bps;
        std::fill(x, x + n + 4, 0.0f);
        if (bps == 1) {
            for (long i = 0; i < frames_present; ++i)
                x[i + 1] = static_cast<float>(at[i * stride] - 128);
        } else {
            for (long i = 0; i < frames_present; ++i) {
                const unsigned char* p = at + i * stride;
                x[i + 1] = static_cast<float>(static_cast<int16_t>(p[0] | (p[1] << 8)));
            }
        }
        fft_real_on(x, n / 2, 1);
        for (int j = 1; j < n; ++j)
            x[j] *= m[j];
        fft_real_on(x, n / 2, -1);
        for (long i = 0; i < frames_present; ++i)
            store_sample(at + i * stride, bps, x[i + 1]);
    }
}

} // namespace

int CChildFrame::equalize_FFT(unsigned long offset_in_selection)
{
    if (!g_run.active)
        return 1;
    const FrameSpan& span = g_run.span;
    if (!fft_data || fft_size < kEqualizeFrames)
        return 0;
    const unsigned long block_bytes =
        static_cast<unsigned long>(kEqualizeFrames) * span.frame_bytes;
    const unsigned long at = span.start_byte + offset_in_selection;
    if (at >= span.end_byte)
        return 1;
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[block_bytes]());
    if (!block) {
        NewErrMsg(5001);
        return 0;
    }
    const unsigned long readable = std::min(block_bytes, span.total_bytes - at);
    if (copy_file_to_memory(working_file(), block.get(), 0, static_cast<long>(readable),
                            static_cast<long>(at), 0) < static_cast<int>(readable))
        return 0;
    equalize_block(block.get(), static_cast<long>(readable / span.frame_bytes), span,
                   g_run.multipliers.data(), fft_data);
    const unsigned long keep = std::min(block_bytes, span.end_byte - at);
    return copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(block.get()), 0, keep,
                               static_cast<long>(at), 0);
}

int CChildFrame::do_equalize_waveform(HWND window)
{
    owner_window = window;
    if (!check_sample_format())
        return 0;
    prepare_run(*this);
    const FrameSpan span = g_run.span;
    if (!setup_for_undo(owner_window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return 0;
    }
    const unsigned long block_bytes =
        static_cast<unsigned long>(kEqualizeFrames) * span.frame_bytes;
    const unsigned long piece_bytes = block_bytes * kBlocksPerPiece;
    std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[piece_bytes]);
    if (!piece) {
        NewErrMsg(5001);
        abandon_undo_setup();
        return 0;
    }
    if (!fft_allocate(kEqualizeFrames, kFftForSpectrumDisplay)) {
        fft_release();
        abandon_undo_setup();
        return 0;
    }
    OperationProgress progress("Equalizing waveform ...");
    auto give_up = [&]() {
        progress.close();
        fft_release();
        abandon_undo_setup();
        return 0;
    };

    const unsigned long length = span.length_bytes();
    long blocks = 0;
    for (unsigned long t = 0; t < length;) {
        // One piece of whole blocks; the last block may reach past the selection end,
        // where it reads the sound that follows but writes nothing.
        const unsigned long at = span.start_byte + t;
        const unsigned long span_bytes = std::min(piece_bytes, length - t);
        const unsigned long piece_blocks = (span_bytes + block_bytes - 1) / block_bytes;
        if (g_run.active) {
            const unsigned long readable =
                std::min(piece_blocks * block_bytes, span.total_bytes - at);
            if (copy_file_to_memory(working_file(), piece.get(), 0, static_cast<long>(readable),
                                    static_cast<long>(at), 0) < static_cast<int>(readable))
                return give_up();
            for (unsigned long b = 0; b < piece_blocks; ++b) {
                const unsigned long offset = b * block_bytes;
                const long present =
                    static_cast<long>(std::min(block_bytes, readable - offset) / span.frame_bytes);
                equalize_block(piece.get() + offset, present, span, g_run.multipliers.data(),
                               fft_data);
            }
            if (!copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(piece.get()), 0,
                                     span_bytes, static_cast<long>(at), 0))
                return give_up();
        }
        for (unsigned long b = 0; b < piece_blocks; ++b) {
            const unsigned long done = t + b * block_bytes;
            if (++blocks % 10 == 0)
                progress.percent(static_cast<int>(done * 100.0 / length));
            if (progress.cancelled())
                return give_up();
        }
        t += span_bytes;
    }
    progress.close();
    fft_release();
    return setup_for_redo(owner_window, kEqualizeCommand, 1);
}

int CChildFrame::get_equalization_selection(HWND window)
{
    owner_window = window;
    const long rate = static_cast<long>(wave_format.sample_rate);
    const std::string ini_path = equalizer_preset_path();
    set_preset_context_for(preset_family(PresetKind::Equalizer), module_directory());

    char chosen[kMaxPresetName + 1] = {};
    const int choice = new_select_process(chosen);
    auto dialog = [&]() {
        EqualizeDialog equalize(g_equalizer, rate, ini_path);
        return kel::ui().run_modal(equalize) == kOk;
    };
    bool run = false;
    switch (choice) {
    case kOk:
        run = read_equalizer_preset(g_equalizer, ini_path, chosen);
        break;
    case kView:
        run = read_equalizer_preset(g_equalizer, ini_path, chosen) && dialog();
        break;
    case kCreate:
        run = dialog();
        break;
    default:
        break;
    }
    return run ? do_equalize_waveform(window) : 0;
}
