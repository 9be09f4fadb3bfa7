// OCW files we write, read by decoders that are not ours: both see MS ADPCM at the
// document's nominal rate, and their samples are our decoder's.
#include "editor/files/ocw_encoder.h"
#include "editor/files/wave_conv_reader.h"
#include "editor/modules/operations.h"
#include "tests/adpcm/adpcm_support.h"
#include "tests/support/edit_fixture.h"

#include <gtest/gtest.h>
#include <iostream>

// Keeps the DSP module linked in: it installs the encoder's low-pass when loaded.
int (CChildFrame::*ocw_independent_filter)(float, const char*,
                                           const char*) = &CChildFrame::do_filter_waveform;

namespace {

struct OcwCase
{
    int channels;
    int rate;
    int choice; // 2000 .. 2004
    unsigned marker;
};
// Every bit rate once, both channel counts and the three rates.
const OcwCase kCases[] = {{1, 11025, 2000, 29999}, {2, 22050, 2001, 24999},
                          {1, 44100, 2002, 22050}, {2, 44100, 2003, 20000},
                          {2, 11025, 2004, 15624}, {1, 22050, 2003, 20000}};

std::string name_of(const OcwCase& c)
{
    return std::to_string(c.channels) + "ch " + std::to_string(c.rate) + " Hz choice " +
           std::to_string(c.choice);
}

class OcwIndependent : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        if (!have_tool("sox") || !have_tool("ffmpeg") || !have_tool("ffprobe"))
            GTEST_SKIP() << "sox, ffmpeg and ffprobe are needed";
        ASSERT_TRUE(module_calls().do_filter_waveform);
        OcwCompressionDialog::last_choice = OcwCompressionDialog::kFirstChoice;
    }

    // An OCW file of the sox chord, written by the editor's Save As path.
    std::string ocw_of(const OcwCase& c, double seconds)
    {
        const std::string wav = path("chord.wav");
        const std::string raw = path("chord.raw");
        EXPECT_TRUE(make_chord(wav, c.rate, c.channels, seconds));
        EXPECT_TRUE(run("sox " + quoted(wav) + " -t s16 -e signed " + quoted(raw)));
        const std::vector<uint8_t> bytes = read_bytes(raw);
        CChildFrame* doc = open_doc(std::string(bytes.begin(), bytes.end()), c.channels, 16,
                                    static_cast<uint32_t>(c.rate));
        EXPECT_NE(doc, nullptr);
        const int control = c.choice;
        ui.on_dialog("OCW_FILE_COMPRESSION", [control](kel::DialogModel& d) {
            auto& o = dynamic_cast<OcwCompressionDialog&>(d);
            o.select(control);
            o.ok();
        });
        const std::string out = path("music.ocw");
        EXPECT_EQ(doc ? compress_to_ocw(*doc, out) : 0, 1);
        return out;
    }

    std::vector<int16_t> sox_decode(const std::string& file)
    {
        const std::string raw = path("sox.raw");
        EXPECT_TRUE(run("sox -t wav " + quoted(file) + " -t s16 -e signed " + quoted(raw)));
        return read_s16(raw);
    }

    std::vector<int16_t> ffmpeg_decode(const std::string& file)
    {
        const std::string raw = path("ffmpeg.raw");
        EXPECT_TRUE(run("ffmpeg -nostdin -loglevel error -y -f wav -i " + quoted(file) +
                        " -f s16le -c:a pcm_s16le " + quoted(raw)));
        return read_s16(raw);
    }
};

} // namespace

