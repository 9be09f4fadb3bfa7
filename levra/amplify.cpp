// Amplify and Clear.
//
//   x --[ x gain ]--> clamp --> y        gain = 10^(dB/20) or percent/100
//   Clear: y = silence (0; 128 as an 8-bit byte)
//
// Called as amplify_waveform(main frame, document window, command, time format,
// temporary directory); 11501 asks for the gain, 11301 clears the highlighted section.
#include "common/host_services.h"
#include "levra/dialogs.h"
#include "levra/section_stream.h"

#include <cmath>

namespace {

AmplifyDialog g_amplify;

} // namespace

double AmplifyDialog::gain() const
{
    return in_decibels ? std::pow(10.0, decibels / 20.0) : percent / 100.0;
}

int CChildFrame::amplify_waveform(HWND main_frame, HWND document_window, int command_id,
                                  int time_format, const char* temp_dir)
{
    owner_window = document_window;
    if (command_id == 11301) {
        return process_section(*this, document_window, 11301, "Clearing...", [](SectionBlock& b) {
            const long n = b.frames * b.channels;
            for (long i = 0; i < n; ++i)
                b.values[i] = 0;
        });
    }
    if (!ask(g_amplify))
        return 0;
    const double gain = g_amplify.gain();
    const int bits = wave_format.bits_per_sample;
    return process_section(*this, document_window, 11501, "Amplifying...", [&](SectionBlock& b) {
        const long n = b.frames * b.channels;
        for (long i = 0; i < n; ++i)
            b.values[i] = clamp_sample(b.values[i] * gain, bits);
    });
}
