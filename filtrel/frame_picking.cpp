// Frame-picking resampling ("Change &tempo" on the keyboard): pitch and length change
// together, without interpolation:
//
//   G <= 1: every frame doubled, then frames taken at trunc(u t) of the doubled run,
//           u = 1 / G (1 .. 2): the section becomes 2G times as long, the pitch 2G lower
//   G > 1:  output frame l is input frame trunc(l G): 1 / G as long, G times higher
//
// Counted in half frames, both are input frame trunc(P(t)) / 2 with P advancing by u or
// 2G per output frame. "Glide &down" / "Glide &up" move u between 2 (no change) and 1 / G
// over twice the section's length (G <= 1), or G between 1 and G over its length (G > 1).
// Positions count from the section's start, so the result does not depend on the chunks
// the section is read in.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/operation_progress.h"
#include "filtrel/pitch_settings.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr unsigned long kChunkBytes = 32768;

} // namespace

int CChildFrame::interpolate_to_change_pitch(float factor, unsigned long* output_bytes)
{
    const FrameSpan& span = g_passage.span;
    const long l = span.frames();
    const long frame_bytes = span.frame_bytes;
    if (l <= 0 || !(factor > 0.0f) || g_passage.temp_file.empty())
        return 0;
    const long chunk_frames = std::max(1L, static_cast<long>(kChunkBytes) / frame_bytes);
    std::vector<unsigned char> in, out;
    try {
        in.resize(static_cast<size_t>(chunk_frames * frame_bytes));
        out.resize(static_cast<size_t>(chunk_frames * frame_bytes));
    } catch (const std::bad_alloc&) {
        NewErrMsg(5001);
        return 0;
    }

    const double g = factor;
    const bool lowering = g <= 1.0;
    // Step of P in half frames at output frame t.
    const double constant_step = lowering ? 1.0 / g : 2.0 * g;
    const double ramp = lowering ? 2.0 * l : static_cast<double>(l);
    auto step_at = [&](long t) {
        const double a = std::min(1.0, static_cast<double>(t) / ramp);
        if (lowering) {
            if (g_pitch.glide_down)
                return 2.0 + (1.0 / g - 2.0) * a;
            if (g_pitch.glide_up)
                return 1.0 / g + (2.0 - 1.0 / g) * a;
        } else {
            if (g_pitch.glide_up)
                return 2.0 * (1.0 + (g - 1.0) * a);
            if (g_pitch.glide_down)
                return 2.0 * (g + (1.0 - g) * a);
        }
        return constant_step;
    };
    const bool gliding = g_pitch.glide_up || g_pitch.glide_down;

    OperationProgress progress(lowering ? "Lowering pitch..." : "Raising pitch...");
    long chunk_from = 0, chunk_count = 0; // frames of the section in the input buffer
    long out_count = 0;
    unsigned long written = 0;
    double position = 0.0; // P, half frames
    auto flush = [&]() {
        if (out_count == 0)
            return true;
        const unsigned long bytes = static_cast<unsigned long>(out_count * frame_bytes);
        if (!copy_memory_to_file(g_passage.temp_file.c_str(),
                                 reinterpret_cast<const char*>(out.data()), 0, bytes,
                                 static_cast<long>(written), 0))
            return false;
        written += bytes;
        out_count = 0;
        progress.percent(static_cast<int>(std::min(100.0, position * 50.0 / l)));
        return !progress.cancelled();
    };
    for (long t = 0;; ++t) {
        const double p = gliding ? position : constant_step * static_cast<double>(t);
        const long frame = static_cast<long>(std::floor(p)) / 2;
        if (frame >= l)
            break;
        if (frame >= chunk_from + chunk_count) {
            chunk_from = frame;
            chunk_count = std::min(chunk_frames, l - frame);
            const long bytes = chunk_count * frame_bytes;
            if (copy_file_to_memory(working_file(), in.data(), 0, bytes,
                                    static_cast<long>(span.start_byte + chunk_from * frame_bytes),
                                    0) < bytes) {
                ErrMsg("Cannot read %s", working_file());
                return 0;
            }
        }
        std::copy_n(in.data() + (frame - chunk_from) * frame_bytes, frame_bytes,
                    out.data() + out_count * frame_bytes);
        if (++out_count == chunk_frames && !flush())
            return 0;
        position = gliding ? position + step_at(t) : constant_step * static_cast<double>(t + 1);
    }
    if (!flush())
        return 0;
    if (output_bytes)
        *output_bytes = written;
    return written > 0 ? 1 : 0;
}
