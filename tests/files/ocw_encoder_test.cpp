#include "common/host_services.h"
#include "editor/files/file_commands.h"
#include "editor/files/ocw_encoder.h"
#include "editor/files/ocw_import.h"
#include "editor/modules/operations.h"
#include "formats/msadpcm.h"
#include "tests/support/edit_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

uint16_t u16(const std::string& s, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1])
                                                                   << 8);
}
uint32_t u32(const std::string& s, size_t at)
{
    return u16(s, at) | uint32_t{u16(s, at + 2)} << 16;
}

// Body of the first chunk `id` inside a RIFF WAVE image ("" when absent).
std::string chunk_body(const std::string& file, const char* id)
{
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const uint32_t size = u32(file, at + 4);
        if (file.compare(at, 4, id) == 0)
            return file.substr(at + 8, size);
        at += 8 + size + (size & 1);
    }
    return "";
}

std::vector<int16_t> pcm16(const std::string& data)
{
    std::vector<int16_t> v(data.size() / 2);
    std::memcpy(v.data(), data.data(), v.size() * 2);
    return v;
}

// A tone of `hz` on every channel (the right one at half level).
std::string tone(double seconds, uint32_t rate, int channels, double hz)
{
    std::string s;
    const long frames = static_cast<long>(seconds * rate);
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double a = (c ? 6000.0 : 12000.0) * std::sin(2 * M_PI * hz * i / rate);
            const auto v = static_cast<int16_t>(std::lround(a));
            s += static_cast<char>(v & 0xff);
            s += static_cast<char>((v >> 8) & 0xff);
        }
    return s;
}

// Our decode of an ADPCM "data" chunk, trimmed to the "fact" count.
std::vector<int16_t> decode_ours(const std::string& file)
{
    const std::string fmt = chunk_body(file, "fmt ");
    const std::string data = chunk_body(file, "data");
    const int channels = u16(fmt, 2);
    const int align = u16(fmt, 12);
    const uint32_t frames = u32(chunk_body(file, "fact"), 0);
    std::vector<int16_t> out;
    std::vector<int16_t> block(static_cast<size_t>(4096) * channels);
    for (size_t at = 0; at < data.size(); at += static_cast<size_t>(align)) {
        const size_t bytes = std::min<size_t>(static_cast<size_t>(align), data.size() - at);
        const int n = kel::msadpcm::decode_block(reinterpret_cast<const uint8_t*>(data.data()) + at,
                                                 bytes, channels, 4096, block.data());
        if (n <= 0)
            break;
        out.insert(out.end(), block.begin(), block.begin() + n * channels);
    }
    out.resize(std::min<size_t>(out.size(), static_cast<size_t>(frames) * channels));
    return out;
}

// Best normalised correlation of the first channel of b against a, over small lags.
double best_correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int channels)
{
    double best = -1.0;
    const size_t n = std::min(a.size(), b.size()) / channels;
    for (int lag = -8; lag <= 8; ++lag) {
        double ab = 0, aa = 0, bb = 0;
        for (size_t i = 100; i + 100 < n; ++i) {
            const double x = a[i * channels];
            const double y = b[(i + lag) * channels];
            ab += x * y;
            aa += x * x;
            bb += y * y;
        }
        if (aa > 0 && bb > 0)
            best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

} // namespace

// Keeps the DSP module linked in: it installs the encoder's low-pass when loaded.
int (CChildFrame::*ocw_test_filter)(float, const char*,
                                    const char*) = &CChildFrame::do_filter_waveform;

class OcwEncoderTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        OcwCompressionDialog::last_choice = OcwCompressionDialog::kFirstChoice;
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        ASSERT_NE(t, nullptr);
        const std::string cmd =
            std::string("ln -sf '") + t + "/waveconv' '" + program + "waveconv'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        ASSERT_TRUE(module_calls().do_filter_waveform);
    }
    void choose(int control, int* opened_on = nullptr)
    {
        ui.on_dialog("OCW_FILE_COMPRESSION", [control, opened_on](kel::DialogModel& d) {
            auto& o = dynamic_cast<OcwCompressionDialog&>(d);
            if (opened_on)
                *opened_on = o.choice;
            o.select(control);
            o.ok();
        });
    }
    const kel::HeadlessUi::Box* box(const std::string& caption) const
    {
        for (const auto& b : ui.boxes)
            if (b.caption == caption)
                return &b;
        return nullptr;
    }
    bool exists(const std::string& p) const
    {
        struct stat st
        {
        };
        return stat(p.c_str(), &st) == 0;
    }
};

