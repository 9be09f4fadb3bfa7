// The conversion job against ffmpeg's MS ADPCM decoder, the rate lookup and the stretch rule.
#include "plavo/convert_job.h"
#include "plavo/playback.h"
#include "tests/plavo/plavo_env.h"

#include <algorithm>
#include <cmath>

using namespace plavo;

namespace {

// One block through the player's stretch, finished: the bytes written.
size_t stretch(const int16_t* in, size_t frames, int channels, float r, int16_t* out)
{
    kel::ocw::Stretcher s(r, channels);
    const size_t n = s.push(in, frames, out);
    return (n + s.finish(out + n * channels)) * channels * 2;
}

} // namespace

TEST(RateLookup, EveryMarkerOfTheEncoderAndThePlayersOwnMapToTheirRatio)
{
    EXPECT_FLOAT_EQ(ratio_for_marker(29999), 1.47f);
    EXPECT_FLOAT_EQ(ratio_for_marker(24999), 1.764f);
    EXPECT_FLOAT_EQ(ratio_for_marker(22050), 2.0f);
    EXPECT_FLOAT_EQ(ratio_for_marker(20000), 2.205f);
    EXPECT_FLOAT_EQ(ratio_for_marker(15624), 2.8224f);
    EXPECT_FLOAT_EQ(ratio_for_marker(static_cast<uint32_t>(44100 / 4.032)), 4.032f);
    EXPECT_FLOAT_EQ(ratio_for_marker(static_cast<uint32_t>(44100 / 6.0995)), 6.0995f);
    // k = 10 and the rest are unknown, as is a marker of nothing.
    EXPECT_EQ(ratio_for_marker(44100), 0.0f);
    EXPECT_EQ(ratio_for_marker(35000), 0.0f);
    EXPECT_EQ(ratio_for_marker(0), 0.0f);
}

TEST(Stretch, MonoAtTwoWritesThreeValuesAndTheNextSampleOverwritesTheThird)
{
    const int16_t in[] = {100, 200, -400, 1000};
    int16_t out[16] = {};
    EXPECT_EQ(stretch(in, 4, 1, 2.0f, out), 16u);
    const int16_t want[] = {100, 150, 200, -100, -400, 300, 1000, 1000};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], want[i]) << i;
}

TEST(Stretch, StereoKeepsLeftInTheFirstSlotAndInterpolatesTowardZero)
{
    // r = 2.8224: K = 3, frame j lands on word trunc(2j x r) made even.
    const int16_t in[] = {0, 1000, 10, -1000, 20, 7};
    int16_t out[64] = {};
    const size_t bytes = stretch(in, 3, 2, 2.8224f, out);
    EXPECT_EQ(bytes, static_cast<size_t>(3 * 2.8224f) * 4);
    // Frame 0 at word 0; frame 1 at trunc(5.6448) = 5 -> 4; frame 2 at trunc(11.29) = 11 -> 10.
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 1000);
    EXPECT_EQ(out[2], 3);   // 0 + 10 x 1 / 3
    EXPECT_EQ(out[3], 334); // 1000 + (-2000) / 3 = 1000 - 666
    EXPECT_EQ(out[4], 10);
    EXPECT_EQ(out[5], -1000);
    EXPECT_EQ(out[7], -665); // -1000 + 1007 / 3
    EXPECT_EQ(out[10], 20);
    EXPECT_EQ(out[11], 7);
    EXPECT_EQ(out[13], 7); // the last frame holds
}

