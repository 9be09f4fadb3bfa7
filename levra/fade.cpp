// Fade in or out across the highlighted section.
//
//   x --[ x g(t) ]--> y      t = frame / frames, 0 .. 1
//   linear:      g = t (in), 1 - t (out)
//   logarithmic: g rises 60 dB along the section: 10^(3 (t - 1)), 0 at the silent end
#include "levra/dialogs.h"
#include "levra/section_stream.h"

#include <cmath>

namespace {
FadeDialog g_fade;
}

double fade_gain(bool fade_in, bool logarithmic, double t)
{
    const double rise = fade_in ? t : 1.0 - t;
    if (!logarithmic)
        return rise;
    return rise <= 0.0 ? 0.0 : std::pow(10.0, 3.0 * (rise - 1.0));
}

int CChildFrame::fade_waveform(HWND window, int command_id)
{
    owner_window = window;
    if (!ask(g_fade))
        return 0;
    const FadeDialog f = g_fade;
    const int bits = wave_format.bits_per_sample;
    return process_section(*this, window, command_id, "Fading...", [&](SectionBlock& b) {
        const double last = std::max(1L, b.total_frames - 1);
        for (long i = 0; i < b.frames; ++i) {
            const double g = fade_gain(f.fade_in, f.logarithmic, (b.first_frame + i) / last);
            for (int c = 0; c < b.channels; ++c) {
                int& v = b.values[i * b.channels + c];
                v = clamp_sample(v * g, bits);
            }
        }
    });
}
