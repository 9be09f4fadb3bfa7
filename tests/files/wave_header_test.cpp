#include "common/host_services.h"
#include "editor/files/wave_header.h"
#include "platform/riff.h"
#include "platform/wave_device.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cstdio>
#include <cstdlib>

class WaveHeaderTest : public TestEnv
{
  protected:
    // Reads with reporting on and returns the texts of the boxes shown.
    std::vector<std::string> read_reporting(const std::string& file, int expect)
    {
        ui.boxes.clear();
        EXPECT_EQ(ReadInputWaveformHeader(file.c_str(), 1), expect) << file;
        std::vector<std::string> texts;
        for (auto& b : ui.boxes)
            texts.push_back(b.text);
        return texts;
    }
    std::string put(const std::string& name, const std::string& bytes)
    {
        write_file(path(name), bytes);
        return path(name);
    }
    void TearDown() override
    {
        kel::wave_device::selected_input_caps() = kel::wave_device::Caps();
        TestEnv::TearDown();
    }
};

using Texts = std::vector<std::string>;

TEST_F(WaveHeaderTest, AcceptsPcmWithChunksAnywhereAndLongFmt)
{
    WaveImage w;
    w.samples = pcm16({1, -1, 2, -2});
    w.before_fmt = chunk("LIST", "INFOINAM" + le32(2) + "a\0");
    w.between = chunk("junk", "xyz");
    w.fmt_size = 18;
    EXPECT_EQ(read_reporting(put("a.wav", w.bytes()), 1), Texts{});
    EXPECT_EQ(data_size, 8u);
    EXPECT_EQ(last_format.channels, 2);
    EXPECT_EQ(last_format.sample_rate, 44100u);
    EXPECT_EQ(play_format.bytes_per_sample, 2);
    EXPECT_EQ(header_read_ok, 1);
    // The samples are found where they are, not assumed to end the file.
    w.after_data = chunk("LIST", "INFOICMT" + le32(4) + "abc\0");
    ASSERT_EQ(ReadInputWaveformHeader(put("b.wav", w.bytes()).c_str(), 0), 1);
    EXPECT_EQ(data_size, 8u);
    EXPECT_EQ(read_file(path("b.wav")).substr(data_offset, 8), w.samples);
}

// Each refusal keeps its numbered text and says on a second line what is wrong.
TEST_F(WaveHeaderTest, EveryRefusalHasItsMessageAndItsReason)
{
    WaveImage good;
    good.samples = pcm16({0, 0});
    const std::string ok = good.bytes();

    EXPECT_EQ(read_reporting(path("missing.wav"), 0),
              Texts{"Cannot open input WAVE file.\nNo such file or directory"});
    EXPECT_EQ(read_reporting(root, 0), Texts{"Cannot open input WAVE file.\nnot a plain file"});
    EXPECT_EQ(read_reporting(put("empty.wav", ""), 0),
              Texts{"End of input file.\n0 bytes; a wave file begins with a 12-byte RIFF header"});
    WaveImage avi = good;
    avi.form = "AVI ";
    EXPECT_EQ(read_reporting(put("avi.wav", avi.bytes()), 0),
              Texts{"Format error on input file.\na RIFF file of type 'AVI ', not 'WAVE'"});
    EXPECT_EQ(read_reporting(put("junk.wav", "JUNK" + le32(4) + "WAVE"), 0),
              Texts{"Format error on input file.\nnot a RIFF file: it begins with 'JUNK'"});
    std::string no_fmt = "WAVE" + chunk("data", "abcd");
    EXPECT_EQ(read_reporting(put("nofmt.wav", "RIFF" + le32(no_fmt.size()) + no_fmt), 0),
              Texts{"No 'fmt' chunk on input file."});
    WaveImage small = good;
    small.fmt_size = 14;
    EXPECT_EQ(read_reporting(put("small.wav", small.bytes()), 0),
              Texts{"'fmt' chunk too small on input file.\n14 bytes; 16 are needed"});
    WaveImage adpcm = good;
    adpcm.format_tag = 2;
    EXPECT_EQ(
        read_reporting(put("adpcm.wav", adpcm.bytes()), 0),
        Texts{"Input file is not a PCM_WAVE file.\nformat tag 2 (Microsoft ADPCM); Orlo edits PCM, "
              "tag 1"});
    adpcm.format_tag = 0x1234;
    EXPECT_EQ(read_reporting(put("odd.wav", adpcm.bytes()), 0),
              Texts{"Input file is not a PCM_WAVE file.\nformat tag 4660; Orlo edits PCM, tag 1"});
    std::string no_data = "WAVE" + chunk("fmt ", ok.substr(20, 16));
    EXPECT_EQ(read_reporting(put("nodata.wav", "RIFF" + le32(no_data.size()) + no_data), 0),
              Texts{"No 'data' chunk in input file."});
    EXPECT_EQ(header_read_ok, 0);
}

