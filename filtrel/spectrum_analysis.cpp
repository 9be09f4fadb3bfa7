// Magnitudes of one block for the spectrum displays:
//
//   N frames of the first channel --fft_real--> |packed element| (log10 or linear, scaled
//   by the gain) --> smoothed (1 2 1)/4 up and down --> fft_magnitude[0 .. N-1]
//
// N is whatever the display allocated (256); gain 0 .. 10.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/fft.h"
#include "filtrel/spectrum_settings.h"

#include <cmath>

SpectrumSettings g_spectrum;

void CChildFrame::compute_FFT(unsigned long offset_in_selection)
{
    const int n = fft_size;
    float* x = fft_data;
    int* m = fft_magnitude;
    if (!x || !m || n < 4)
        return;
    const bool eight_bit = wave_format.bits_per_sample == 8;
    const double g = g_spectrum.gain;
    const double scale = g_spectrum.log_scale ? (eight_bit ? g * 25.0 : g * 10.38)
                                              : (eight_bit ? g * 0.015625 : g * 0.00006103515625);

    unsigned char* buffer = make_pSaveBuffer_single_display(offset_in_selection, nullptr, n);
    if (!buffer)
        return;
    const long align = wave_format.block_align ? wave_format.block_align : 1;
    for (int i = 0; i < n; ++i) {
        const unsigned char* s = buffer + i * align;
        m[i] = eight_bit ? s[0] - 128 : static_cast<int16_t>(s[0] | (s[1] << 8));
        x[i + 1] = static_cast<float>(m[i]);
    }
    shitcan_pSaveBuffer();
    fft_real(n / 2, 1);

    for (int j = 2; j <= n; ++j) {
        const double a = std::fabs(static_cast<double>(x[j]));
        m[j - 2] = static_cast<int>(g_spectrum.log_scale ? scale * std::log10(a + 1.0) : scale * a);
    }
    for (int j = 1; j <= n - 3; ++j)
        m[j] = (m[j + 1] + 2 * m[j] + m[j - 1]) / 4;
    for (int j = n - 3; j >= 2; --j)
        m[j] = (m[j + 1] + 2 * m[j] + m[j - 1]) / 4;
    m[0] = 0;
    m[n - 1] = 0;
}
