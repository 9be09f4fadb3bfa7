// How clean an octave up is: a 440 Hz tone through our two pitch engines that keep the
// length (splicing, FFT) and, from a file, through the peer; for each, the share of the
// energy that lies outside 880 Hz +- 10.8 Hz (one bin of a 4096-point transform), in dB.
//   pitch_quality tone <file.wav>              writes the tone (10 s, 44.1 kHz stereo 16-bit)
//   pitch_quality measure <tone.wav> <peer.wav> prints "splice <dB>", "fft <dB>", "peer <dB>"
#include "bench/dsp_wave.h"
#include "filtrel/fft.h"
#include "filtrel/pitch_settings.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr long kToneFrames = 10 * 44100;

// The left channel of a 16-bit PCM wave file (its "data" chunk found among the others).
std::vector<double> left_channel(const std::string& path)
{
    std::vector<double> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    unsigned char head[12];
    int channels = 1;
    if (std::fread(head, 1, 12, f) == 12) {
        unsigned char c[8];
        while (std::fread(c, 1, 8, f) == 8) {
            const uint32_t size =
                c[4] | (c[5] << 8) | (c[6] << 16) | (static_cast<uint32_t>(c[7]) << 24);
            if (std::memcmp(c, "fmt ", 4) == 0) {
                std::vector<unsigned char> fmt(size);
                if (std::fread(fmt.data(), 1, size, f) != size || size < 16)
                    break;
                channels = fmt[2] | (fmt[3] << 8);
            } else if (std::memcmp(c, "data", 4) == 0) {
                std::vector<int16_t> w(size / 2);
                const size_t got = std::fread(w.data(), 2, w.size(), f);
                for (size_t i = 0; i + static_cast<size_t>(channels) <= got; i += channels)
                    out.push_back(w[i]);
                break;
            } else {
                std::fseek(f, size + (size & 1), SEEK_CUR);
            }
        }
    }
    std::fclose(f);
    return out;
}

std::vector<double> left_of_working_file(CChildFrame& doc)
{
    std::vector<double> out;
    FILE* f = std::fopen(doc.working_file(), "rb");
    if (!f)
        return out;
    int16_t frame[2];
    while (std::fread(frame, 2, 2, f) == 2)
        out.push_back(frame[0]);
    std::fclose(f);
    return out;
}

// Energy outside the tone's bin over 2^17 samples from the first second on, in dB.
double residual_db(const std::vector<double>& x)
{
    constexpr int n = 1 << 17;
    constexpr size_t from = 44100;
    if (x.size() < from + n)
        return 0.0;
    std::vector<float> a(n + 4, 0.0f);
    for (int i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (n - 1));
        a[static_cast<size_t>(i + 1)] = static_cast<float>(w * x[from + static_cast<size_t>(i)]);
    }
    fft_real_on(a.data(), n / 2, 1);
    const double band = kRate / 4096.0;
    double total = 0, tone = 0;
    for (int k = 1; k < n / 2; ++k) {
        const double e = static_cast<double>(a[2 * k + 1]) * a[2 * k + 1] +
                         static_cast<double>(a[2 * k + 2]) * a[2 * k + 2];
        total += e;
        if (std::fabs(k * kRate / n - 880.0) <= band)
            tone += e;
    }
    return 10.0 * std::log10(std::max(total - tone, 1e-30) / total);
}

int write_tone(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 1;
    bench::write_wave_header(f, kToneFrames * 4, 2, 44100);
    for (long i = 0; i < kToneFrames; ++i) {
        const int16_t v =
            static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * 440 * i / kRate)));
        const int16_t frame[2] = {v, v};
        std::fwrite(frame, 2, 2, f);
    }
    std::fclose(f);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "tone")
        return write_tone(argv[2]);
    if (argc != 4 || std::string(argv[1]) != "measure") {
        std::fprintf(stderr, "usage: pitch_quality tone <file> | measure <tone> <peer>\n");
        return 2;
    }
    bench::QuietUi quiet;
    kel::set_ui(&quiet);
    for (const char* engine : {"splice", "fft"}) {
        auto doc = bench::open_whole(argv[2]);
        if (!doc)
            return 1;
        int ok = 0;
        if (std::string(engine) == "splice") {
            begin_passage(*doc);
            unsigned long out = 0;
            ok = doc->modify_passage_time(splice_segment_frames(44100), 2.0f, &out, kPitchCommand,
                                          131072, 1, 1);
        } else {
            ok = doc->change_pitch_with_FFT("FFT Change Pitch", 0.5f);
        }
        if (ok != 1)
            return 1;
        std::printf("%s %.1f\n", engine, residual_db(left_of_working_file(*doc)));
    }
    std::printf("peer %.1f\n", residual_db(left_channel(argv[3])));
    kel::set_ui(nullptr);
    return 0;
}
