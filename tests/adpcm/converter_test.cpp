// The ADPCM converter file to file: layouts, refusals, prompts, Cancel, copied chunks.
#include "editor/files/wave_convert.h"
#include "formats/msadpcm.h"
#include "tests/adpcm/adpcm_support.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace ms = kel::msadpcm;

namespace {

struct Parsed
{
    uint32_t riff_size = 0;
    uint64_t file_size = 0;
    std::vector<std::pair<std::string, std::string>> chunks; // id, body

    const std::string* find(const std::string& id) const
    {
        for (const auto& c : chunks)
            if (c.first == id)
                return &c.second;
        return nullptr;
    }
    std::vector<std::string> ids() const
    {
        std::vector<std::string> v;
        for (const auto& c : chunks)
            v.push_back(c.first);
        return v;
    }
};

uint32_t u32(const std::string& s, size_t at)
{
    return static_cast<uint8_t>(s[at]) | (static_cast<uint8_t>(s[at + 1]) << 8) |
           (static_cast<uint8_t>(s[at + 2]) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24);
}

uint16_t u16(const std::string& s, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) |
                                 (static_cast<uint8_t>(s[at + 1]) << 8));
}

// A plain walk of our own, so the converter's output is not judged by its own reader.
Parsed parse(const std::string& bytes)
{
    Parsed p;
    p.file_size = bytes.size();
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return p;
    p.riff_size = u32(bytes, 4);
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const uint32_t size = u32(bytes, pos + 4);
        p.chunks.push_back({bytes.substr(pos, 4), bytes.substr(pos + 8, size)});
        pos += 8 + size + (size & 1);
    }
    return p;
}

std::string adpcm_fmt(uint16_t channels, uint32_t rate, uint16_t align, uint16_t spb)
{
    ms::Format f;
    f.channels = channels;
    f.sample_rate = rate;
    f.avg_bytes_per_sec = 12345;
    f.block_align = align;
    f.samples_per_block = spb;
    uint8_t r[ms::kFormatBytes];
    ms::write_format(f, r);
    return std::string(reinterpret_cast<const char*>(r), sizeof r);
}

std::string adpcm_file(const std::string& fmt, const std::string& data, bool with_fact,
                       uint32_t fact = 0)
{
    std::string body = "WAVE" + chunk("fmt ", fmt);
    if (with_fact)
        body += chunk("fact", le32(fact));
    body += chunk("data", data);
    return "RIFF" + le32(static_cast<uint32_t>(body.size())) + body;
}

class Converter : public TestEnv
{
  protected:
    std::string pcm_file(uint16_t channels, uint32_t rate, uint16_t bits, size_t frames,
                         uint32_t seed = 1)
    {
        WaveImage w;
        w.channels = channels;
        w.rate = rate;
        w.bits = bits;
        if (bits == 16) {
            w.samples = pcm16(noise16(frames * channels, seed));
        } else {
            std::vector<int16_t> n = noise16(frames * channels, seed);
            for (int16_t v : n)
                w.samples.push_back(static_cast<char>(v & 0xFF));
        }
        return w.bytes();
    }

    int convert(const std::string& source_bytes, const std::string& out = "out.wav")
    {
        write_file(path("in.wav"), source_bytes);
        return convert_wave_file(nullptr, path("in.wav").c_str(), path(out).c_str());
    }

    const kel::HeadlessUi::Box& last_box() const { return ui.boxes.back(); }
    bool exists(const std::string& name) const { return access(path(name).c_str(), F_OK) == 0; }
};

} // namespace

