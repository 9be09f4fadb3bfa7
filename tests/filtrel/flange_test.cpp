// The flange: no feedback leaves the sound, every format sweeps alike, the pieces the
// work is cut into leave no trace, and its dialog's presets.
#include "editor/modules/presets.h"
#include "filtrel/flange.h"
#include "filtrel/flange_dialog.h"
#include "platform/profile.h"
#include "tests/filtrel/filter_fixture.h"

class FlangeTest : public FilterTest
{
  protected:
    void SetUp() override
    {
        FilterTest::SetUp();
        g_flange = FlangeSettings();
        g_flange_piece_limit = 32768;
    }
    void TearDown() override
    {
        g_flange_piece_limit = 32768;
        FilterTest::TearDown();
    }
    int flange(CChildFrame* doc)
    {
        doc->owner_window = doc->window;
        return doc->digital_filter_waveform(0, 0, 0.0f, "FLANGE", "Flanging waveform ...", 3);
    }
    // A tone sweeping from 200 Hz to 4 kHz with some noise: every comb position is heard.
    static double material(long i)
    {
        const double t = static_cast<double>(i) / 22050.0;
        uint32_t x = static_cast<uint32_t>(i) * 2654435761u;
        return 70.0 * std::sin(2 * M_PI * (200.0 * t + 950.0 * t * t)) +
               10.0 * (static_cast<double>(x >> 24) / 128.0 - 1.0);
    }
};

TEST_F(FlangeTest, NoFeedbackLeavesTheSectionAsItWasAndStillMakesAStep)
{
    const std::string bytes = pcm16(noise16(2 * 30000, 2));
    CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    g_flange.feedback_percent = 0;
    ASSERT_EQ(flange(doc), 1);
    EXPECT_EQ(contents(doc), bytes);
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(g_undo_menu.text, "&Undo Flange...\tCtrl+Z");
    g_flange.feedback_percent = 25;
    ASSERT_EQ(flange(doc), 1);
    EXPECT_NE(contents(doc), bytes);
}

TEST_F(FlangeTest, StereoSixteenBitAndMonoEightBitSweepAtTheSameRate)
{
    const long frames = 2 * 22050;
    std::string eight;
    for (long i = 0; i < frames; ++i)
        eight.push_back(static_cast<char>(128 + std::lround(material(i))));
    const std::string sixteen =
        frames16(frames, 2, [&](int, long i) { return 256.0 * std::lround(material(i)); });
    g_flange = {10, 3, 80, 70, 100};
    CChildFrame* mono = open_doc(eight, 1, 8, 22050);
    CChildFrame* stereo = open_doc(sixteen, 2, 16, 22050);
    ASSERT_TRUE(mono && stereo);
    ASSERT_EQ(flange(mono), 1);
    ASSERT_EQ(flange(stereo), 1);
    const std::string m = contents(mono), s = contents(stereo);
    const auto left = channel16(s, 2, 0);
    EXPECT_EQ(left, channel16(s, 2, 1));
    double diff = 0, signal = 0, change = 0;
    for (long i = 0; i < frames; ++i) {
        const double a = 256.0 * (static_cast<uint8_t>(m[static_cast<size_t>(i)]) - 128);
        const double b = left[static_cast<size_t>(i)];
        diff += (a - b) * (a - b);
        signal += b * b;
        const double in = 256.0 * std::lround(material(i));
        change += (b - in) * (b - in);
    }
    // The comb changes the sound a lot; the two formats differ by the 8-bit rounding only.
    EXPECT_GT(10 * std::log10(change / signal), -10.0);
    EXPECT_LT(10 * std::log10(diff / signal), -30.0);
}

TEST_F(FlangeTest, TheResultDoesNotDependOnThePieceSize)
{
    const std::string bytes =
        frames16(40000, 2, [](int c, long i) { return 40.0 * material(i + 300 * c); });
    g_flange = {6, 2, 88, 60, -60};
    std::string first;
    for (unsigned long piece : {32768UL, 1000UL, 4UL, 5UL}) {
        SCOPED_TRACE(piece);
        g_flange_piece_limit = piece;
        CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
        ASSERT_NE(doc, nullptr);
        select(doc, 2 * 1234, 2 * 39000);
        ASSERT_EQ(flange(doc), 1);
        const std::string out = contents(doc);
        EXPECT_EQ(out.substr(0, 4 * 1234), bytes.substr(0, 4 * 1234));
        if (first.empty())
            first = out;
        else
            EXPECT_EQ(out, first);
    }
    // The engine fed frame by frame gives the command's result too.
    FlangeEngine engine(g_flange, 44100, 2, 2);
    std::string section = bytes.substr(4 * 1234, 4 * (39000 - 1234));
    for (size_t f = 0; f < section.size(); f += 4)
        engine.process(reinterpret_cast<unsigned char*>(&section[f]), 1);
    EXPECT_EQ(first.substr(4 * 1234, section.size()), section);
}

TEST_F(FlangeTest, DialogSavesItsFiveValuesAndPresetsRunWithoutIt)
{
    CChildFrame* doc = open_doc(pcm16(noise16(20000, 8)), 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    const std::string original = contents(doc);
    const std::string ini = program + "KVSFLNGE.INI";
    using namespace flange_dialog;
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSelectDialog&>(d);
        EXPECT_EQ(s.title, "Select Flange Parameters");
        s.create();
    });
    ui.on_dialog("FLANGE", [](kel::DialogModel& m) {
        auto& d = static_cast<FlangeDialog&>(m);
        EXPECT_EQ(d.fields[0], "6");
        EXPECT_EQ(d.sliders[0].position, 100 - 6);
        EXPECT_EQ(d.sliders[4].maximum, 200);
        EXPECT_EQ(d.sliders[4].position, 0) << "mix 100 at the top";
        d.move_slider(kSlider[4], 150);
        EXPECT_EQ(d.fields[4], "-50");
        d.move_slider(kSlider[1], 20 - 7);
        EXPECT_EQ(d.fields[1], "7");
        d.save();
        d.cancel();
    });
    ui.on_dialog("SAVE", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSaveDialog&>(d);
        s.set_name("Jet");
        s.save();
    });
    EXPECT_EQ(doc->flange_waveform(doc->window), 0);
    EXPECT_EQ(contents(doc), original) << "Cancel in the dialog runs nothing";
    EXPECT_EQ(kel::profile::read_string("Jet", "Flange Values1", "", ini), "6 7 88 25 -50");
    EXPECT_EQ(kel::profile::read_string("Flange", "Flange Values1", "", ini), "6 7 88 25 -50");
    EXPECT_EQ(kel::profile::read_string("Flange Presets", "Flange Preset1", "", ini), "Jet");

    g_flange = FlangeSettings();
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSelectDialog&>(d);
        s.select(0);
        s.ok();
    });
    EXPECT_EQ(doc->flange_waveform(doc->window), 1);
    EXPECT_EQ(g_flange.rate_hz, 7);
    EXPECT_EQ(g_flange.mix_percent, -50);
    EXPECT_NE(contents(doc), original);
    EXPECT_EQ(g_undo_menu.text, "&Undo Flange...\tCtrl+Z");
}