// The rule written plainly, word by word; the fast paths must give exactly this.
TEST(Stretch, EveryRatioAndChannelCountGivesTheRuleWordForWord)
{
    const float ratios[] = {1.47f, 1.764f, 2.0f, 2.205f, 2.8224f, 4.032f, 6.0995f, 5.2f};
    const size_t lengths[] = {1, 2, 3, 7, 1000, 4099};
    uint32_t x = 99;
    for (const float r : ratios)
        for (int channels = 1; channels <= 2; ++channels)
            for (const size_t frames : lengths) {
                std::vector<int16_t> in(frames * channels);
                for (size_t i = 0; i < in.size(); ++i) {
                    x = x * 1664525u + 1013904223u;
                    // Full-scale swings among ordinary values: the largest steps there are.
                    in[i] = i % 5 == 0 ? static_cast<int16_t>((i & 8) ? 32767 : -32768)
                                       : static_cast<int16_t>(x >> 16);
                }
                // Output frame m belongs to input frame j while trunc(j r) <= m < trunc((j+1) r)
                // and moves toward frame j + 1 (the last holds) by min(m - trunc(j r), K) / K.
                const auto start = [&](size_t j) {
                    return static_cast<size_t>(static_cast<double>(j) * static_cast<double>(r));
                };
                const size_t words = start(frames) * channels;
                std::vector<int16_t> want(words + 64, 0x5A5A), got(words + 64, 0x5A5A);
                const int steps = static_cast<int>(r + 0.5f) < 1 ? 1 : static_cast<int>(r + 0.5f);
                for (size_t j = 0; j < frames; ++j) {
                    const size_t next = j + 1 < frames ? j + 1 : j;
                    for (size_t m = start(j); m < start(j + 1); ++m) {
                        const int k = static_cast<int>(std::min<size_t>(m - start(j), steps));
                        for (int c = 0; c < channels; ++c) {
                            const int cur = in[j * channels + c];
                            want[m * channels + c] = static_cast<int16_t>(
                                cur + (in[next * channels + c] - cur) * k / steps);
                        }
                    }
                }
                ASSERT_EQ(stretch(in.data(), frames, channels, r, got.data()), words * 2);
                ASSERT_EQ(got, want)
                    << "r " << r << ", " << channels << " channels, " << frames << " frames";
            }
}

namespace {

struct Case
{
    const char* name;
    int channels;
    int rate;
    uint32_t marker;
    bool by_ffmpeg;
};

class Decode : public PlavoEnv
{
  protected:
    void SetUp() override
    {
        PlavoEnv::SetUp();
        if (!have_tool("ffmpeg") || !have_tool("sox"))
            GTEST_SKIP() << "ffmpeg and sox are needed";
    }

    std::string make(const Case& c, double seconds)
    {
        const std::string file = path(std::string(c.name) + ".ocw");
        const int frames = static_cast<int>(seconds * c.rate);
        const auto pcm = test_signal(c.channels, frames, c.rate);
        if (!c.by_ffmpeg) {
            write_ocw(file, pcm, c.channels, c.rate, c.marker);
            return file;
        }
        const std::string raw = path("in.raw");
        write_file(raw, std::string(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2));
        EXPECT_TRUE(run("ffmpeg -nostdin -loglevel error -y -f s16le -ar " +
                        std::to_string(c.rate) + " -ac " + std::to_string(c.channels) + " -i " +
                        quoted(raw) + " -c:a adpcm_ms -f wav " + quoted(file)));
        EXPECT_TRUE(patch_marker(file, c.marker));
        return file;
    }

    // sox decodes as MS ADPCM prescribes (prediction shifted); ffmpeg divides, which only
    // files coded with that rounding, such as its own, survive bit for bit.
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
};

} // namespace

