// Our MS ADPCM against decoders and encoders that are not ours: sox and ffmpeg.
#include "editor/files/wave_conv_reader.h"
#include "editor/files/wave_convert.h"
#include "tests/adpcm/adpcm_support.h"
#include "tests/support/test_env.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <iostream>

namespace {

struct Shape
{
    int channels;
    int rate;
};
const Shape kShapes[] = {{1, 11025}, {1, 22050}, {1, 44100}, {2, 11025}, {2, 22050}, {2, 44100}};

std::string name_of(const Shape& s)
{
    return std::to_string(s.channels) + "ch " + std::to_string(s.rate) + " Hz";
}

class Independent : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        if (!have_tool("sox") || !have_tool("ffmpeg"))
            GTEST_SKIP() << "sox and ffmpeg are needed";
    }

    // sox decodes to plain 16-bit samples.
    std::vector<int16_t> sox_decode(const std::string& file)
    {
        const std::string raw = path("sox.raw");
        EXPECT_TRUE(run("sox " + quoted(file) + " -t s16 -e signed " + quoted(raw)));
        return read_s16(raw);
    }

    std::vector<int16_t> ffmpeg_decode(const std::string& file)
    {
        const std::string raw = path("ffmpeg.raw");
        EXPECT_TRUE(run("ffmpeg -nostdin -loglevel error -y -i " + quoted(file) +
                        " -f s16le -c:a pcm_s16le " + quoted(raw)));
        return read_s16(raw);
    }

    // An odd length, so every file ends in a short block.
    std::string chord(const Shape& s, double seconds = 1.337)
    {
        const std::string f = path("chord.wav");
        EXPECT_TRUE(make_chord(f, s.rate, s.channels, seconds));
        return f;
    }

    std::string ours_from(const std::string& pcm)
    {
        const std::string out = path("ours.wav");
        EXPECT_EQ(convert_wave_file(nullptr, pcm.c_str(), out.c_str()), 1);
        return out;
    }
};

} // namespace

TEST_F(Independent, SoxDecodesOurFilesSampleForSample)
{
    for (const Shape& s : kShapes) {
        const std::string src = chord(s);
        const size_t words = sox_decode(src).size();
        const std::string file = ours_from(src);
        OurDecode ours = decode_with_ours(file);
        ASSERT_TRUE(ours.ok) << name_of(s);
        ASSERT_EQ(ours.samples.size(), words) << name_of(s);
        const std::vector<int16_t> sox = sox_decode(file);
        // sox keeps the padding nibble of an odd mono block: at most one frame more.
        ASSERT_GE(sox.size(), words) << name_of(s);
        EXPECT_LE(sox.size(), words + s.channels - 1 + (s.channels == 1)) << name_of(s);
        EXPECT_TRUE(std::equal(ours.samples.begin(), ours.samples.end(), sox.begin()))
            << name_of(s);
    }
}

// ffmpeg's decoder divides the prediction by 256 rounding toward zero where ours (and sox)
// shift, so on blocks coded with pairs 3 to 6 it can differ by a little. It must equal the
// same stream decoded with that rounding exactly, and ours exactly on the other blocks.
TEST_F(Independent, FfmpegDecodesOurFilesDifferingOnlyInItsRounding)
{
    for (const Shape& s : kShapes) {
        const std::string file = ours_from(chord(s));
        OurDecode ours = decode_with_ours(file);
        ASSERT_TRUE(ours.ok);
        const std::vector<int16_t> ff = ffmpeg_decode(file);
        const std::vector<int16_t> truncating = decode_truncating(file);
        ASSERT_GE(ff.size(), ours.samples.size()) << name_of(s);
        // ffmpeg keeps the padding nibble of an odd mono block: at most one frame more.
        EXPECT_LE(ff.size(), ours.samples.size() + s.channels) << name_of(s);
        ASSERT_EQ(truncating.size(), ours.samples.size());
        EXPECT_TRUE(std::equal(truncating.begin(), truncating.end(), ff.begin())) << name_of(s);

        const size_t spb = s.rate == 11025 ? 500 : s.rate == 22050 ? 1012 : 2036;
        const size_t words = spb * s.channels;
        int exact_blocks = 0;
        int max_difference = 0;
        for (size_t b = 0; b * words < ours.samples.size(); ++b) {
            bool shifts_agree = true;
            for (int c = 0; c < s.channels; ++c)
                shifts_agree = shifts_agree && ours.block_predictors[b * s.channels + c] <= 2;
            const size_t end = std::min(ours.samples.size(), (b + 1) * words);
            for (size_t i = b * words; i < end; ++i) {
                const int d = std::abs(ours.samples[i] - ff[i]);
                max_difference = std::max(max_difference, d);
                if (shifts_agree) {
                    ASSERT_EQ(ours.samples[i], ff[i]) << name_of(s) << " block " << b;
                }
            }
            exact_blocks += shifts_agree;
        }
        std::cout << "[ ffmpeg ] " << name_of(s) << ": " << exact_blocks
                  << " blocks with pairs 0-2 identical, largest difference elsewhere "
                  << max_difference << "\n";
    }
}

