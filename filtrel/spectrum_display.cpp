// The pictures of the spectrum displays, from compute_FFT's magnitudes of 256-frame blocks:
//
//   3D: slices from the end of the selection back to its start --> band mapping (K = 256)
//       --> raised by trunc(8 / v) --> placed from the back right to the front left
//   2D: the block at the 2D position --> band mapping (K = 256, or 128 magnified) --> plot
//
// Band 0 .. rate / 2; the area may have any size, an empty one gives an empty picture.
#include "filtrel/spectrum_display.h"

#include "common/child_frame.h"
#include "common/host_services.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

SpectrumSection g_spectrum_section;

namespace {

bool g_sprite_running = false;
double g_sprite_start_ms = 0;

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Frequency of display point p for the band mapping of k points over n magnitudes.
double point_hz(int p, int n, int k, long rate, int low_hz, int high_hz)
{
    const double half = rate / 2.0;
    const long first = static_cast<long>(k * static_cast<double>(low_hz) / half);
    const int per = std::max(1, static_cast<int>(half / (high_hz - low_hz) + 0.5));
    return (first + static_cast<double>(p) / per) * half / n;
}

// The points of a curve where a whole kHz falls, every 1, 2, 5 or 10 kHz: the first of
// these steps that leaves at least min_gap pixels between labels.
std::vector<std::pair<int, int>> khz_marks(const std::vector<FftPoint>& curve, int n, long rate,
                                           int low, int high, int min_gap)
{
    const int k = static_cast<int>(curve.size());
    std::vector<std::pair<int, int>> all; // (kHz, point)
    for (int j = 0; j < k; ++j) {
        const double hz = point_hz(j, n, k, rate, low, high);
        const double next = point_hz(j + 1, n, k, rate, low, high);
        const int khz = static_cast<int>(std::ceil(hz / 1000.0));
        if (khz * 1000.0 >= hz && khz * 1000.0 < next)
            all.push_back({khz, j});
    }
    if (all.size() < 2)
        return all;
    const double px_per_khz =
        static_cast<double>(curve[static_cast<size_t>(all.back().second)].x -
                            curve[static_cast<size_t>(all.front().second)].x) /
        std::max(1, all.back().first - all.front().first);
    int step = 10;
    for (int s : {1, 2, 5, 10})
        if (px_per_khz * s >= min_gap) {
            step = s;
            break;
        }
    std::vector<std::pair<int, int>> kept;
    for (const auto& m : all)
        if (m.first % step == 0)
            kept.push_back(m);
    return kept;
}

// The band as the displays use it now, clamped to the file's rate.
void current_band(int& low, int& high)
{
    low = g_spectrum.low_hz;
    high = g_spectrum.high_hz;
    clamp_band(g_spectrum_section.rate, low, high);
}

} // namespace

void compute_spectrum_section(const CChildFrame& doc)
{
    SpectrumSection& s = g_spectrum_section;
    s.rate = static_cast<long>(doc.wave_format.sample_rate);
    const int bps = std::max(1, doc.bytes_per_sample());
    const int channels = std::max<int>(1, doc.wave_format.channels);
    s.frame_bytes = bps * channels;
    const long total = std::max(0L, doc.current.total_samples);
    const long end = std::clamp(doc.current.select_end, 0L, total);
    const long start = std::clamp(doc.current.select_start, 0L, end);
    s.start_byte = static_cast<unsigned long>(start) * bps;
    s.selection_bytes = static_cast<unsigned long>(end - start) * bps;
    const double words_per_ms = std::max(1L, s.rate) * channels / 1000.0;
    s.total_ms = total / words_per_ms;
    s.play_ms = (end - start) / words_per_ms;
}

void clamp_band(long rate, int& low_hz, int& high_hz)
{
    const int half = static_cast<int>(std::max(0L, rate / 2));
    high_hz = std::clamp(high_hz, 0, half);
    low_hz = std::clamp(low_hz, 0, half);
    if (half >= 1000) {
        high_hz = std::max(high_hz, 1000);
        low_hz = std::min(low_hz, high_hz - 1000);
    } else {
        low_hz = 0;
        high_hz = half;
    }
}

