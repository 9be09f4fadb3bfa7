// The time-domain state-variable filter, one channel at a time over the selection:
//
//   x --> high = x - low - band --> band += F high --> low += F band   (F = 2 sin(pi f/rate))
//         outputs: low "LOPASS", high "HIPASS", band "BANDPASS", low + high "NOTCH"
//
// Frequency 0 .. rate/2 Hz (the Filter command sends notches below 5000 Hz here, noise
// reduction its 60 Hz hum notch). Pieces of at most 32768 bytes of the redo file are read,
// filtered and written back in place; progress and Cancel after every piece. F stays below
// sqrt(5) - 1, where the recursion stops being stable. Mode 3 is the flange (flange.cpp).
#include "filtrel/state_variable_filter.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/filter_settings.h"
#include "filtrel/flange.h"
#include "filtrel/module_selection.h"
#include "platform/ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace {

enum class SvfOutput { Low, High, Band, Notch };

struct StateVariable
{
    double band = 0.0;
    double low = 0.0;
    double coefficient = 0.0;

    double step(double x)
    {
        low = coefficient * band + low;
        const double high = x - low - band;
        band = coefficient * high + band;
        return high;
    }
};

bool output_for(const char* type, SvfOutput& out)
{
    if (std::strcmp(type, "LOPASS") == 0)
        out = SvfOutput::Low;
    else if (std::strcmp(type, "HIPASS") == 0)
        out = SvfOutput::High;
    else if (std::strcmp(type, "BANDPASS") == 0)
        out = SvfOutput::Band;
    else if (std::strcmp(type, "NOTCH") == 0)
        out = SvfOutput::Notch;
    else
        return false;
    return true;
}

} // namespace

int CChildFrame::digital_filter_waveform(unsigned long start_byte, unsigned long end_byte,
                                         float frequency, const char* filter_type,
                                         const char* progress_text, int mode)
{
    (void)start_byte;
    (void)end_byte;
    if (mode == 3)
        return flange_selection(*this, progress_text);
    SvfOutput output;
    if (mode != 1 || !filter_type || !output_for(filter_type, output))
        return 0;
    if (!check_sample_format())
        return 0;
    compute_module_selection(*this);

    const int bps = bytes_per_sample();
    const unsigned long a = bps == 1 ? 2 : 4;
    const unsigned long start = g_selection.start_byte / a * a;
    const unsigned long length = g_selection.end_byte - start;

    if (!setup_for_undo(owner_window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return 0;
    }
    const unsigned long piece_size = compute_sample_length(length, a, 32768);
    std::unique_ptr<unsigned char[]> piece(
        new (std::nothrow) unsigned char[std::max(piece_size, 1UL)]());
    if (!piece) {
        NewErrMsg(5001);
        abandon_undo_setup();
        return 0;
    }

    const double rate = std::max<double>(1.0, static_cast<double>(g_selection.sample_rate));
    // With this damping the recursion grows without bound once F reaches sqrt(5) - 1
    // (about 0.21 of the rate): keep it just inside.
    const double coefficient =
        std::min(2.0 * std::sin(3.14159 * frequency / rate), kStateVariableLimit);
    const kel::Cursor previous = kel::ui().set_cursor(kel::Cursor::Watch);
    const int dialog = display_message_dialog(progress_text ? progress_text : "", 1);
    show_percent_done(dialog, 0);
    auto finish = [&]() {
        terminate_message_dialog(dialog);
        kel::ui().set_cursor(previous);
    };

    const int channels = std::max<int>(1, wave_format.channels);
    const unsigned long frame = static_cast<unsigned long>(channels) * bps;
    const double limit = bps == 1 ? 127.0 : 32767.0;
    unsigned long done_all = 0;
    for (int c = 0; c < channels && piece_size > 0; ++c) {
        StateVariable svf;
        svf.coefficient = coefficient;
        for (unsigned long done = 0; done < length;) {
            const unsigned long bytes = std::min(piece_size, length - done);
            const long at = static_cast<long>(start + done);
            unsigned char* p = piece.get();
            if (copy_file_to_memory(redo.file_name, p, 0, static_cast<long>(bytes), at, 0) !=
                static_cast<long>(bytes)) {
                finish();
                abandon_undo_setup();
                return 0;
            }
            for (unsigned long f = 0; f + frame <= bytes; f += frame) {
                unsigned char* s = p + f + static_cast<unsigned long>(c) * bps;
                const double x =
                    bps == 1 ? s[0] - 128.0
                             : static_cast<double>(static_cast<int16_t>(s[0] | (s[1] << 8)));
                const double high = svf.step(x);
                double y = 0.0;
                switch (output) {
                case SvfOutput::Low:
                    y = svf.low;
                    break;
                case SvfOutput::High:
                    y = high;
                    break;
                case SvfOutput::Band:
                    y = svf.band;
                    break;
                case SvfOutput::Notch:
                    y = svf.low + high;
                    break;
                }
                const int v = static_cast<int>(std::clamp(y, -limit, limit));
                if (bps == 1) {
                    s[0] = static_cast<unsigned char>(v + 128);
                } else {
                    s[0] = static_cast<unsigned char>(v & 0xff);
                    s[1] = static_cast<unsigned char>((v >> 8) & 0xff);
                }
            }
            if (!copy_memory_to_file(redo.file_name, reinterpret_cast<const char*>(p), 0, bytes, at,
                                     0)) {
                finish();
                abandon_undo_setup();
                return 0;
            }
            done += bytes;
            done_all += bytes;
            if (cancel_button_pressed(dialog)) {
                finish();
                abandon_undo_setup();
                return 0;
            }
            show_percent_done(dialog, static_cast<int>(done_all * 100 / ((length + 1) * channels)));
        }
    }
    finish();
    return setup_for_redo(owner_window, kFilterCommand, 1);
}