TEST_F(OcwEncoderTest, DialogChoicesRatiosAndLastChoiceKept)
{
    OcwCompressionDialog d;
    EXPECT_STREQ(d.template_name(), "OCW_FILE_COMPRESSION");
    EXPECT_EQ(d.title, "OCW File Copression Options");
    EXPECT_EQ(d.choice, 2000);
    EXPECT_STREQ(OcwCompressionDialog::label(2000),
                 "480,000 bps (best quality, least compression)");
    EXPECT_STREQ(OcwCompressionDialog::label(2003), "320,000 bps (compression = 8.7:1)");
    EXPECT_STREQ(OcwCompressionDialog::label(2004), "250,000 bps (compression = 12:1)");
    EXPECT_FLOAT_EQ(OcwCompressionDialog::ratio(2001), 1.764f);
    EXPECT_FLOAT_EQ(OcwCompressionDialog::ratio(2004), 2.8224f);
    EXPECT_EQ(OcwCompressionDialog::ratio(2005), 0.0f);
    d.select(1999); // not a choice: nothing changes
    EXPECT_EQ(d.choice, 2000);
    d.help();
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_NE(ui.help[0].find("#11206"), std::string::npos);
    d.select(2003);
    d.ok();
    EXPECT_EQ(d.end_code(), kel::kIdOk);
    EXPECT_FLOAT_EQ(d.stored_ratio, 2.205f);
    OcwCompressionDialog again;
    EXPECT_EQ(again.choice, 2003);
    again.select(2001);
    again.cancel();
    EXPECT_EQ(again.end_code(), kel::kIdCancel);
    EXPECT_EQ(OcwCompressionDialog().choice, 2003); // Cancel keeps the earlier choice
}

TEST_F(OcwEncoderTest, DitherTableFollowsTheThreeSeededTables)
{
    std::vector<uint16_t> table(kDitherEntries), again(kDitherEntries);
    build_dither_table(table.data(), 123456);
    build_dither_table(again.data(), 123456);
    EXPECT_EQ(table, again);

    std::vector<int> t1(kDitherEntries), t2(kDitherEntries), t3(kDitherEntries);
    std::srand(123456);
    for (int& v : t1)
        v = std::rand() & 0x7fff;
    std::srand(133456);
    for (int& v : t2)
        v = std::rand() & 0x7fff;
    std::srand(143456);
    for (int& v : t3)
        v = std::rand() & 0x7fff;
    int counts[3] = {};
    for (int i = 0; i < kDitherEntries; ++i) {
        const uint16_t want = t1[i] > t2[i] && t1[i] > t3[i] ? 0 : t2[i] > t3[i] ? 65528 : 8;
        ASSERT_EQ(table[i], want) << i;
        ++counts[table[i] == 0 ? 0 : table[i] == 8 ? 1 : 2];
    }
    for (int c : counts) // about a third each
        EXPECT_NEAR(c, kDitherEntries / 3, 1000);
}

TEST_F(OcwEncoderTest, StereoAt320kHasTheDesignedHeader)
{
    CChildFrame* doc = open_doc(tone(2.0, 44100, 2, 300.0), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    choose(2003);
    const std::string out = path("song.ocw");
    ASSERT_EQ(save_to_named_file(*doc, out, SaveScope::Whole, SaveFormat{2, 16, 44100}, false), 1);
    const std::string file = read_file(out);
    ASSERT_EQ(file.compare(0, 4, "RIFF"), 0);
    EXPECT_EQ(u32(file, 4) + 8, file.size());
    const std::string fmt = chunk_body(file, "fmt ");
    ASSERT_GE(fmt.size(), 50u);
    EXPECT_EQ(u16(fmt, 0), 2);
    EXPECT_EQ(u16(fmt, 2), 2);
    EXPECT_EQ(u32(fmt, 4), 44100u);
    EXPECT_EQ(u32(fmt, 8), 20000u);
    EXPECT_EQ(u16(fmt, 12), 2048);
    EXPECT_EQ(u16(fmt, 14), 4);
    EXPECT_EQ(u16(fmt, 16), 32);
    EXPECT_EQ(u16(fmt, 18), 2036);
    EXPECT_EQ(u16(fmt, 20), 7);
    EXPECT_EQ(static_cast<int16_t>(u16(fmt, 22 + 4 * 5)), 460);
    EXPECT_EQ(static_cast<int16_t>(u16(fmt, 24 + 4 * 6)), -232);
    // 88200 frames decimated by 2.205, cut to trunc(R / r) bytes of whole frames.
    const uint32_t expected_frames = static_cast<uint32_t>(88200 * 4 / 2.205f) / 4;
    EXPECT_EQ(u32(chunk_body(file, "fact"), 0), expected_frames);

    const auto* report = box("File Compression Successful");
    ASSERT_NE(report, nullptr);
    char want[64];
    std::snprintf(want, sizeof want, "File compression = %f", 88200.0 * 4 / file.size());
    EXPECT_EQ(report->text, want);
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(path("finished")));
    // The low-pass is one undoable step on the document.
    EXPECT_NE(contents(doc), tone(2.0, 44100, 2, 300.0));
}