void map_band(const int* m, int n, int k, long rate, int low_hz, int high_hz, int* points)
{
    std::fill(points, points + k, 0);
    clamp_band(rate, low_hz, high_hz);
    if (!m || n <= 0 || high_hz <= low_hz)
        return;
    const double half = rate / 2.0;
    const long first = static_cast<long>(k * static_cast<double>(low_hz) / half);
    const int per = std::max(1, static_cast<int>(half / (high_hz - low_hz) + 0.5));
    int filled = 0;
    for (long i = first; filled < k && i < n; ++i) {
        const int a = m[i];
        const int b = i + 1 < n ? m[i + 1] : a;
        for (int p = 0; p < per && filled < k; ++p)
            points[filled++] = a + (b - a) * p / per;
    }
}

std::vector<long> slice_offsets(unsigned long selection_bytes, int slices, int frame_bytes)
{
    std::vector<long> offsets;
    const long bytes = static_cast<long>(selection_bytes);
    const long last = bytes - static_cast<long>(kSpectrumFrames) * frame_bytes;
    // Round toward minus infinity so that a negative first offset stays frame-aligned.
    auto down4 = [](long v) { return v >= 0 ? v / 4 * 4 : -((-v + 3) / 4 * 4); };
    const long step = down4(bytes / std::max(1, slices));
    long at = down4(last);
    for (int k = 0; k < slices; ++k, at -= step)
        offsets.push_back(at);
    return offsets;
}

double block_seconds(long offset_in_selection)
{
    const SpectrumSection& s = g_spectrum_section;
    const long position = std::max(0L, static_cast<long>(s.start_byte) + offset_in_selection);
    return position / (static_cast<double>(std::max(1L, s.rate)) * s.frame_bytes);
}

void CChildFrame::display_3D_spectrum(WaterfallPicture& picture)
{
    picture.slices.clear();
    picture.axis_labels.clear();
    const int w = picture.width, h = picture.height;
    const int slices = std::max(1, g_spectrum.slices);
    if (w <= 0 || h <= 0 || !fft_magnitude || !fft_points || fft_size != kSpectrumFrames)
        return;
    const int k = kSpectrumFrames;
    const long rate = std::max(1L, g_spectrum_section.rate);
    int low = 0, high = 0;
    current_band(low, high);
    const double step = 0.625 * w / k;
    const double v = 0.625 * h / 128.0;
    const int raise = static_cast<int>(8.0 / v);
    const int near = static_cast<int>(0.4375 * h);
    const int far = static_cast<int>(0.875 * h);
    const int mesh_every = std::max(1, static_cast<int>(k * 2000.0 / rate));
    std::vector<int> points(static_cast<size_t>(k));

    const std::vector<long> offsets =
        slice_offsets(g_spectrum_section.selection_bytes, slices, g_spectrum_section.frame_bytes);
    const int label_every = slices > 32 ? 8 : (slices < 8 ? 1 : 4);
    picture.slices.reserve(static_cast<size_t>(slices));
    for (int s = 0; s < slices; ++s) {
        // Unsigned wrap-around carries a negative offset to the reader, which counts file
        // positions before the start as 0.
        compute_FFT(static_cast<unsigned long>(offsets[static_cast<size_t>(s)]));
        map_band(fft_magnitude, fft_size, k, rate, low, high, points.data());
        const double u = slices > 1 ? static_cast<double>(s) / (slices - 1) : 0.0;
        const int x0 = static_cast<int>((w / 16 - 5 * w / 16) * u) + 5 * w / 16 - 8;
        const int y0 = near - static_cast<int>(u * (near - far));
        WaterfallSlice slice;
        slice.offset = offsets[static_cast<size_t>(s)];
        slice.baseline = y0;
        slice.curve.resize(static_cast<size_t>(k));
        for (int j = 0; j < k; ++j) {
            const int y = y0 - static_cast<int>((points[static_cast<size_t>(j)] + raise) * v);
            slice.curve[static_cast<size_t>(j)] = {x0 + static_cast<int>(j * step), std::max(0, y)};
        }
        slice.anchor = slice.curve[static_cast<size_t>(k / 2)];
        if (!picture.slices.empty()) {
            const WaterfallSlice& behind = picture.slices.back();
            for (int j = 0; j < k; j += mesh_every) {
                const FftPoint a = slice.curve[static_cast<size_t>(j)];
                const FftPoint b = behind.curve[static_cast<size_t>(j)];
                if (a.y >= b.y)
                    slice.mesh.push_back({a, b});
            }
        }
        if (s % label_every == 0 || s == slices - 1) {
            slice.label = format("%8.3f", block_seconds(slice.offset)) + " s";
            slice.label_at = slice.curve.back();
        }
        picture.slices.push_back(std::move(slice));
    }
    // The frequency axis along the front slice.
    const WaterfallSlice& front = picture.slices.back();
    picture.axis = {{front.curve.front().x, front.baseline},
                    {front.curve.back().x, front.baseline}};
    for (const auto& [khz, j] : khz_marks(front.curve, k, rate, low, high, 36))
        picture.axis_labels.push_back(
            {{front.curve[static_cast<size_t>(j)].x, front.baseline}, std::to_string(khz)});
}

