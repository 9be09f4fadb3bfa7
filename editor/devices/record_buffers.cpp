// The sizes of the record dialog's input buffers and what is measured in them: the
// threshold peak and the meter levels.
#include "editor/devices/record.h"

#include <algorithm>
#include <cmath>

namespace {

unsigned long whole_frames(unsigned long bytes, const WaveFormat& f)
{
    const unsigned long align = std::max<unsigned long>(1, f.block_align);
    return std::max(align, bytes / align * align);
}

int sample_at(const unsigned char* p, int bps)
{
    return bps == 1 ? static_cast<int>(p[0]) - 128
                    : static_cast<int>(static_cast<int16_t>(p[0] | (p[1] << 8)));
}

} // namespace

RecordSettings& record_settings()
{
    static RecordSettings settings;
    return settings;
}

unsigned long record_buffer_size(const WaveFormat& f)
{
    const double size = static_cast<double>(f.sample_rate) / 22050.0 * (f.channels / 2.0) *
                        (f.bytes_per_sample() / 2.0) * 32768.0;
    unsigned long n = static_cast<unsigned long>(size);
    if (f.block_align > 1)
        n += 1;
    n = whole_frames(n, f);
    return std::clamp(n, 4096ul, 32768ul);
}

unsigned long test_buffer_size(const WaveFormat& f, bool avg_response)
{
    const unsigned long per_second =
        static_cast<unsigned long>(f.sample_rate) * std::max<uint16_t>(1, f.block_align);
    return whole_frames(per_second / (avg_response ? 15 : 18), f);
}

double buffer_peak(const char* data, unsigned long length, const WaveFormat& f)
{
    const int bps = f.bits_per_sample == 8 ? 1 : 2;
    const unsigned long frame = std::max<unsigned long>(1, f.block_align);
    const unsigned long frames = data ? length / frame : 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    int peak = 0;
    for (unsigned long i = 0; i < frames * frame; i += static_cast<unsigned long>(bps)) {
        int v = sample_at(p + i, bps);
        if (bps == 2)
            v /= 256;
        peak = std::max(peak, v);
    }
    return peak / 128.0;
}

void window_levels(const char* data, unsigned long from, unsigned long to, const WaveFormat& f,
                   int* left, int* right)
{
    const int bps = f.bits_per_sample == 8 ? 1 : 2;
    const unsigned long frame = std::max<unsigned long>(1, f.block_align);
    const int channels = std::clamp<int>(f.channels, 1, 2);
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    int peak[2] = {-32767, -32767};
    from = from / frame * frame;
    for (unsigned long i = from; data && i + frame <= to; i += frame)
        for (int c = 0; c < channels; ++c)
            peak[c] =
                std::max(peak[c], sample_at(p + i + static_cast<unsigned long>(c * bps), bps));
    if (bps == 2) {
        peak[0] /= 256;
        peak[1] /= 256;
    }
    if (channels == 1)
        peak[1] = peak[0];
    *left = std::clamp(peak[0], 0, 128);
    *right = std::clamp(peak[1], 0, 128);
}