TEST_F(OcwEncoderTest, RoundTripRestoresTheRateAndTheTone)
{
    const std::string source = tone(3.0, 22050, 1, 200.0);
    CChildFrame* doc = open_doc(source, 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    choose(2002);
    std::string name = path("tone.ocw");
    ASSERT_EQ(compress_to_ocw(*doc, name), 1);
    const auto* report = box("File Compression Successful");
    ASSERT_NE(report, nullptr);
    // 2 from the ratio and about 4 from the ADPCM code.
    const double ratio = std::atof(report->text.c_str() + std::strlen("File compression = "));
    EXPECT_NEAR(ratio, 8.0, 0.3);

    ASSERT_EQ(ocw_to_wave(name), 1);
    EXPECT_EQ(name, run_directory() + "ocwimport.wav");
    EXPECT_FALSE(exists(path("tone.wav"))) << "nothing beside the OCW file";
    const std::string wav = read_file(name);
    const std::string fmt = chunk_body(wav, "fmt ");
    ASSERT_GE(fmt.size(), 16u);
    EXPECT_EQ(u16(fmt, 0), 1);
    EXPECT_EQ(u32(fmt, 4), 22050u);
    EXPECT_EQ(u16(fmt, 14), 16);
    const auto back = pcm16(chunk_body(wav, "data"));
    EXPECT_NEAR(static_cast<double>(back.size()), source.size() / 2.0, source.size() / 2.0 * 0.02);
    EXPECT_GT(best_correlation(pcm16(source), back, 1), 0.95);
}

TEST_F(OcwEncoderTest, SelectionShorterThanABlockAndStereoRoundTrip)
{
    const std::string source = tone(1.0, 44100, 2, 250.0);
    CChildFrame* doc = open_doc(source, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    select(doc, 2000, 2000 + 20000); // 40000 bytes, under one 65536-byte read
    choose(2004);
    std::string name = path("part.ocw");
    ASSERT_EQ(compress_to_ocw(*doc, name), 1);
    const std::string file = read_file(name);
    EXPECT_EQ(u32(chunk_body(file, "fmt "), 8), 15624u);
    const uint32_t frames = static_cast<uint32_t>(40000 / 2.8224f) / 4;
    EXPECT_EQ(u32(chunk_body(file, "fact"), 0), frames);
    ASSERT_EQ(ocw_to_wave(name), 1);
    const auto back = pcm16(chunk_body(read_file(name), "data"));
    const auto all = pcm16(source);
    const std::vector<int16_t> part(all.begin() + 2000, all.begin() + 22000);
    EXPECT_GT(best_correlation(part, back, 2), 0.9);
    // The right channel came back at its own (half) level.
    double l = 0, r = 0;
    for (size_t i = 0; i + 1 < back.size(); i += 2) {
        l += std::abs(back[i]);
        r += std::abs(back[i + 1]);
    }
    EXPECT_NEAR(r / l, 0.5, 0.1);
}

TEST_F(OcwEncoderTest, CancelAndRefusalsLeaveDocumentAndDisk)
{
    const std::string source = tone(0.5, 22050, 2, 200.0);
    CChildFrame* doc = open_doc(source, 2, 16, 22050);
    ASSERT_NE(doc, nullptr);
    const std::string name = path("never.ocw");
    // No script: the dialog ends with Cancel.
    EXPECT_EQ(compress_to_ocw(*doc, name), 0);
    EXPECT_FALSE(exists(name));
    EXPECT_EQ(contents(doc), source);
    EXPECT_TRUE(ui.boxes.empty());

    CChildFrame* bytes8 = open_doc(std::string(11025, '\x90'), 1, 8, 11025);
    ASSERT_NE(bytes8, nullptr);
    choose(2000);
    EXPECT_EQ(compress_to_ocw(*bytes8, name), 0);
    EXPECT_FALSE(exists(name));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "This algorithm is designed for 16 bit files only.");
    EXPECT_EQ(contents(bytes8), std::string(11025, '\x90'));
}

TEST_F(OcwEncoderTest, UnsupportedRateLeavesNoPcmUnderTheTargetsName)
{
    CChildFrame* doc = open_doc(tone(0.5, 16000, 1, 200.0), 1, 16, 16000);
    ASSERT_NE(doc, nullptr);
    choose(2002);
    const std::string name = path("odd.ocw");
    EXPECT_EQ(compress_to_ocw(*doc, name), 0);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Failed to decompress file");
    EXPECT_FALSE(exists(name));
    // An earlier file of that name stays as it was.
    write_file(name, "an earlier OCW file");
    choose(2002);
    EXPECT_EQ(compress_to_ocw(*doc, name), 0);
    EXPECT_EQ(read_file(name), "an earlier OCW file");
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(run_directory() + "ocwsave.wav"));
}