TEST_F(Converter, Mono44kPcmBecomesBlocksOf1024Bytes)
{
    ASSERT_EQ(convert(pcm_file(1, 44100, 16, 5000)), 1);
    Parsed p = parse(read_file(path("out.wav")));
    EXPECT_EQ(p.riff_size, p.file_size - 8);
    EXPECT_EQ(p.ids(), (std::vector<std::string>{"fmt ", "fact", "data"}));
    const std::string& fmt = *p.find("fmt ");
    ASSERT_EQ(fmt.size(), 50u);
    EXPECT_EQ(u16(fmt, 0), 2);
    EXPECT_EQ(u16(fmt, 2), 1);
    EXPECT_EQ(u32(fmt, 4), 44100u);
    // ((44100 * 4 / 8) / 1024 + 1) * 7 + 44100 * 4 / 8
    EXPECT_EQ(u32(fmt, 8), 22204u);
    EXPECT_EQ(u16(fmt, 12), 1024);
    EXPECT_EQ(u16(fmt, 14), 4);
    EXPECT_EQ(u16(fmt, 16), 32);
    EXPECT_EQ(u16(fmt, 18), 2036);
    EXPECT_EQ(u32(*p.find("fact"), 0), 5000u);
    // Two full blocks, then 928 frames in a short one.
    EXPECT_EQ(p.find("data")->size(), 2 * 1024 + ms::bytes_for_frames(928, 1));

    EXPECT_EQ(last_box().text, "Conversion completed successfully!");
    EXPECT_EQ(last_box().caption, kWaveConverterName);
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front().text, "Kelvara File Conversion");
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(Converter, StereoHeaderAndTheRateMarkerMode)
{
    WaveImage w;
    w.samples = pcm16(noise16(4000, 9));
    std::string bytes = w.bytes();
    // As the OCW encoder writes its intermediate file: nAvgBytesPerSec holds the marker.
    bytes.replace(28, 4, le32(20000));

    ASSERT_EQ(convert(bytes), 1);
    EXPECT_EQ(u32(*parse(read_file(path("out.wav"))).find("fmt "), 8), 44408u);

    ocw_rate_marker_mode = 1;
    const int marked = convert(bytes);
    ocw_rate_marker_mode = 0;
    ASSERT_EQ(marked, 1);
    const std::string fmt = *parse(read_file(path("out.wav"))).find("fmt ");
    EXPECT_EQ(u32(fmt, 8), 20000u);
    EXPECT_EQ(u16(fmt, 12), 2048);
    EXPECT_EQ(u16(fmt, 18), 2036);
}

TEST_F(Converter, AdpcmBackTo8BitPcm)
{
    ASSERT_EQ(convert(pcm_file(2, 22050, 16, 3001, 4)), 1);
    OurDecode d = decode_with_ours(path("out.wav"));
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.samples.size(), 6002u);

    ASSERT_EQ(convert_wave_file(nullptr, path("out.wav").c_str(), path("back.wav").c_str()), 1);
    Parsed p = parse(read_file(path("back.wav")));
    EXPECT_EQ(p.riff_size, p.file_size - 8);
    const std::string& fmt = *p.find("fmt ");
    ASSERT_EQ(fmt.size(), 16u);
    EXPECT_EQ(u16(fmt, 0), 1);
    EXPECT_EQ(u16(fmt, 2), 2);
    EXPECT_EQ(u32(fmt, 4), 22050u);
    EXPECT_EQ(u32(fmt, 8), 44100u);
    EXPECT_EQ(u16(fmt, 12), 2);
    EXPECT_EQ(u16(fmt, 14), 8);
    // The short last block decodes to exactly the frames the "fact" count names.
    EXPECT_EQ(u32(*p.find("fact"), 0), 3001u);
    const std::string& data = *p.find("data");
    ASSERT_EQ(data.size(), 6002u);
    for (size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(static_cast<uint8_t>(data[i]), (d.samples[i] >> 8) + 128) << i;
}

TEST_F(Converter, EightBitSourceEntersAsSixteenBitTimes256)
{
    std::string eight = pcm_file(1, 11025, 8, 1700, 5);
    WaveImage w;
    w.channels = 1;
    w.rate = 11025;
    std::vector<int16_t> words;
    for (size_t i = 44; i < 44 + 1700; ++i)
        words.push_back(static_cast<int16_t>((static_cast<uint8_t>(eight[i]) - 128) * 256));
    w.samples = pcm16(words);

    ASSERT_EQ(convert(eight, "a.wav"), 1);
    ASSERT_EQ(convert(w.bytes(), "b.wav"), 1);
    Parsed a = parse(read_file(path("a.wav")));
    Parsed b = parse(read_file(path("b.wav")));
    EXPECT_EQ(u16(*a.find("fmt "), 12), 256);
    EXPECT_EQ(*a.find("data"), *b.find("data"));
}

