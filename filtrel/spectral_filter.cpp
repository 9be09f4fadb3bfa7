// The spectral filter over the highlighted section:
//
//   setup_for_undo (redo file = data up to the selection end) --> selection backup -->
//   for t = 0, 3N/4, 6N/4 ... frames: one block (spectral_block.cpp), a sweep moves the
//   centre by delta --> setup_for_redo (tail appended, redo file becomes current)
//
// Every output goes to the redo file, so Cancel between blocks drops it and the document
// keeps its state. Progress and Cancel every 101 blocks.
#include "filtrel/spectral_filter.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/fft.h"
#include "filtrel/filter_settings.h"
#include "filtrel/module_selection.h"
#include "filtrel/noise_profile.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstring>

SpectralRun g_spectral;

int spectral_block_frames(const char* filter_type)
{
    if (std::strcmp(filter_type, "NOTCH") == 0 || std::strcmp(filter_type, "COMPRESS") == 0)
        return 1024;
    return 4096;
}

float sweep_delta(float start, float stop, unsigned long selection_bytes, int frames,
                  int block_align)
{
    const float blocks = static_cast<float>(selection_bytes) /
                         static_cast<float>(static_cast<long>(frames) * block_align);
    if (blocks <= 0.0f)
        return 0.0f;
    return (stop - start) / blocks * 0.5f;
}

namespace {

// Puts back the cursor and the progress window, and releases the arrays, however the
// walk ends.
struct WalkGuard
{
    kel::Cursor previous;
    int dialog = 0;
    bool own_profile = false;
    bool finished = false;
    WalkGuard() : previous(kel::ui().set_cursor(kel::Cursor::Watch)) {}
    ~WalkGuard() { finish(); }
    void finish()
    {
        if (finished)
            return;
        finished = true;
        if (dialog)
            terminate_message_dialog(dialog);
        fft_release();
        shitcan_pSaveBuffer();
        if (own_profile)
            release_noise_profile();
        kel::ui().set_cursor(previous);
    }
};

} // namespace

int CChildFrame::do_filter_waveform(float frequency, const char* filter_type,
                                    const char* progress_text)
{
    if (!filter_type)
        return 0;
    if (!check_sample_format())
        return 0;
    const int n = spectral_block_frames(filter_type);
    compute_module_selection(*this);
    const bool noise = std::strcmp(filter_type, "NOISE_REDUCTION") == 0;
    const bool own_profile = noise && !g_noise_profile.values && g_noise_profile.exists;
    if (own_profile && !load_noise_profile())
        return 0;

    if (!setup_for_undo(owner_window, 1)) {
        if (own_profile)
            release_noise_profile();
        return 0;
    }
    WalkGuard guard;
    guard.own_profile = own_profile;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window) || !fft_allocate(n, 5)) {
        abandon_undo_setup();
        return 0;
    }

    const unsigned long length = g_selection.length_bytes();
    const int align = std::max<int>(1, wave_format.channels) * bytes_per_sample();
    float f = frequency;
    g_spectral = SpectralRun();
    if (std::strcmp(filter_type, "BANDPASS") == 0 && g_filter.sweep) {
        f = g_filter.sweep_start;
        g_spectral.sweep_delta =
            sweep_delta(g_filter.sweep_start, g_filter.sweep_stop, length, n, align);
    }
    g_spectral.frequency = f;

    guard.dialog = display_message_dialog(progress_text ? progress_text : "", 1);
    show_percent_done(guard.dialog, 0);

    const unsigned long step = static_cast<unsigned long>(align) * (3 * n / 4);
    int count = 0;
    for (unsigned long t = 0; t < length; t += step) {
        if (!filter_waveform_FFT(filter_type, f, t)) {
            abandon_undo_setup();
            return 0;
        }
        ++g_spectral.blocks;
        if (++count > 100) {
            show_percent_done(guard.dialog, static_cast<int>(t * 100 / length));
            if (cancel_button_pressed(guard.dialog)) {
                abandon_undo_setup();
                return 0;
            }
            count = 0;
        }
        f += g_spectral.sweep_delta;
        g_spectral.frequency = f;
    }

    guard.finish();
    return setup_for_redo(owner_window, noise ? 11511 : kFilterCommand, 1);
}
