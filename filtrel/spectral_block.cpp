// One block of the spectral filter, in place on the redo file:
//
//   working file --N frames--> per channel: x[1..N] --fft_real--> zero bins --inverse-->
//   join with the previous block --> clamp --> buffer --(7/8 of the block)--> redo file
//
// Frequency 0 Hz .. rate/2 (higher is allowed: nothing is cut); band-pass half-width from
// the Filter command's width, 10 .. 800 Hz. N = 4096 frames, 1024 for the notch.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/fft.h"
#include "filtrel/filter_settings.h"
#include "filtrel/module_selection.h"
#include "filtrel/noise_profile.h"
#include "filtrel/spectral_filter.h"

#include <algorithm>
#include <cstring>

namespace {

void zero(float* x, int n, long from, long to)
{
    from = std::max(from, 1L);
    to = std::min(to, static_cast<long>(n) - 1);
    for (long j = from; j <= to; ++j)
        x[j] = 0.0f;
}

} // namespace

void shape_spectrum(const char* type, float* x, int n, long v, long h)
{
    if (std::strcmp(type, "LOPASS") == 0) {
        zero(x, n, v, n - 1);
    } else if (std::strcmp(type, "HIPASS") == 0) {
        zero(x, n, 1, v - 1);
    } else if (std::strcmp(type, "NOTCH") == 0) {
        zero(x, n, v - 4, v + 3);
    } else if (std::strcmp(type, "BANDPASS") == 0) {
        zero(x, n, v + h, n - 1);
        zero(x, n, 1, v - h - 1);
    } else if (std::strcmp(type, "NOISE_REDUCTION") == 0) {
        apply_noise_gate(x, n);
    }
}

int CChildFrame::filter_waveform_FFT(const char* filter_type, float frequency,
                                     unsigned long offset_in_selection)
{
    const int n = fft_size;
    float* x = fft_data;
    if (!x || n < 4)
        return 0;
    unsigned long position = 0;
    unsigned char* buffer = make_pSaveBuffer_single_display(offset_in_selection, &position, n);
    if (!buffer)
        return 0;

    const int channels = std::max<int>(1, wave_format.channels);
    const int bps = bytes_per_sample();
    const long align = static_cast<long>(channels) * bps;
    const long rate = std::max(1L, g_selection.sample_rate);
    const long v = static_cast<long>(2.0f * n * frequency / rate);
    const long h = static_cast<long>(2.0f * n * g_filter.width / rate);
    // Positions past the data of a file shorter than the block are left out.
    const long last_offset = static_cast<long>(g_selection.total_bytes) - bps;
    const bool eight_bit = bps == 1;

    const float limit = eight_bit ? 127.0f : 32767.0f;
    for (int c = 0; c < channels; ++c) {
        // Frames whose sample lies inside the file's data.
        const long first = static_cast<long>(c) * bps;
        const int count =
            last_offset < first
                ? 0
                : static_cast<int>(std::min<long>(n, (last_offset - first) / align + 1));
        unsigned char* at = buffer + first;
        std::fill(x, x + n + 4, 0.0f);
        if (eight_bit) {
            for (int i = 0; i < count; ++i)
                x[i + 1] = static_cast<float>(at[i * align] - 128);
        } else {
            for (int i = 0; i < count; ++i) {
                const unsigned char* p = at + i * align;
                x[i + 1] = static_cast<float>(static_cast<int16_t>(p[0] | (p[1] << 8)));
            }
        }
        fft_real(n / 2, 1);
        shape_spectrum(filter_type, x, n, v, h);
        fft_real(n / 2, -1);
        if (offset_in_selection > 0) {
            x[1] = (g_spectral.last_time_sample + x[1]) / 2.0f;
            x[2] = (x[3] + x[1]) / 2.0f;
        }
        g_spectral.last_time_sample = x[n];
        if (eight_bit) {
            for (int i = 0; i < count; ++i) {
                const int v8 = static_cast<int>(std::clamp(x[i + 1], -limit, limit));
                at[i * align] = static_cast<unsigned char>(v8 + 128);
            }
        } else {
            for (int i = 0; i < count; ++i) {
                const int v16 = static_cast<int>(std::clamp(x[i + 1], -limit, limit));
                unsigned char* p = at + i * align;
                p[0] = static_cast<unsigned char>(v16 & 0xff);
                p[1] = static_cast<unsigned char>((v16 >> 8) & 0xff);
            }
        }
    }

    // Each later block starts 3N/4 frames after its predecessor and rewrites the last
    // eighth of its output, so every sample away from the ends comes from the middle of
    // some block. The block that reaches the selection end stops there.
    const unsigned long block_bytes = static_cast<unsigned long>(n) * align;
    const unsigned long skip = offset_in_selection > 0 ? block_bytes / 8 : 0;
    unsigned long end = position + block_bytes;
    if (end >= g_selection.end_byte)
        end = g_selection.end_byte;
    int ok = 1;
    if (end > position + skip)
        ok = copy_memory_to_file(redo.file_name, reinterpret_cast<const char*>(buffer),
                                 static_cast<long>(skip), end - position - skip,
                                 static_cast<long>(position + skip), 0);
    shitcan_pSaveBuffer();
    return ok;
}
