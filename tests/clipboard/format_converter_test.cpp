// The format converter's rate, channel and size rules and its per-block patch.
#include "editor/document/format_converter.h"
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

TEST_F(ConverterTest, EveryBlockEndsWithItsTwoFramesPatched)
{
    // 8-bit to 16-bit mono at one rate: 40000 input frames in blocks of 32768.
    std::string in;
    for (int i = 0; i < 40000; ++i)
        in.push_back(static_cast<char>(i % 251));
    write_file(clipboard_data_path(), in);
    const long n = convert_clipboard({1, 8, 8000}, {1, 16, 8000}, 1);
    ASSERT_EQ(n, 80000);
    const std::string out = read_file(converted_clipboard_path());
    ASSERT_EQ(out.size(), 80000u);
    auto expect_at = [&](size_t frame, size_t from) {
        EXPECT_EQ(word(out, frame), (static_cast<uint8_t>(in[from]) - 128) * 256) << frame;
    };
    expect_at(32763, 32763);
    expect_at(32764, 32764);
    expect_at(32766, 32764);
    expect_at(32767, 32765);
    expect_at(32768, 32768);
    expect_at(39997, 39997);
    expect_at(39998, 39996);
    expect_at(39999, 39997);
    EXPECT_EQ(ui.progress.front().text, "Reformating waveform ...");
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