void CChildFrame::display_2D_spectrum(SpectrumPlot& plot)
{
    plot.curve.clear();
    plot.frequency_labels.clear();
    plot.amplitude_labels.clear();
    const int w = plot.width, h = plot.height;
    if (w <= 0 || h <= 0 || !fft_magnitude || fft_size != kSpectrumFrames)
        return;
    const int k = g_spectrum.x_magnify ? kSpectrumFrames / 2 : kSpectrumFrames;
    const long rate = std::max(1L, g_spectrum_section.rate);
    int low = 0, high = 0;
    current_band(low, high);
    compute_FFT(static_cast<unsigned long>(g_spectrum.position_2d));
    std::vector<int> points(static_cast<size_t>(k));
    map_band(fft_magnitude, fft_size, k, rate, low, high, points.data());

    plot.origin = {w / 8, h - h / 8};
    plot.top = h / 8;
    const double step = 0.75 * w / k;
    const double scale = 0.75 * h / 128.0;
    plot.right = plot.origin.x + static_cast<int>(k * step);
    plot.curve.resize(static_cast<size_t>(k));
    for (int j = 0; j < k; ++j) {
        const int y = plot.origin.y - static_cast<int>(points[static_cast<size_t>(j)] * scale);
        plot.curve[static_cast<size_t>(j)] = {plot.origin.x + static_cast<int>(j * step),
                                              std::max(plot.top, y)};
    }
    for (const auto& [khz, j] : khz_marks(plot.curve, kSpectrumFrames, rate, low, high, 56))
        plot.frequency_labels.push_back({{plot.curve[static_cast<size_t>(j)].x, plot.origin.y},
                                         format("%-3.1f", khz) + " kHz"});
    for (int units = 0; units <= 128; units += 32)
        plot.amplitude_labels.push_back(
            {{plot.origin.x, plot.origin.y - static_cast<int>(units * scale)},
             format("%-5.1f", units * 100.0 / 128.0) + "% Amplitude"});
    plot.title = "Frequency components at " +
                 format("%8.3f", block_seconds(g_spectrum.position_2d)) + " sec";
}

MarkerPosition marker_at(const WaterfallPicture& picture, double elapsed_ms, double play_ms)
{
    MarkerPosition m;
    const int slices = static_cast<int>(picture.slices.size());
    if (slices < 2 || play_ms <= 0)
        return m;
    const double f = elapsed_ms * (slices - 1) / play_ms - 0.5;
    const int r = static_cast<int>(f);
    const int index = slices - r - 1;
    if (index < 1 || index > slices - 1)
        return m;
    const double t = std::clamp(f - r, 0.0, 1.0);
    const FftPoint a = picture.slices[static_cast<size_t>(index)].anchor;
    const FftPoint b = picture.slices[static_cast<size_t>(index - 1)].anchor;
    m.shown = true;
    m.at = {a.x + static_cast<int>((b.x - a.x) * t), a.y + static_cast<int>((b.y - a.y) * t)};
    return m;
}

int repeat_delay_ms(int steps_taken)
{
    if (steps_taken <= 1)
        return 1000;
    if (steps_taken <= 11)
        return 150;
    return 40;
}

bool step_2d_next()
{
    // The position is an offset within the selection: compare it with the selection's
    // length, not with a position in the file.
    const long next = g_spectrum.position_2d + kSpectrumFrames;
    if (next >= static_cast<long>(g_spectrum_section.selection_bytes))
        return false;
    g_spectrum.position_2d = next;
    return true;
}

bool step_2d_prev()
{
    if (g_spectrum.position_2d < kSpectrumFrames)
        return false;
    g_spectrum.position_2d -= kSpectrumFrames;
    return true;
}

void stop_3D_sprite_timer()
{
    g_sprite_running = false;
}

bool sprite_timer_running()
{
    return g_sprite_running;
}

void start_3D_sprite_timer(double start_ms)
{
    g_sprite_start_ms = start_ms;
    g_sprite_running = true;
}

double sprite_timer_start_ms()
{
    return g_sprite_start_ms;
}