TEST_F(WaveHeaderTest, AnInterruptedRecordingOpensWithWhatItHolds)
{
    WaveImage w;
    w.samples = pcm16({1, 2, 3, 4, 5, 6});
    const std::string full = w.bytes();
    // Cut in the middle of the last frame: both sizes run past the end.
    EXPECT_EQ(read_reporting(put("cut1.wav", full.substr(0, full.size() - 3)), 1),
              Texts{"Truncated input file.\nthe file ends inside its samples: 9 of 12 bytes are "
                    "there; the 2 whole frames among them are opened"});
    EXPECT_EQ(data_size, 9u);
    EXPECT_EQ(data_declared_size, 12u);
    // A recorder that never came back to write its sizes.
    WaveImage past = w;
    past.data_size_override = 0xFFFFFFFF;
    past.riff_size_override = 0xFFFFFFFF;
    EXPECT_EQ(read_reporting(put("past.wav", past.bytes()), 1),
              Texts{"Truncated input file.\nthe file ends inside its samples: 12 of 4294967295 "
                    "bytes are there; the 3 whole frames among them are opened"});
    EXPECT_EQ(data_size, 12u);
    // Only the RIFF size is wrong: the samples are whole.
    WaveImage riff = w;
    riff.riff_size_override = 4000;
    EXPECT_EQ(read_reporting(put("riff.wav", riff.bytes()), 1),
              Texts{"Truncated input file.\nthe file ends before its RIFF chunk does; the samples "
                    "are all there"});
    EXPECT_EQ(data_declared_size, 0u);
    // Silent reads accept them silently; a whole file clears the finding.
    ui.boxes.clear();
    EXPECT_EQ(ReadInputWaveformHeader(path("cut1.wav").c_str(), 0), 1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ReadInputWaveformHeader(put("whole.wav", full).c_str(), 0), 1);
    EXPECT_EQ(data_declared_size, 0u);
    EXPECT_FALSE(riff_truncated);

    // What cannot be opened still says why: cut inside fmt, in the header, before data.
    EXPECT_EQ(read_reporting(put("cut2.wav", full.substr(0, 30)), 0),
              Texts{"Truncated input file.\nthe file ends before its format is complete"});
    EXPECT_EQ(read_reporting(put("cut3.wav", full.substr(0, 6)), 0),
              Texts{"End of input file.\n6 bytes; a wave file begins with a 12-byte RIFF header"});
    EXPECT_EQ(read_reporting(put("cut4.wav", full.substr(0, 40)), 0),
              Texts{"Truncated input file.\nthe file ends before its 'data' chunk"});
    // data lies beyond the RIFF size: not inside the form.
    WaveImage beyond = w;
    beyond.riff_size_override = 4 + 24;
    EXPECT_EQ(read_reporting(put("beyond.wav", beyond.bytes()), 0),
              Texts{"No 'data' chunk in input file."});
}

TEST_F(WaveHeaderTest, ImpossibleFormatsAreRefusedBeforeAnythingDividesByThem)
{
    WaveImage w;
    w.samples = pcm16({0, 0});
    for (int channels : {0, 6}) {
        WaveImage c = w;
        c.channels = static_cast<uint16_t>(channels);
        EXPECT_EQ(read_reporting(put("c.wav", c.bytes()), 0),
                  Texts{"Format error on input file.\n" + std::to_string(channels) +
                        " channels; Orlo edits mono and stereo"});
    }
    WaveImage rate = w;
    rate.rate = 0;
    EXPECT_EQ(read_reporting(put("r.wav", rate.bytes()), 0),
              Texts{"Format error on input file.\nsample rate 0"});
    WaveImage bits = w;
    bits.bits = 24;
    EXPECT_EQ(read_reporting(put("b.wav", bits.bytes()), 0),
              Texts{"File not 8 or 16 bit sample!\n24 bits per sample; Orlo edits 8 and 16"});
    // A zero block alignment written by a broken tool.
    std::string zero_align = w.bytes();
    zero_align[32] = zero_align[33] = 0;
    EXPECT_EQ(read_reporting(put("z.wav", zero_align), 0),
              Texts{"Format error on input file.\nblock alignment 0"});
}

