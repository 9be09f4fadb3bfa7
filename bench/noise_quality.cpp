// What noise removal does to the test signal: one second of 5 .. 8 kHz noise at -50 dBFS,
// then four seconds of a 500 Hz tone at -20 dBFS over the same noise (44.1 kHz mono 16-bit).
// The profile comes from the first second, the removal runs on the rest; measured from the
// second second on: the change of the band noise's energy and of the tone's level, in dB.
//   noise_quality signal <file.wav>                 writes the test signal
//   noise_quality measure <signal.wav> <peer.wav>... prints "ours50 <band> <tone>",
//       "ours90 ...", then "peer<k> <band> <tone>" for each peer file
#include "bench/dsp_wave.h"
#include "filtrel/fft.h"
#include "filtrel/noise_profile.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr long kFrames = 5 * 44100;
constexpr size_t kProbe = 2 * 44100;
constexpr int kProbeLength = 1 << 16;

std::vector<double> test_signal()
{
    const long n = 1L << 18;
    std::vector<float> x(static_cast<size_t>(n) + 4, 0.0f);
    std::mt19937 random(5);
    std::normal_distribution<float> gauss;
    for (long i = 1; i <= n; ++i)
        x[static_cast<size_t>(i)] = gauss(random);
    fft_real_on(x.data(), static_cast<int>(n / 2), 1);
    for (long k = 0; k < n / 2; ++k) {
        const double hz = k * kRate / n;
        if (hz < 5000 || hz > 8000)
            x[static_cast<size_t>(2 * k + 1)] = x[static_cast<size_t>(2 * k + 2)] = 0.0f;
    }
    x[2] = 0.0f;
    fft_real_on(x.data(), static_cast<int>(n / 2), -1);
    double power = 0;
    for (long i = 1; i <= n; ++i)
        power += static_cast<double>(x[static_cast<size_t>(i)]) * x[static_cast<size_t>(i)];
    const double scale = 32767.0 * std::pow(10.0, -50.0 / 20) / std::sqrt(power / n);
    std::vector<double> s(static_cast<size_t>(kFrames));
    for (long i = 0; i < kFrames; ++i) {
        const double tone = i < 44100 ? 0.0 : 3276.7 * std::sin(2 * M_PI * 500 * i / kRate);
        s[static_cast<size_t>(i)] = tone + scale * x[static_cast<size_t>(i % n + 1)];
    }
    return s;
}

// Samples of a 16-bit mono wave file (its "data" chunk found among the others).
std::vector<double> samples(const std::string& path)
{
    std::vector<double> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    unsigned char head[12], c[8];
    if (std::fread(head, 1, 12, f) == 12)
        while (std::fread(c, 1, 8, f) == 8) {
            const uint32_t size =
                c[4] | (c[5] << 8) | (c[6] << 16) | (static_cast<uint32_t>(c[7]) << 24);
            if (std::memcmp(c, "data", 4) != 0) {
                std::fseek(f, size + (size & 1), SEEK_CUR);
                continue;
            }
            std::vector<int16_t> w(size / 2);
            const size_t got = std::fread(w.data(), 2, w.size(), f);
            out.assign(w.begin(), w.begin() + static_cast<long>(got));
            break;
        }
    std::fclose(f);
    return out;
}

double band_db(const std::vector<double>& s)
{
    std::vector<float> a(kProbeLength + 4, 0.0f);
    for (int i = 0; i < kProbeLength && kProbe + i < s.size(); ++i)
        a[static_cast<size_t>(i + 1)] = static_cast<float>(s[kProbe + static_cast<size_t>(i)]);
    fft_real_on(a.data(), kProbeLength / 2, 1);
    double e = 0;
    for (int k = 1; k < kProbeLength / 2; ++k) {
        const double hz = k * kRate / kProbeLength;
        if (hz >= 5000 && hz <= 8000)
            e += static_cast<double>(a[2 * k + 1]) * a[2 * k + 1] +
                 static_cast<double>(a[2 * k + 2]) * a[2 * k + 2];
    }
    return 10 * std::log10(e + 1e-30);
}

double tone_db(const std::vector<double>& s)
{
    double re = 0, im = 0;
    for (size_t i = kProbe; i < kProbe + kProbeLength && i < s.size(); ++i) {
        const double a = 2 * M_PI * 500 * static_cast<double>(i) / kRate;
        re += s[i] * std::cos(a);
        im += s[i] * std::sin(a);
    }
    return 20 * std::log10(2 * std::hypot(re, im) / kProbeLength + 1e-30);
}

int write_signal(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 1;
    bench::write_wave_header(f, kFrames * 2, 1, 44100);
    for (double v : test_signal()) {
        const int16_t w = static_cast<int16_t>(std::lround(v));
        std::fwrite(&w, 2, 1, f);
    }
    std::fclose(f);
    return 0;
}

std::vector<double> working_samples(CChildFrame& doc)
{
    std::vector<double> out;
    FILE* f = std::fopen(doc.working_file(), "rb");
    int16_t w;
    while (f && std::fread(&w, 2, 1, f) == 1)
        out.push_back(w);
    if (f)
        std::fclose(f);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "signal")
        return write_signal(argv[2]);
    if (argc < 3 || std::string(argv[1]) != "measure") {
        std::fprintf(stderr, "usage: noise_quality signal <file> | measure <signal> <peer>...\n");
        return 2;
    }
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    const std::vector<double> in = samples(argv[2]);
    const double band_in = band_db(in), tone_in = tone_db(in);
    for (int reduction : {50, 90}) {
        auto doc = bench::open_whole(argv[2]);
        if (!doc)
            return 1;
        doc->select_end() = 44100;
        if (doc->characterize_noise(doc->window) != 1)
            return 1;
        doc->select_start() = 44100;
        doc->select_end() = doc->total_samples();
        g_noise_profile.reduction_percent = reduction;
        g_noise_profile.attenuation = (100 - reduction) * 0.01f;
        if (doc->do_filter_waveform(0.0f, "NOISE_REDUCTION", "Reducing Noise") != 1)
            return 1;
        const std::vector<double> out = working_samples(*doc);
        std::printf("ours%d %.2f %.3f\n", reduction, band_db(out) - band_in,
                    tone_db(out) - tone_in);
    }
    for (int k = 3; k < argc; ++k) {
        const std::vector<double> out = samples(argv[k]);
        std::printf("peer%d %.2f %.3f\n", k - 3, band_db(out) - band_in, tone_db(out) - tone_in);
    }
    kel::set_ui(nullptr);
    return 0;
}
