// An hour of OCW at every bit rate, coded as the editor codes it (output frame n is source
// frame trunc(n x r)), converted by the player: the length and the place of every click of
// a click train must be the original's.
#include "formats/msadpcm.h"
#include "formats/ocw_rate.h"
#include "plavo/convert_job.h"
#include "plavo/playback.h"
#include "tests/plavo/plavo_env.h"
#include "tests/support/click_train.h"

#include <cmath>
#include <cstdio>

using namespace plavo;

namespace {

void put32(std::FILE* f, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        std::fputc(static_cast<int>((v >> (8 * i)) & 0xff), f);
}

// The train, `frames` frames long at `rate`, decimated by r and coded as mono OCW, block by
// block. Returns the frames coded.
uint64_t write_ocw_clicks(const std::string& file, const ClickTrain& train, uint64_t frames,
                          uint32_t rate, float r)
{
    namespace ms = kel::msadpcm;
    ms::Format format;
    format.channels = 1;
    format.sample_rate = rate;
    format.avg_bytes_per_sec = kel::ocw::marker_for_ratio(r);
    format.block_align = static_cast<uint16_t>(ms::block_align_for(rate, 1));
    format.samples_per_block = static_cast<uint16_t>(ms::samples_per_block(format.block_align, 1));
    const uint64_t coded = static_cast<uint64_t>(static_cast<double>(frames) / r);
    const uint64_t spb = format.samples_per_block;
    const uint64_t data =
        coded / spb * format.block_align +
        (coded % spb ? ms::bytes_for_frames(static_cast<int>(coded % spb), 1) : 0);

    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return 0;
    uint8_t fmt[ms::kFormatBytes];
    ms::write_format(format, fmt);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, static_cast<uint32_t>(4 + 8 + sizeof fmt + 12 + 8 + data + (data & 1)));
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, sizeof fmt);
    std::fwrite(fmt, 1, sizeof fmt, f);
    std::fwrite("fact", 1, 4, f);
    put32(f, 4);
    put32(f, static_cast<uint32_t>(coded));
    std::fwrite("data", 1, 4, f);
    put32(f, static_cast<uint32_t>(data));
    std::vector<int16_t> pcm(spb);
    std::vector<uint8_t> block(format.block_align + 16);
    for (uint64_t at = 0; at < coded; at += spb) {
        const int n = static_cast<int>(std::min<uint64_t>(spb, coded - at));
        for (int i = 0; i < n; ++i)
            pcm[i] = train.sample(
                static_cast<uint64_t>(static_cast<double>(at + i) * static_cast<double>(r)));
        const size_t bytes = ms::encode_block(pcm.data(), n, 1, block.data());
        std::fwrite(block.data(), 1, bytes, f);
    }
    if (data & 1)
        std::fputc(0, f);
    return std::fclose(f) == 0 ? coded : 0;
}

} // namespace

class OcwTiming : public PlavoEnv
{
};

TEST_F(OcwTiming, AnHourAtEveryBitRateConvertsToItsLengthWithItsClicksInPlace)
{
    constexpr uint32_t kRate = 11025;
    const uint64_t frames = uint64_t{3600} * kRate;
    ClickTrain train;
    train.spacing = 4 * kRate;
    for (float r : {1.47f, 1.764f, 2.0f, 2.205f, 2.8224f}) {
        SCOPED_TRACE("r = " + std::to_string(r));
        const std::string file = path("clicks.ocw");
        const uint64_t coded = write_ocw_clicks(file, train, frames, kRate, r);
        ASSERT_GT(coded, 0u);
        Playback playback(nullptr);
        const std::string out = path("clicks.wav");
        ASSERT_EQ(playback.convert(file, out, {}), 1);
        ClickFinder finder(64);
        ASSERT_TRUE(scan_wave(out, finder));
        std::remove(out.c_str());

        const double block = kel::msadpcm::samples_per_block(256, 1) * r;
        const double length_error =
            static_cast<double>(finder.frames()) - static_cast<double>(frames);
        ASSERT_EQ(finder.centres.size(), train.count(frames));
        const ClickOffsets at = click_offsets(finder, train);
        const double first = at.first, worst = at.worst, last = at.last;
        std::printf("r %.4f: length %+.0f frames, first click %+.2f, last %+.2f, worst %+.2f\n", r,
                    length_error, first, last, worst);
        EXPECT_LE(std::abs(length_error), block);
        EXPECT_LE(std::abs(worst), block);
        // The whole stream is trunc(coded x r) frames, and the end keeps the start's timing.
        EXPECT_EQ(finder.frames(),
                  static_cast<uint64_t>(static_cast<double>(coded) * static_cast<double>(r)));
        EXPECT_LE(std::abs(last - first), 2.0);
    }
}
