// Tremolo: the level follows a slow sine.
//
//   x --[ x (1 - d (1 - cos 2 pi f t) / 2) ]--> y
//   f 0.1 .. 20 Hz, d = depth 0 .. 100 %, t in seconds from the section start
#include "levra/dialogs.h"
#include "levra/section_stream.h"

#include <algorithm>
#include <cmath>

namespace {
ModulateDialog g_modulate;
}

int CChildFrame::modulate_waveform(HWND window, int command_id)
{
    owner_window = window;
    if (!ask(g_modulate))
        return 0;
    const double f = std::clamp(g_modulate.rate_hz, 0.1, 20.0);
    const double d = std::clamp(g_modulate.depth_percent, 0, 100) / 100.0;
    const double rate = wave_format.sample_rate ? wave_format.sample_rate : 1;
    const int bits = wave_format.bits_per_sample;
    return process_section(*this, window, command_id, "Modulating...", [&](SectionBlock& b) {
        for (long i = 0; i < b.frames; ++i) {
            const double t = (b.first_frame + i) / rate;
            const double g = 1.0 - d * (1.0 - std::cos(2.0 * M_PI * f * t)) / 2.0;
            for (int c = 0; c < b.channels; ++c) {
                int& v = b.values[i * b.channels + c];
                v = clamp_sample(v * g, bits);
            }
        }
    });
}