TEST_F(Independent, ProbesReadTheFormatsWeWrite)
{
    if (!have_tool("ffprobe") || !have_tool("soxi"))
        GTEST_SKIP() << "ffprobe and soxi are needed";
    const std::string file = ours_from(chord({2, 44100}, 2.0));
    const std::string probe =
        capture("ffprobe -v error -show_streams -of default=nw=1 " + quoted(file));
    EXPECT_NE(probe.find("codec_name=adpcm_ms"), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=44100"), std::string::npos);
    EXPECT_NE(probe.find("channels=2"), std::string::npos);
    EXPECT_NE(probe.find("bits_per_sample=4"), std::string::npos);
    EXPECT_NE(probe.find("extradata_size=32"), std::string::npos);
    EXPECT_NE(probe.find("duration_ts=88200"), std::string::npos);
    EXPECT_EQ(capture("soxi -s " + quoted(file)), "88200\n");
    EXPECT_EQ(capture("soxi -e " + quoted(file)), "MS ADPCM\n");

    const std::string back = path("back.wav");
    ASSERT_EQ(convert_wave_file(nullptr, file.c_str(), back.c_str()), 1);
    const std::string pcm =
        capture("ffprobe -v error -show_streams -of default=nw=1 " + quoted(back));
    EXPECT_NE(pcm.find("codec_name=pcm_u8"), std::string::npos) << pcm;
    EXPECT_NE(pcm.find("channels=2"), std::string::npos);
    EXPECT_EQ(capture("soxi -s " + quoted(back)), "88200\n");
    EXPECT_EQ(capture("soxi -e " + quoted(back)), "Unsigned Integer PCM\n");
    EXPECT_EQ(capture("soxi -b " + quoted(back)), "8\n");
}

TEST_F(Independent, FilesFfmpegEncodesDecodeExactlyAsFfmpegDecodesThem)
{
    for (const Shape& s : kShapes) {
        const std::string src = chord(s);
        const std::string file = path("ffmpeg.wav");
        ASSERT_TRUE(run("ffmpeg -nostdin -loglevel error -y -i " + quoted(src) + " -c:a adpcm_ms " +
                        quoted(file)));
        OurDecode ours = decode_with_ours(file);
        ASSERT_TRUE(ours.ok) << name_of(s);
        const std::vector<int16_t> ff = ffmpeg_decode(file);
        EXPECT_TRUE(ff == ours.samples) << name_of(s);

        // The converter's 8-bit result is the high byte of the same samples.
        const std::string back = path("back.wav");
        ASSERT_EQ(convert_wave_file(nullptr, file.c_str(), back.c_str()), 1);
        const std::vector<uint8_t> bytes = read_bytes(back);
        WaveConvSource pcm;
        ASSERT_EQ(wave_conv_read_source(back, pcm), 1);
        ASSERT_EQ(pcm.data_size, ours.samples.size()) << name_of(s);
        for (size_t i = 0; i < ours.samples.size(); ++i)
            ASSERT_EQ(bytes[pcm.data_offset + i], (ff[i] >> 8) + 128) << name_of(s) << " " << i;
    }
}

TEST_F(Independent, FilesSoxEncodesDecodeExactlyAsSoxDecodesThem)
{
    for (const Shape& s : kShapes) {
        const std::string src = chord(s);
        const std::string file = path("soxadpcm.wav");
        ASSERT_TRUE(run("sox " + quoted(src) + " -e ms-adpcm " + quoted(file)));
        OurDecode ours = decode_with_ours(file);
        ASSERT_TRUE(ours.ok) << name_of(s);
        // sox fills its last block with padding and decodes all of it; we stop at the
        // "fact" count, which is the length of the source.
        EXPECT_EQ(ours.samples.size(), sox_decode(src).size()) << name_of(s);
        const std::vector<int16_t> sox = sox_decode(file);
        ASSERT_GE(sox.size(), ours.samples.size()) << name_of(s);
        EXPECT_TRUE(std::equal(ours.samples.begin(), ours.samples.end(), sox.begin()))
            << name_of(s);
    }
}

// Reported, not only asserted: how close our files come to the source, next to what
// ffmpeg's own encoder makes of the same input in the same run.
TEST_F(Independent, QualityOfAMusicLikeSignal)
{
    const std::string src = chord({2, 44100}, 5.0);
    const std::vector<int16_t> reference = sox_decode(src);
    const std::string file = ours_from(src);
    OurDecode ours = decode_with_ours(file);
    ASSERT_TRUE(ours.ok);
    const double ours_db = snr_db(reference, ours.samples);
    const double ours_by_sox = snr_db(reference, sox_decode(file));

    const std::string ff_file = path("ffmpeg.wav");
    ASSERT_TRUE(run("ffmpeg -nostdin -loglevel error -y -i " + quoted(src) + " -c:a adpcm_ms " +
                    quoted(ff_file)));
    const double ffmpeg_db = snr_db(reference, ffmpeg_decode(ff_file));
    std::cout << "[ quality ] SNR ours " << ours_db << " dB (sox decoding ours " << ours_by_sox
              << " dB), ffmpeg's encoder " << ffmpeg_db << " dB\n";
    RecordProperty("snr_ours_db", std::to_string(ours_db));
    RecordProperty("snr_ffmpeg_db", std::to_string(ffmpeg_db));
    EXPECT_GE(ours_db, 20.0);
    EXPECT_DOUBLE_EQ(ours_db, ours_by_sox);
}
