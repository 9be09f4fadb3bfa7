// The format converter's rate, channel and size rules, and its independence of the block size.
#include "editor/edit/format_converter.h"
#include "editor/files/wave_save.h"
#include "tests/support/edit_fixture.h"

namespace {

class ConverterTest : public EditTest
{
  protected:
    static std::vector<int> run(const ClipboardFormat& from, const ClipboardFormat& to, int mode,
                                const std::string& input)
    {
        FrameConverter c(from, to, mode);
        std::vector<uint8_t> out(c.max_output_bytes(input.size()));
        const size_t n = c.convert_block(reinterpret_cast<const uint8_t*>(input.data()),
                                         input.size(), out.data());
        std::vector<int> values;
        for (size_t i = 0; i < n; i += to.bits / 8) {
            if (to.bits == 8)
                values.push_back(out[i]);
            else
                values.push_back(
                    static_cast<int16_t>(static_cast<uint16_t>(out[i] | (out[i + 1] << 8))));
        }
        return values;
    }
};

TEST_F(ConverterTest, FourTimesTheRateInterpolatesThirdsAndHalf)
{
    const std::string in = pcm16({300, 900});
    const auto out = run({1, 16, 11025}, {1, 16, 44100}, 1, in);
    // (c + 2p) / 3, (p + c) / 2, (2c + p) / 3, c
    EXPECT_EQ(out, (std::vector<int>{100, 150, 200, 300, 500, 600, 700, 900}));
}

TEST_F(ConverterTest, QuarterAndHalfRatesKeepEveryFourthAndEveryOtherFrame)
{
    const std::string in = bytes8({10, 20, 30, 40, 50, 60, 70, 80, 90});
    EXPECT_EQ(run({1, 8, 44100}, {1, 8, 11025}, 1, in), (std::vector<int>{10, 50, 90}));
    EXPECT_EQ(run({1, 8, 22050}, {1, 8, 11025}, 1, in), (std::vector<int>{10, 30, 50, 70, 90}));
    // Any other ratio copies frames one for one.
    EXPECT_EQ(run({1, 8, 8000}, {1, 8, 11025}, 1, in).size(), 9u);
}

TEST_F(ConverterTest, StereoToMonoByChannelMode)
{
    const std::string in = pcm16({1000, -3000, 2001, 4001});
    const ClipboardFormat from{2, 16, 8000}, to{1, 16, 8000};
    EXPECT_EQ(run(from, to, 1, in), (std::vector<int>{-1000, 3001}));
    EXPECT_EQ(run(from, to, 2, in), (std::vector<int>{1000, 2001}));
    EXPECT_EQ(run(from, to, 3, in), (std::vector<int>{-3000, 4001}));
    // Mono to stereo feeds both sides.
    EXPECT_EQ(run(to, from, 1, pcm16({5, -6})), (std::vector<int>{5, 5, -6, -6}));
}

TEST_F(ConverterTest, SizeChangesTakeTheHighByteOrWidenBy256)
{
    EXPECT_EQ(run({1, 16, 8000}, {1, 8, 8000}, 1, pcm16({32767, -32768, -1, 255, 256})),
              (std::vector<int>{255, 0, 127, 128, 129}));
    EXPECT_EQ(run({1, 8, 8000}, {1, 16, 8000}, 1, bytes8({255, 0, 128})),
              (std::vector<int>{127 * 256, -128 * 256, 0}));
}

// The conversion rules applied to the whole input at once, written apart from the
// converter: the reference that every way of cutting the input must reproduce.
std::string reference_conversion(const ClipboardFormat& from, const ClipboardFormat& to, int mode,
                                 const std::string& input)
{
    const int in_bytes = from.bits / 8;
    const size_t frame = static_cast<size_t>(from.channels * in_bytes);
    auto sample = [&](size_t at) {
        const auto* p = reinterpret_cast<const uint8_t*>(input.data()) + at;
        return in_bytes == 1 ? p[0] - 128 : static_cast<int16_t>(p[0] | (p[1] << 8));
    };
    std::string out;
    auto put = [&](int v) {
        if (from.bits == 16 && to.bits == 8)
            v >>= 8;
        else if (from.bits == 8 && to.bits == 16)
            v *= 256;
        if (to.bits == 8) {
            out.push_back(static_cast<char>(v + 128));
        } else {
            out.push_back(static_cast<char>(v & 0xFF));
            out.push_back(static_cast<char>((v >> 8) & 0xFF));
        }
    };
    auto put_frame = [&](const int* f) {
        put(f[0]);
        if (to.channels == 2)
            put(f[1]);
    };
    const double ratio = static_cast<double>(to.rate) / from.rate;
    int prev[2] = {0, 0};
    for (size_t i = 0; (i + 1) * frame <= input.size(); ++i) {
        const int l = sample(i * frame);
        const int r = from.channels == 2 ? sample(i * frame + in_bytes) : l;
        int c[2] = {l, r};
        if (to.channels == 1)
            c[0] = c[1] = mode == 2 ? l : mode == 3 ? r : (l + r) / 2;
        if (ratio == 0.5 || ratio == 0.25) {
            if (i % (ratio == 0.5 ? 2 : 4) == 0)
                put_frame(c);
        } else if (ratio == 2.0) {
            const int m[2] = {(prev[0] + c[0]) / 2, (prev[1] + c[1]) / 2};
            put_frame(m);
            put_frame(c);
        } else if (ratio == 4.0) {
            int third[2], half[2], two_thirds[2];
            for (int ch = 0; ch < 2; ++ch) {
                third[ch] = (c[ch] + 2 * prev[ch]) / 3;
                half[ch] = (prev[ch] + c[ch]) / 2;
                two_thirds[ch] = (2 * c[ch] + prev[ch]) / 3;
            }
            put_frame(third);
            put_frame(half);
            put_frame(two_thirds);
            put_frame(c);
        } else {
            put_frame(c);
        }
        prev[0] = c[0];
        prev[1] = c[1];
    }
    return out;
}

std::string convert_in_pieces(const ClipboardFormat& from, const ClipboardFormat& to, int mode,
                              const std::string& input, size_t piece)
{
    FrameConverter c(from, to, mode);
    std::string out;
    std::vector<uint8_t> buffer(c.max_output_bytes(piece));
    for (size_t at = 0; at < input.size(); at += piece) {
        const size_t n = std::min(piece, input.size() - at);
        const size_t made =
            c.convert_block(reinterpret_cast<const uint8_t*>(input.data()) + at, n, buffer.data());
        EXPECT_LE(made, buffer.size());
        out.append(reinterpret_cast<const char*>(buffer.data()), made);
    }
    return out;
}

TEST_F(ConverterTest, TheResultDoesNotDependOnTheBlockSize)
{
    // Rate pairs for the ratios 0.25, 0.5, 1, 2, 4 and one that copies frame for frame.
    const std::pair<long, long> rates[] = {{44100, 11025}, {22050, 11025}, {22050, 22050},
                                           {11025, 22050}, {11025, 44100}, {8000, 11025}};
    // 25001 frames of every format (odd, so the kept frames of a lower rate straddle
    // block ends), with a stray half frame at the end for the pieces to leave over.
    const std::vector<int16_t> words = noise16(2 * 25001 + 1, 7);
    int combination = 0;
    for (int from_channels : {1, 2})
        for (int to_channels : {1, 2})
            for (int from_bits : {8, 16})
                for (int to_bits : {8, 16})
                    for (const auto& [from_rate, to_rate] : rates) {
                        const ClipboardFormat from{from_channels, from_bits, from_rate};
                        const ClipboardFormat to{to_channels, to_bits, to_rate};
                        const int mode = 1 + combination++ % 3;
                        SCOPED_TRACE(format_text(from) + " -> " + format_text(to) + " mode " +
                                     std::to_string(mode));
                        const size_t frame = static_cast<size_t>(from_channels * from_bits / 8);
                        std::string input = pcm16(words).substr(0, 25001 * frame + frame / 2);
                        const std::string expected = reference_conversion(from, to, mode, input);
                        FrameConverter sizes(from, to, mode);
                        ASSERT_EQ(expected.size(), sizes.output_bytes_for(input.size()));
                        for (size_t piece : {size_t{1}, size_t{7}, size_t{32768}, input.size()})
                            ASSERT_EQ(convert_in_pieces(from, to, mode, input, piece), expected)
                                << "pieces of " << piece;
                        // The clipboard's own conversion reads 32768-byte blocks.
                        write_file(clipboard_data_path(), input);
                        ASSERT_EQ(convert_clipboard(from, to, mode),
                                  static_cast<long>(expected.size()));
                        ASSERT_EQ(read_file(converted_clipboard_path()), expected);
                    }
    EXPECT_EQ(ui.progress.front().text, "Reformating waveform ...");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ConverterTest, AConvertedSixteenBitSaveOfAConstantSignalHoldsNoZeroWord)
{
    // 8-bit mono at 11025 Hz, saved as 16-bit stereo at 22050 Hz: many 32768-byte blocks.
    const std::string constant(100001, static_cast<char>(200));
    CChildFrame* doc = open_doc(constant, 1, 8, 11025);
    ASSERT_TRUE(doc);
    ASSERT_EQ(save_wave_file(*doc, path("wide.wav"), false, SaveFormat{2, 16, 22050}), 1);
    const std::string file = read_file(path("wide.wav"));
    const std::string data = file.substr(44);
    ASSERT_EQ(data.size(), 100001u * 2 * 2 * 2);
    // The first frame leans from silence; every other word holds the signal.
    EXPECT_EQ(word(data, 0), (200 - 128) * 256 / 2);
    for (size_t i = 2; i < data.size() / 2; ++i)
        ASSERT_EQ(word(data, i), (200 - 128) * 256) << "word " << i;
    EXPECT_EQ(data, reference_conversion({1, 8, 11025}, {2, 16, 22050}, 1, constant));
}

TEST_F(ConverterTest, UnreadableClipboardGivesItsMessage)
{
    EXPECT_EQ(convert_clipboard({1, 8, 8000}, {1, 16, 8000}, 1), -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Was not able to read from file 'clipbord.clp'");
    EXPECT_FALSE(exists(converted_clipboard_path()));
}

TEST_F(ConverterTest, CancelledConversionLeavesNoFile)
{
    write_file(clipboard_data_path(), std::string(100000, '\x90'));
    ui.cancel_after_polls(2);
    EXPECT_EQ(convert_clipboard({1, 8, 8000}, {2, 16, 16000}, 1), -1);
    EXPECT_FALSE(exists(converted_clipboard_path()));
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(ConverterTest, FormatTextsRoundTripAndRejectNonsense)
{
    EXPECT_EQ(format_text(ClipboardFormat{2, 16, 22050}), "2 16 22050");
    EXPECT_EQ(parse_format_text("1 8 11025"), (ClipboardFormat{1, 8, 11025}));
    EXPECT_FALSE(parse_format_text("").valid());
    EXPECT_FALSE(parse_format_text("2 24 44100").valid());
    EXPECT_FALSE(parse_format_text("3 16 44100").valid());
    EXPECT_FALSE(parse_format_text("2 16 -5").valid());
    EXPECT_FALSE(parse_format_text("two 16 8000").valid());
}

} // namespace