TEST_F(Converter, RefusesWhatItCannotConvert)
{
    struct Case
    {
        std::string bytes;
        std::string text;
    };
    std::string odd_coefficients = adpcm_fmt(1, 22050, 512, 1012);
    odd_coefficients[22 + 4 * 5] = 1; // 460 becomes 257
    std::string bad_align = pcm_file(2, 22050, 16, 100);
    bad_align.replace(32, 2, le16(3));
    WaveImage float_file;
    float_file.format_tag = 3;
    float_file.bits = 32;
    float_file.samples = std::string(64, '\0');
    float_file.between = chunk("fact", le32(8));
    std::string too_long_blocks = adpcm_fmt(1, 22050, 512, 1013);

    const std::vector<Case> cases = {
        {pcm_file(2, 48000, 16, 100), "This PCM wave file is not valid for conversion!"},
        {pcm_file(1, 8000, 8, 100), "This PCM wave file is not valid for conversion!"},
        {pcm_file(3, 22050, 16, 100), "This PCM wave file is not valid for conversion!"},
        {adpcm_file(odd_coefficients, std::string(512, '\0'), true, 1012),
         "This ADPCM wave file is not valid for conversion!"},
        {adpcm_file(adpcm_fmt(1, 22050, 512, 1012).substr(0, 48), std::string(512, '\0'), true),
         "This ADPCM wave file is not valid for conversion!"},
        {float_file.bytes(),
         "This wave converter application does not know how to convert current format!"},
        {bad_align, "There is something invalid/corrupt in the source header!"},
        {adpcm_file(too_long_blocks, std::string(512, '\0'), true, 1013),
         "There is something invalid/corrupt in the source header!"},
    };
    for (const Case& c : cases) {
        ui.clear();
        EXPECT_EQ(convert(c.bytes), 0) << c.text;
        ASSERT_EQ(ui.boxes.size(), 1u) << c.text;
        EXPECT_EQ(ui.boxes[0].text, c.text);
        EXPECT_EQ(ui.boxes[0].caption, kWaveConverterName);
        EXPECT_EQ(ui.boxes[0].icon, kel::Icon::Exclamation);
        EXPECT_FALSE(exists("out.wav")) << c.text;
        EXPECT_EQ(ui.progress_windows, 0);
    }
}

TEST_F(Converter, UnreadableSourcesAreNotValidWaveFiles)
{
    WaveImage past_riff;
    past_riff.samples = std::string(400, '\1');
    past_riff.riff_size_override = 100; // the data chunk reaches past the RIFF chunk
    WaveImage tiny_fmt;
    tiny_fmt.fmt_size = 14;
    WaveImage wrong_form;
    wrong_form.form = "AVI ";
    const std::vector<std::string> sources = {
        "",
        "hello, not a wave file at all",
        past_riff.bytes(),
        tiny_fmt.bytes(),
        wrong_form.bytes(),
        "RIFF" + le32(4) + "WAVE",
        "RIFF" + le32(20) + "WAVE" + chunk("data", "12345678"),
    };
    for (const std::string& s : sources) {
        ui.clear();
        EXPECT_EQ(convert(s), 0);
        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[0].text, path("in.wav") + " is not a valid wave file.");
        EXPECT_EQ(ui.boxes[0].caption, kWaveConverterName);
        EXPECT_EQ(ui.boxes[1].text, "WaveConvFileOpen failed, waveconv line 221");
        EXPECT_FALSE(exists("out.wav"));
    }
    ui.clear();
    EXPECT_EQ(convert_wave_file(nullptr, path("missing.wav").c_str(), path("out.wav").c_str()), 0);
    EXPECT_EQ(ui.boxes.at(0).text, path("missing.wav") + " is not a valid wave file.");
}