TEST_F(Decode, ConvertedFilesCarryTheIndependentDecodeAtEveryFramesStretchedPosition)
{
    const Case cases[] = {
        {"ours-mono-22050", 1, 22050, 22050, false},
        {"ours-stereo-44100", 2, 44100, 20000, false},
        {"ours-stereo-11025", 2, 11025, 15624, false},
        {"ffmpeg-mono-11025", 1, 11025, 29999, true},
        {"ffmpeg-stereo-44100", 2, 44100, 24999, true},
        {"ffmpeg-mono-44100", 1, 44100, 7230, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = make(c, 1.37);
        const std::vector<int16_t> ref = c.by_ffmpeg ? ffmpeg_decode(file) : sox_decode(file);
        ASSERT_FALSE(ref.empty());

        WaveFileDesc desc;
        ASSERT_EQ(read_wave_file(file, desc), kReadOk);
        Playback playback(nullptr);
        const std::string out = path("out.wav");
        ASSERT_EQ(playback.convert(file, out, {}), 1);
        EXPECT_TRUE(ui.boxes.empty());
        const std::string wav = read_file(out);
        // The decoded format, the source's count, and sizes that add up.
        EXPECT_EQ(le32(wav, 4), wav.size() - 8);
        EXPECT_EQ(wav.compare(12, 4, "fmt "), 0);
        EXPECT_EQ(le32(wav, 16), 16u);
        EXPECT_EQ(le32(wav, 20), 1u | (uint32_t(c.channels) << 16));
        EXPECT_EQ(le32(wav, 24), static_cast<uint32_t>(c.rate));
        EXPECT_EQ(le32(wav, 28), static_cast<uint32_t>(c.rate * c.channels * 2));
        EXPECT_EQ(le32(wav, 32), (16u << 16) | (2u * c.channels));
        EXPECT_EQ(wav.compare(36, 4, "fact"), 0);
        EXPECT_EQ(le32(wav, 44), desc.sample_count);
        const std::string data = data_chunk(wav);
        const int16_t* words = reinterpret_cast<const int16_t*>(data.data());

        // Every frame at the place its index in the whole file names, however the steps
        // cut the stream, and trunc(count x r) frames in all.
        const float r = ratio_for_marker(c.marker);
        const size_t count = desc.sample_count;
        ASSERT_GE(ref.size() + c.channels, count * c.channels);
        const size_t out_frames =
            static_cast<size_t>(static_cast<double>(count) * static_cast<double>(r));
        EXPECT_EQ(data.size(), out_frames * c.channels * 2);
        for (size_t f = 0; f < count && (f + 1) * c.channels <= ref.size(); ++f) {
            const size_t pos = static_cast<size_t>(static_cast<double>(f) * r) * c.channels;
            ASSERT_LT(pos, out_frames * c.channels);
            for (int ch = 0; ch < c.channels; ++ch)
                ASSERT_EQ(words[pos + ch], ref[f * c.channels + ch])
                    << "frame " << f << " channel " << ch;
        }
        EXPECT_EQ(std::remove(out.c_str()), 0);
    }
}

TEST_F(Decode, DisplayAndPlaylistChunksTravelToTheWaveFile)
{
    const std::string file = path("c.ocw");
    write_ocw(file, test_signal(1, 3000, 22050), 1, 22050, 22050);
    // Put a "DISP" and a "plst" chunk before "fmt ".
    std::string b = read_file(file);
    const std::string extra = std::string("DISP\x05\0\0\0", 8) + "hello" + std::string(1, '\0') +
                              std::string("plst\x04\0\0\0", 8) + "abcd";
    b.insert(12, extra);
    const uint32_t riff = le32(b, 4) + static_cast<uint32_t>(extra.size());
    for (int i = 0; i < 4; ++i)
        b[4 + i] = static_cast<char>(riff >> (8 * i));
    write_file(file, b);
    Playback playback(nullptr);
    ASSERT_EQ(playback.convert(file, path("o.wav"), {}), 1);
    const std::string wav = read_file(path("o.wav"));
    EXPECT_EQ(wav.substr(12, extra.size()), extra);
    EXPECT_EQ(wav.compare(12 + extra.size(), 4, "fmt "), 0);
}

TEST_F(Decode, ATargetThatIsTheSourceItselfIsRefusedAndTheSourceKept)
{
    const std::string file = path("same.wav");
    write_ocw(file, test_signal(2, 5000, 44100), 2, 44100, 20000);
    const std::string before = read_file(file);
    Playback playback(nullptr);
    EXPECT_EQ(playback.convert(file, file, {}), 0);
    EXPECT_TRUE(read_file(file) == before);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text, "Failed, 1358");
    EXPECT_EQ(ui.boxes[1].text, "BeginConvert failed");
    EXPECT_EQ(ui.boxes[2].text, "Failed to convert file.");
}

TEST_F(Decode, AWildMarkerIsAnUnknownRateNotAHugeBuffer)
{
    const std::string file = path("wild.ocw");
    write_ocw(file, test_signal(2, 5000, 44100), 2, 44100, 0xFFFFFFF0u);
    Playback playback(nullptr);
    EXPECT_EQ(playback.convert(file, path("wild.wav"), {}), 0);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Unknown resample rate. Returning.");
    EXPECT_EQ(ui.boxes[1].text, "Failed to convert file.");
}
