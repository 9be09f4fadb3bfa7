// Noise reduction (11511): one dialog, four tools.
//
//   NOISEREMOVAL --Hash filter--> three-point smoothing
//                --60 cycle filter--> state-variable notch at 60 Hz (or 50 Hz)
//                --Noise gate--> NOISEGATE --> block gate (noise_gate.cpp)
//                --Sample--> profile of the highlighted noise (dialog stays open)
//                --Remove--> NOISEREDUCTION --> spectral gate "NOISE_REDUCTION"
//
// The profile is the packed spectrum of up to 4096 frames of the first channel, kept in a
// temporary file of the run folder so that it outlives the document it came from.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/fft.h"
#include "filtrel/filter_command.h"
#include "filtrel/module_selection.h"
#include "filtrel/noise_dialogs.h"
#include "filtrel/noise_profile.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

constexpr const char* kNoNoiseSelected =
    "Please highlight a section containing representative noise.";

// "NOISEREDUCTION", then the spectral gate with the profile loaded for the run.
int remove_sampled_noise(CChildFrame& doc)
{
    NoiseReductionDialog dialog;
    if (kel::ui().run_modal(dialog) != noise_dialog::kOk)
        return 0;
    if (!load_noise_profile())
        return 0;
    const int done = doc.do_filter_waveform(0.0f, "NOISE_REDUCTION", "Reducing Noise");
    release_noise_profile();
    return done;
}

} // namespace

int CChildFrame::characterize_noise(HWND window)
{
    owner_window = window;
    compute_module_selection(*this);
    const int frame_bytes = std::max<int>(1, wave_format.block_align);
    const long selected_frames = static_cast<long>(g_selection.length_bytes() / frame_bytes);
    if (!current.has_selection || selected_frames <= 0) {
        ErrMsg("%s", kNoNoiseSelected);
        return 0;
    }
    if (!check_sample_format())
        return 0;
    constexpr int n = kNoiseProfileFrames;
    std::unique_ptr<float[]> profile(new (std::nothrow) float[kNoiseProfileFloats]());
    if (!profile) {
        NewErrMsg(5000);
        return 0;
    }
    std::unique_ptr<float[]> x(new (std::nothrow) float[n + 4]());
    if (!x) {
        NewErrMsg(5002);
        return 0;
    }
    unsigned char* buffer = make_pSaveBuffer_single_display(0, nullptr, n);
    if (!buffer)
        return 0;
    // Only the highlighted frames: a short noise passage is not profiled together with
    // the sound after it (the rest of the block stays zero).
    const int count = static_cast<int>(std::min<long>(n, selected_frames));
    const bool eight_bit = wave_format.bits_per_sample == 8;
    for (int i = 0; i < count; ++i) {
        const unsigned char* s = buffer + static_cast<long>(i) * frame_bytes;
        x[i + 1] = eight_bit ? static_cast<float>(s[0] - 128)
                             : static_cast<float>(static_cast<int16_t>(s[0] | (s[1] << 8)));
    }
    shitcan_pSaveBuffer();
    fft_real_on(x.get(), n / 2, 1);
    std::copy(x.get(), x.get() + n, profile.get());

    float most = 1.0f, least = 1.0f;
    for (int j = 0; j < n; ++j) {
        most = std::max(most, profile[j]);
        if (profile[j] < 0.0f && (least > 0.0f || profile[j] < least))
            least = profile[j];
    }
    float above = 0.1f * most, below = 0.1f * least;
    if (above == 0.0f)
        above = 1.0f;
    if (below == 0.0f)
        below = -1.0f;

    char name[256] = {};
    make_working_name(name, ".tmp");
    FILE* f = name[0] ? std::fopen(name, "wb") : nullptr;
    const bool written =
        f && std::fwrite(profile.get(), 1, kNoiseProfileBytes, f) == kNoiseProfileBytes;
    if (f && std::fclose(f) != 0)
        f = nullptr;
    if (!written || !f) {
        if (name[0])
            ::unlink(name);
        NewErrMsg(5031);
        return 0;
    }
    // Each Sample replaces the profile.
    if (!g_noise_profile.file.empty() && g_noise_profile.file != name)
        ::unlink(g_noise_profile.file.c_str());
    g_noise_profile.file = name;
    g_noise_profile.positive_threshold = above;
    g_noise_profile.negative_threshold = below;
    g_noise_profile.exists = 1;
    return 1;
}

int CChildFrame::remove_noise(HWND window)
{
    owner_window = window;
    compute_module_selection(*this);
    const std::string ini_path = filter_preset_path();
    g_noise_tools.hum_hz = read_hum_frequency(ini_path);

    NoiseRemovalDialog dialog(g_noise_tools.hum_hz,
                              [this, window] { return characterize_noise(window); });
    const int choice = kel::ui().run_modal(dialog);
    if (dialog.hum_hz != g_noise_tools.hum_hz) {
        g_noise_tools.hum_hz = dialog.hum_hz;
        write_hum_frequency(ini_path, dialog.hum_hz);
    }
    owner_window = window;
    compute_module_selection(*this);
    switch (choice) {
    case noise_dialog::kHashFilter:
        return hash_filter();
    case noise_dialog::kHumFilter:
        return digital_filter_waveform(g_selection.start_byte, g_selection.end_byte,
                                       static_cast<float>(g_noise_tools.hum_hz), "NOTCH",
                                       g_noise_tools.hum_hz == 50 ? "Filtering 50 cycle hum ..."
                                                                  : "Filtering 60 cycle hum ...",
                                       1);
    case noise_dialog::kNoiseGate:
        return noise_gate();
    case noise_dialog::kRemove:
        return remove_sampled_noise(*this);
    default:
        return 0;
    }
}