TEST_F(Converter, AdpcmWithoutFactAsksFirst)
{
    std::vector<int16_t> x = noise16(1012, 3);
    std::vector<uint8_t> block(512);
    ms::encode_block(x.data(), 1012, 1, block.data());
    const std::string data(block.begin(), block.end());
    const std::string file = adpcm_file(adpcm_fmt(1, 22050, 512, 1012), data, false);
    const char* prompt = "This wave file does not have a 'fact' chunk and requires one! This is "
                         "completely invalid and MUST be fixed! Attempt to load it anyway?";

    ui.answer(kel::kIdNo);
    EXPECT_EQ(convert(file), 0);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text, prompt);
    EXPECT_EQ(ui.boxes[0].caption, "wioFileOpen");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::YesNo);
    EXPECT_EQ(ui.boxes[1].text, path("in.wav") + " is not a valid wave file.");
    EXPECT_FALSE(exists("out.wav"));

    ui.clear();
    ui.answer(kel::kIdYes);
    EXPECT_EQ(convert(file), 1);
    EXPECT_EQ(ui.boxes[0].text, prompt);
    // With no count to go by, every frame of the block is written.
    EXPECT_EQ(u32(*parse(read_file(path("out.wav"))).find("fact"), 0), 1012u);
}

TEST_F(Converter, CancelLeavesAClosedPartialFile)
{
    // Reads of 32 blocks (32000 bytes); Cancel at the second read's first poll.
    ui.cancel_after_polls(4);
    EXPECT_EQ(convert(pcm_file(1, 11025, 16, 40000)), 0);
    EXPECT_EQ(last_box().text, "Conversion aborted--destination file is corrupt!");
    EXPECT_EQ(last_box().caption, kWaveConverterName);
    EXPECT_EQ(ui.open_progress, 0);
    Parsed p = parse(read_file(path("out.wav")));
    EXPECT_EQ(p.riff_size, p.file_size - 8);
    ASSERT_NE(p.find("data"), nullptr);
    EXPECT_EQ(p.find("data")->size(), 32 * 256u);
}

TEST_F(Converter, CopiesDispPlstAndInfoInOrder)
{
    WaveImage w;
    w.channels = 1;
    w.rate = 22050;
    w.samples = pcm16(noise16(1500, 2));
    const std::string disp = chunk("DISP", le32(1) + "Odd title");
    const std::string info =
        "LIST" + le32(4 + 8 + 6) + "INFO" + chunk("INAM", std::string("Song\0\0", 6));
    const std::string junk = chunk("junk", "skip me");
    const std::string plst = chunk("plst", le32(0));
    w.before_fmt = disp + junk;
    w.between = info;
    w.after_data = plst;

    ASSERT_EQ(convert(w.bytes()), 1);
    const std::string out = read_file(path("out.wav"));
    Parsed p = parse(out);
    EXPECT_EQ(p.ids(), (std::vector<std::string>{"DISP", "plst", "LIST", "fmt ", "fact", "data"}));
    EXPECT_EQ(out.substr(12, disp.size() + plst.size() + info.size()), disp + plst + info);
    EXPECT_EQ(p.riff_size, p.file_size - 8);
}

TEST_F(Converter, TruncatedDataConvertsWhatIsThere)
{
    std::string bytes = pcm_file(1, 22050, 16, 2000);
    bytes.resize(bytes.size() - 1000); // the data chunk still claims 4000 bytes
    ASSERT_EQ(convert(bytes), 1);
    Parsed p = parse(read_file(path("out.wav")));
    EXPECT_EQ(u32(*p.find("fact"), 0), 1500u);
    EXPECT_EQ(p.find("data")->size(), 512 + ms::bytes_for_frames(1500 - 1012, 1));
}

TEST_F(Converter, NeverWritesOverItsSource)
{
    const std::string bytes = pcm_file(1, 22050, 16, 2000);
    write_file(path("in.wav"), bytes);
    EXPECT_EQ(convert_wave_file(nullptr, path("in.wav").c_str(), path("in.wav").c_str()), 0);
    EXPECT_EQ(read_file(path("in.wav")), bytes);
    EXPECT_EQ(last_box().caption, kWaveConverterName);
}
