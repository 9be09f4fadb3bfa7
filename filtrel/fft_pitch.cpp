// The FFT pitch change ("&Slow method"): every block of 4096 frames of the section, each
// channel apart, has its spectrum stretched or squeezed along the frequency axis, keeping
// the block's length:
//
//   x[1..4096] --fft_real--> X[b] --remap--> Y[b] --inverse--> clamp --> redo file
//
//   r >= 1 (lower by r):  Y[b] = X[round(r b)], 0 where r b reaches half the rate
//   r <  1 (higher by 1/r): Y[b] = X[u] between the bins around u = r b, linearly
//
// r from 0.5 (12 sharps, an octave up) to 2 (12 flats, an octave down); bin 0 stays. The
// blocks neither overlap nor are windowed, and lie on a grid from the section's start: that
// is this effect's sound, its block boundaries included.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/fft.h"
#include "filtrel/operation_progress.h"
#include "filtrel/pcm_samples.h"
#include "filtrel/pitch_settings.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr int kBlockFrames = 4096;
constexpr long kBlocksPerPiece = 4;

// Packed spectrum of n reals: x[1] bin 0, x[2] bin n/2, x[2b+1], x[2b+2] bin b.
void remap_spectrum(const float* x, float* y, int n, double r)
{
    const int half = n / 2;
    auto re = [&](long b) { return b == 0 ? x[1] : (b == half ? x[2] : x[2 * b + 1]); };
    auto im = [&](long b) { return b == 0 || b == half ? 0.0f : x[2 * b + 2]; };
    std::fill(y, y + n + 4, 0.0f);
    y[1] = x[1];
    if (r >= 1.0) {
        for (long b = 1; b < half; ++b) {
            const long from = std::lround(r * static_cast<double>(b));
            if (from >= half)
                break;
            y[2 * b + 1] = re(from);
            y[2 * b + 2] = im(from);
        }
        if (r == 1.0)
            y[2] = x[2];
        return;
    }
    for (long b = 1; b < half; ++b) {
        const double u = r * static_cast<double>(b);
        const long i = static_cast<long>(u);
        const float a = static_cast<float>(u - static_cast<double>(i));
        // Below bin 1 the sound rises from nothing; bin 0 keeps its own place.
        const float re0 = i == 0 ? 0.0f : re(i), im0 = i == 0 ? 0.0f : im(i);
        y[2 * b + 1] = re0 + a * (re(i + 1) - re0);
        y[2 * b + 2] = im0 + a * (im(i + 1) - im0);
    }
}

} // namespace

int CChildFrame::change_pitch_with_FFT(const char* progress_text, float ratio)
{
    if (!(ratio > 0.0f) || !check_sample_format())
        return 0;
    begin_passage(*this);
    const FrameSpan span = g_passage.span;
    if (span.frames() <= 0)
        return 0;
    if (!setup_for_undo(owner_window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return 0;
    }
    const long block_bytes = static_cast<long>(kBlockFrames) * span.frame_bytes;
    std::vector<float> x, y;
    std::vector<unsigned char> piece;
    try {
        x.resize(kBlockFrames + 4);
        y.resize(kBlockFrames + 4);
        piece.resize(static_cast<size_t>(block_bytes * kBlocksPerPiece));
    } catch (const std::bad_alloc&) {
        NewErrMsg(5002);
        abandon_undo_setup();
        return 0;
    }

    OperationProgress progress(progress_text);
    auto give_up = [&]() {
        progress.close();
        abandon_undo_setup();
        return 0;
    };
    const unsigned long length = span.length_bytes();
    const int bps = span.bytes_per_sample;
    for (unsigned long done = 0; done < length;) {
        const unsigned long bytes =
            std::min(static_cast<unsigned long>(block_bytes * kBlocksPerPiece), length - done);
        const long at = static_cast<long>(span.start_byte + done);
        if (copy_file_to_memory(working_file(), piece.data(), 0, static_cast<long>(bytes), at, 0) <
            static_cast<int>(bytes))
            return give_up();
        for (unsigned long b = 0; b < bytes; b += block_bytes) {
            // The last block is shorter: only the section's own frames are taken and
            // given back.
            const long frames = static_cast<long>(std::min<unsigned long>(block_bytes, bytes - b)) /
                                span.frame_bytes;
            for (int c = 0; c < span.channels; ++c) {
                unsigned char* first = piece.data() + b + static_cast<long>(c) * bps;
                std::fill(x.begin(), x.end(), 0.0f);
                for (long i = 0; i < frames; ++i)
                    x[static_cast<size_t>(i + 1)] =
                        static_cast<float>(load_sample(first + i * span.frame_bytes, bps));
                fft_real_on(x.data(), kBlockFrames / 2, 1);
                remap_spectrum(x.data(), y.data(), kBlockFrames, ratio);
                fft_real_on(y.data(), kBlockFrames / 2, -1);
                for (long i = 0; i < frames; ++i)
                    store_sample(first + i * span.frame_bytes, bps, y[static_cast<size_t>(i + 1)]);
            }
            if (progress.cancelled())
                return give_up();
        }
        if (!copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(piece.data()), 0, bytes,
                                 at, 0))
            return give_up();
        done += bytes;
        progress.percent(static_cast<int>(done * 100.0 / length));
    }
    progress.close();
    return setup_for_redo(owner_window, kPitchCommand, 1);
}