TEST_F(OcwEncoderTest, SoxDecodesOurFileToOurSamples)
{
    if (std::system("command -v sox >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sox is not installed";
    CChildFrame* doc = open_doc(tone(1.5, 44100, 2, 440.0), 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    choose(2001);
    const std::string name = path("sox.ocw");
    ASSERT_EQ(compress_to_ocw(*doc, name), 1);
    const std::string raw = path("sox.raw");
    ASSERT_EQ(
        std::system(("sox -q -t wav '" + name + "' -t raw -e signed -b 16 '" + raw + "'").c_str()),
        0);
    const auto ours = decode_ours(read_file(name));
    auto theirs = pcm16(read_file(raw));
    ASSERT_GT(ours.size(), 1000u);
    ASSERT_GE(theirs.size(), ours.size());
    theirs.resize(ours.size());
    EXPECT_EQ(theirs, ours);
}

namespace {

// Arms a Cancel press a given number of progress polls after the low-pass, so the press
// lands in the compression loop or in the converter's window that follows it.
ModuleCalls g_real_modules;
kel::HeadlessUi* g_ui = nullptr;
int g_polls_after_filter = 0;

int low_pass_then_arm_cancel(CChildFrame& doc, float frequency, const char* type, const char* text)
{
    const int ok = g_real_modules.do_filter_waveform(doc, frequency, type, text);
    g_ui->cancel_after_polls(g_polls_after_filter);
    return ok;
}

} // namespace

class OcwCancelTest : public OcwEncoderTest
{
  protected:
    void SetUp() override
    {
        OcwEncoderTest::SetUp();
        g_real_modules = module_calls();
        g_ui = &ui;
        ModuleCalls armed = g_real_modules;
        armed.do_filter_waveform = low_pass_then_arm_cancel;
        set_module_calls(armed);
    }
    void TearDown() override
    {
        set_module_calls(g_real_modules);
        OcwEncoderTest::TearDown();
    }
    // Ten seconds of mono at 22050 Hz: six whole 65536-byte reads and a short seventh.
    std::string source = tone(10.0, 22050, 1, 300.0);
};

TEST_F(OcwCancelTest, CancelWhileCompressingCodesWhatWasWritten)
{
    CChildFrame* doc = open_doc(source, 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    choose(2002); // r = 2: each read gives 16384 words
    g_polls_after_filter = 2;
    const std::string name = path("cut.ocw");
    EXPECT_EQ(compress_to_ocw(*doc, name), 1);

    const std::string file = read_file(name);
    const std::string fmt = chunk_body(file, "fmt ");
    ASSERT_GE(fmt.size(), 50u);
    EXPECT_EQ(u16(fmt, 0), 2);
    EXPECT_EQ(u32(fmt, 8), 22050u);
    // Two reads were decimated before the press; nothing after it.
    EXPECT_EQ(u32(chunk_body(file, "fact"), 0), 2u * 16384u);
    EXPECT_EQ(decode_ours(file).size(), 2u * 16384u);
    EXPECT_EQ(u32(file, 4) + 8, file.size());
    const auto* report = box("File Compression Successful");
    ASSERT_NE(report, nullptr);
    char want[64];
    std::snprintf(want, sizeof want, "File compression = %f", 441000.0 / file.size());
    EXPECT_EQ(report->text, want);
    for (const auto& b : ui.boxes)
        EXPECT_NE(b.text, "Conversion aborted--destination file is corrupt!");
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(path("finished")));
    // The file was made, so the low-pass stays as the document's undoable step.
    EXPECT_NE(contents(doc), source);
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(read_file(doc->undo_file()), source);
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(OcwCancelTest, CancelInTheConverterFailsAndGivesTheSoundBack)
{
    CChildFrame* doc = open_doc(source, 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    choose(2002);
    // Six polls in the compression loop (the seventh read fills the file and ends it);
    // the press comes during the converter's loop.
    g_polls_after_filter = 6 + 4;
    const std::string name = path("half.ocw");
    EXPECT_EQ(compress_to_ocw(*doc, name), 0);

    bool aborted = false;
    for (const auto& b : ui.boxes)
        aborted = aborted || b.text == "Conversion aborted--destination file is corrupt!";
    EXPECT_TRUE(aborted);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Failed to decompress file");
    EXPECT_EQ(box("File Compression Successful"), nullptr);
    // Neither the PCM stage nor the half-coded file is left under the target's name.
    EXPECT_FALSE(exists(name));
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(path("finished")));
    // The failed save takes its filter back.
    EXPECT_EQ(contents(doc), source);
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(OcwCancelTest, CancelDuringTheLowPassWritesNothing)
{
    CChildFrame* doc = open_doc(source, 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    const std::string before = doc->working_file();
    choose(2000);
    g_polls_after_filter = 0;
    ui.cancel_after_polls(1); // the filter's first poll
    const std::string name = path("none.ocw");
    EXPECT_EQ(compress_to_ocw(*doc, name), 0);
    EXPECT_FALSE(exists(name));
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_EQ(box("File Compression Successful"), nullptr);
    EXPECT_EQ(doc->working_file(), before);
    EXPECT_EQ(contents(doc), source);
}

TEST_F(OcwEncoderTest, OpeningAnOcwFileLeavesItsFolderAsItWasAndSaveAsksForAName)
{
    // The OCW file and the master it was made from, side by side.
    ASSERT_EQ(std::system(("mkdir -p '" + root + "music'").c_str()), 0);
    const std::string music = root + "music/";
    const std::string source = tone(1.0, 22050, 1, 200.0);
    CChildFrame* made_from = open_doc(source, 1, 16, 22050, "music/song.wav");
    ASSERT_NE(made_from, nullptr);
    choose(2002);
    ASSERT_EQ(compress_to_ocw(*made_from, music + "song.ocw"), 1);
    close_doc(made_from);
    const auto before = folder_files(music);
    ASSERT_EQ(before.size(), 2u);

    // A Cancel while decoding.
    ui.clear();
    ui.cancel_after_polls(1);
    EXPECT_FALSE(open_sound_file(music + "song.ocw"));
    EXPECT_EQ(folder_files(music), before);
    ui.cancel_after_polls(0);

    auto doc = open_sound_file(music + "song.ocw");
    ASSERT_TRUE(doc);
    EXPECT_STREQ(doc->file_title, "song.ocw");
    EXPECT_GT(doc->current.total_samples, 20000);
    EXPECT_EQ(folder_files(music), before);
    EXPECT_FALSE(exists(run_directory() + "ocwimport.wav"));

    // Save asks where and in which format, starting beside the OCW file.
    std::string started_in;
    ui.on_dialog("SAVEWAVEFORM", [&](kel::DialogModel& m) {
        started_in = dynamic_cast<SaveAsDialog&>(m).directory;
        dynamic_cast<SaveAsDialog&>(m).cancel();
    });
    EXPECT_EQ(save_document(*doc), 0);
    ASSERT_FALSE(ui.dialogs_run.empty());
    EXPECT_EQ(ui.dialogs_run.back(), "SAVEWAVEFORM");
    EXPECT_EQ(started_in, music);
    EXPECT_EQ(folder_files(music), before);
}