TEST_F(WaveHeaderTest, DeviceWarningsFollowTheInputCapabilitiesAndDoNotStopTheRead)
{
    using namespace kel::wave_device;
    WaveImage w;
    w.rate = 48000;
    w.samples = pcm16({0, 0});
    const std::string f = put("w.wav", w.bytes());
    selected_input_caps().formats = kAllFormats & ~k1S16 & ~k4M08;
    EXPECT_EQ(read_reporting(f, 1), (Texts{"Sound board cannot play 16-bit data.",
                                           "Sound board does not support 44KHz sample-rate."}));
    // Silent reads never warn.
    ui.boxes.clear();
    EXPECT_EQ(ReadInputWaveformHeader(f.c_str(), 0), 1);
    EXPECT_TRUE(ui.boxes.empty());
    selected_input_caps().formats = kAllFormats;
    EXPECT_EQ(read_reporting(f, 1), Texts{});
}

// Writes a file the way modules do: header with size 0, samples, ascend.
static std::string write_wave(const std::string& file, const WaveFormat& format,
                              const std::string& samples)
{
    last_format = format;
    auto f = kel::riff::File::open(file, kel::riff::File::Mode::Create);
    EXPECT_TRUE(f);
    EXPECT_EQ(create_waveform_format_header(f.get(), 0), 1);
    EXPECT_EQ(f->write(samples.data(), static_cast<int64_t>(samples.size())),
              static_cast<int64_t>(samples.size()));
    EXPECT_EQ(ascend_and_update_waveform_file(f.get()), 0);
    EXPECT_TRUE(f->close());
    return file;
}

static WaveFormat stereo16()
{
    WaveFormat f;
    f.channels = 2;
    f.sample_rate = 44100;
    f.bits_per_sample = 16;
    f.block_align = 4;
    f.avg_bytes_per_sec = 176400;
    return f;
}

TEST_F(WaveHeaderTest, WriterFixesSizesAfterTheSamples)
{
    std::string samples(1000, '\x11');
    write_wave(path("w.wav"), stereo16(), samples);
    std::string bytes = read_file(path("w.wav"));
    ASSERT_EQ(bytes.size(), 44u + 1000u);
    EXPECT_EQ(bytes.substr(4, 4), le32(static_cast<uint32_t>(bytes.size() - 8)));
    EXPECT_EQ(bytes.substr(36, 8), "data" + le32(1000));
    EXPECT_EQ(bytes.substr(12, 8), "fmt " + le32(16));
    // An odd sample count gets its pad byte, not counted in the data size.
    write_wave(path("odd.wav"), stereo16(), std::string(7, 'x'));
    bytes = read_file(path("odd.wav"));
    EXPECT_EQ(bytes.size(), 44u + 8u);
    EXPECT_EQ(bytes.substr(40, 4), le32(7));
    EXPECT_EQ(bytes.substr(4, 4), le32(44 + 8 - 8));
}

TEST_F(WaveHeaderTest, InfoListIsWrittenBeforeFmtOnlyWhenAskedAndNonEmpty)
{
    info_fields = {{kel::riff::fourcc("INAM"), "Song"}, {kel::riff::fourcc("ICMT"), ""}};
    write_info_list = 1;
    write_wave(path("i.wav"), stereo16(), "abcd");
    std::string bytes = read_file(path("i.wav"));
    EXPECT_EQ(bytes.substr(12, 4), "LIST");
    EXPECT_EQ(bytes.substr(20, 4 + 8 + 6), "INFOINAM" + le32(5) + std::string("Song\0\0", 6));
    ASSERT_EQ(ReadInputWaveformHeader(path("i.wav").c_str(), 0), 1);
    EXPECT_EQ(data_size, 4u);
    info_fields = {{kel::riff::fourcc("INAM"), ""}};
    write_wave(path("j.wav"), stereo16(), "abcd");
    EXPECT_EQ(read_file(path("j.wav")).substr(12, 4), "fmt ");
    info_fields.clear();
    write_info_list = 0;
}

TEST_F(WaveHeaderTest, SoxReadsWhatWeWrite)
{
    if (std::system("command -v soxi >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sox not installed";
    auto words = noise16(2 * 4410, 7);
    write_wave(path("s.wav"), stereo16(), pcm16(words));
    auto run = [](const std::string& cmd) {
        std::string out;
        if (FILE* p = popen(cmd.c_str(), "r")) {
            char buf[256];
            while (fgets(buf, sizeof buf, p))
                out += buf;
            pclose(p);
        }
        return out;
    };
    EXPECT_EQ(run("soxi -r " + path("s.wav")), "44100\n");
    EXPECT_EQ(run("soxi -c " + path("s.wav")), "2\n");
    EXPECT_EQ(run("soxi -b " + path("s.wav")), "16\n");
    EXPECT_EQ(run("soxi -s " + path("s.wav")), "4410\n");
    ASSERT_EQ(std::system(("sox " + path("s.wav") + " -t raw " + path("s.raw")).c_str()), 0);
    EXPECT_EQ(read_file(path("s.raw")), pcm16(words));
}