TEST_F(OcwIndependent, ProbesSeeMsAdpcmAtTheNominalRate)
{
    const OcwCase c{2, 44100, 2003, 20000};
    const std::string file = ocw_of(c, 2.0);
    const std::string probe =
        capture("ffprobe -v error -show_streams -of default=nw=1 -f wav " + quoted(file));
    EXPECT_NE(probe.find("codec_name=adpcm_ms"), std::string::npos) << probe;
    EXPECT_NE(probe.find("sample_rate=44100"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=2"), std::string::npos) << probe;
    EXPECT_NE(probe.find("extradata_size=32"), std::string::npos) << probe;
    // The byte rate they report is the marker, which is what carries the ratio.
    EXPECT_NE(probe.find("bit_rate=160000"), std::string::npos) << probe;
    OurDecode ours = decode_with_ours(file);
    ASSERT_TRUE(ours.ok);
    // Two seconds decimated by 2.205: 40000 frames at the nominal rate.
    EXPECT_EQ(ours.samples.size(), 2u * 40000u);
    EXPECT_NE(probe.find("duration_ts=40000"), std::string::npos) << probe;
    EXPECT_EQ(capture("soxi -r " + quoted(file)), "44100\n");
    EXPECT_EQ(capture("soxi -c " + quoted(file)), "2\n");
    EXPECT_EQ(capture("soxi -e " + quoted(file)), "MS ADPCM\n");
    EXPECT_EQ(capture("soxi -s " + quoted(file)), std::to_string(ours.samples.size() / 2) + "\n");
}

TEST_F(OcwIndependent, SoxAndFfmpegDecodeOurOcwFilesToOurSamples)
{
    int exact_overall = 0;
    for (const OcwCase& c : kCases) {
        const std::string file = ocw_of(c, 3.1);
        // The marker sits where the byte rate would.
        WaveConvSource header;
        ASSERT_EQ(wave_conv_read_source(file, header), 1) << name_of(c);
        EXPECT_EQ(header.avg_bytes_per_sec(), c.marker) << name_of(c);
        EXPECT_EQ(header.sample_rate(), static_cast<uint32_t>(c.rate)) << name_of(c);

        OurDecode ours = decode_with_ours(file);
        ASSERT_TRUE(ours.ok) << name_of(c);
        ASSERT_GT(ours.samples.size(), 1000u);

        const std::vector<int16_t> sox = sox_decode(file);
        // A decoder may keep the padding nibble of an odd mono block: one frame more.
        ASSERT_GE(sox.size(), ours.samples.size()) << name_of(c);
        EXPECT_LE(sox.size(), ours.samples.size() + c.channels) << name_of(c);
        EXPECT_TRUE(std::equal(ours.samples.begin(), ours.samples.end(), sox.begin()))
            << name_of(c);

        // ffmpeg divides the prediction by 256 rounding toward zero: it equals that
        // decode everywhere and ours on the blocks coded with pairs 0 to 2.
        const std::vector<int16_t> ff = ffmpeg_decode(file);
        const std::vector<int16_t> truncating = decode_truncating(file);
        ASSERT_GE(ff.size(), ours.samples.size()) << name_of(c);
        EXPECT_LE(ff.size(), ours.samples.size() + c.channels) << name_of(c);
        ASSERT_EQ(truncating.size(), ours.samples.size()) << name_of(c);
        EXPECT_TRUE(std::equal(truncating.begin(), truncating.end(), ff.begin())) << name_of(c);

        // Channels are coded apart, so a channel whose pair is 0 to 2 in a block must
        // come out identical there whatever the other channel used.
        const size_t spb = c.rate == 11025 ? 500 : c.rate == 22050 ? 1012 : 2036;
        const size_t words = spb * c.channels;
        int exact = 0, coded = 0;
        for (size_t b = 0; b * words < ours.samples.size(); ++b) {
            const size_t end = std::min(ours.samples.size(), (b + 1) * words);
            for (int ch = 0; ch < c.channels; ++ch, ++coded) {
                if (ours.block_predictors[b * c.channels + ch] > 2)
                    continue;
                ++exact;
                for (size_t i = b * words + ch; i < end; i += c.channels)
                    ASSERT_EQ(ours.samples[i], ff[i]) << name_of(c) << " block " << b;
            }
        }
        exact_overall += exact;
        std::cout << "[ ocw ffmpeg ] " << name_of(c) << ": " << exact << " of " << coded
                  << " channel blocks with pairs 0-2, identical\n";
    }
    // Smooth low-passed material favours pairs 3 to 6; the exact check must still have
    // had something to compare.
    EXPECT_GT(exact_overall, 0);
}
