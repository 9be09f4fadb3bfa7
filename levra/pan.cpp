// Pan a stereo section from one position to another.
//
//   L --[ x gl(p) ]--> L'     p moves linearly from start to end, -100 .. 100
//   R --[ x gr(p) ]--> R'     gl = 1 left of centre, (100 - p) / 100 right of it;
//                             gr the mirror image
#include "common/host_services.h"
#include "levra/dialogs.h"
#include "levra/section_stream.h"

#include <algorithm>

namespace {
PanDialog g_pan;
}

int CChildFrame::pan_waveform(HWND window, int command_id)
{
    owner_window = window;
    if (wave_format.channels != 2) {
        NewErrMsg(5073);
        return 0;
    }
    if (!ask(g_pan))
        return 0;
    const double p0 = std::clamp(g_pan.start_position, -100, 100);
    const double p1 = std::clamp(g_pan.end_position, -100, 100);
    const int bits = wave_format.bits_per_sample;
    return process_section(*this, window, command_id, "Panning...", [&](SectionBlock& b) {
        const double last = std::max(1L, b.total_frames - 1);
        for (long i = 0; i < b.frames; ++i) {
            const double p = p0 + (p1 - p0) * (b.first_frame + i) / last;
            const double gl = p <= 0 ? 1.0 : (100.0 - p) / 100.0;
            const double gr = p >= 0 ? 1.0 : (100.0 + p) / 100.0;
            b.values[2 * i] = clamp_sample(b.values[2 * i] * gl, bits);
            b.values[2 * i + 1] = clamp_sample(b.values[2 * i + 1] * gr, bits);
        }
    });
}
