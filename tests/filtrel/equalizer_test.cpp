// The equalizer measured on tones, its dialog's values and presets, and the shipped
// preset files of the equalizer and the flange.
#include "common/preset_values.h"
#include "editor/modules/presets.h"
#include "filtrel/equalizer_dialog.h"
#include "filtrel/equalizer_settings.h"
#include "filtrel/flange.h"
#include "platform/profile.h"
#include "tests/filtrel/filter_fixture.h"

#include <cstdlib>

namespace {

// Frequencies of the 512-point blocks' bins at 44100 Hz.
double bin_hz(int k)
{
    return k * 44100.0 / 512.0;
}

} // namespace

TEST_F(FilterTest, EqualizerRaisesTheBandCentreByItsFactorAndLeavesToneTwoWidthsAway)
{
    const long frames = 2 * 44100;
    // Left: a tone on the band's centre bin and one two widths above it; right: a tone
    // two widths above that falls between bins.
    const std::string bytes = frames16(frames, 2, [](int c, long i) {
        return c == 0 ? sine(3000, bin_hz(26), i) + sine(3000, bin_hz(50), i)
                      : sine(3000, 4300.0, i);
    });
    CChildFrame* doc = open_doc(bytes, 2, 16, 44100);
    ASSERT_NE(doc, nullptr);
    g_equalizer = EqualizerSettings();
    for (EqualizerBand& b : g_equalizer.bands)
        b.gain = 0;
    ASSERT_EQ(doc->do_equalize_waveform(doc->window), 1);
    EXPECT_EQ(contents(doc), bytes) << "all gains 0 change nothing";
    EXPECT_EQ(g_undo_menu.text, "&Undo Equalize...\tCtrl+Z");

    g_equalizer.bands[0] = {2240, 60, 1000};
    ASSERT_EQ(doc->do_equalize_waveform(doc->window), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), bytes.size());
    const auto left = channel16(out, 2, 0), right = channel16(out, 2, 1);
    const double centre = tone_amplitude(left, 0, left.size(), bin_hz(26)) / 3000.0;
    EXPECT_NEAR(centre / std::pow(10.0, 0.6), 1.0, 0.01) << centre;
    EXPECT_LT(std::fabs(db(tone_amplitude(left, 0, left.size(), bin_hz(50)) / 3000.0)), 0.5);
    EXPECT_LT(std::fabs(db(tone_amplitude(right, 0, right.size(), 4300.0) / 3000.0)), 0.5);
}

class EqualizerPresetTest : public FilterTest
{
  protected:
    void SetUp() override
    {
        FilterTest::SetUp();
        g_equalizer = EqualizerSettings();
        g_flange = FlangeSettings();
    }
    std::string ini() const { return program + "KVSEQUAL.INI"; }
};

TEST_F(EqualizerPresetTest, DialogShowsTheGainItAppliesAndItsPresetsReadBack)
{
    CChildFrame* doc = open_doc(pcm16(noise16(44100, 3)), 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    const std::string original = contents(doc);
    using namespace equalize_dialog;

    ui.on_dialog("NEWSELECT", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSelectDialog&>(d);
        EXPECT_EQ(s.title, "Select Equalization File");
        s.create();
    });
    ui.on_dialog("EQUALIZE", [](kel::DialogModel& m) {
        auto& d = static_cast<EqualizeDialog&>(m);
        EXPECT_EQ(d.frequency[0].maximum, 11025);
        EXPECT_EQ(d.frequency[0].position, 11025 - 2205);
        EXPECT_EQ(d.gain[0].position, 60 - 30);
        EXPECT_EQ(d.gain_field[0], " 6.0 dB");
        EXPECT_EQ(d.gain_field[1], "-6.0 dB");
        d.move_slider(kGainSlider[0], 0); // the top: +60
        EXPECT_EQ(d.settings().bands[0].gain, 60);
        EXPECT_EQ(d.gain_field[0], "12.0 dB") << "10^0.6 is 12 dB";
        EXPECT_EQ(d.graph.bands[0].label, "Vol x  4.0");
        d.move_slider(kFrequencySlider[0], 11025 - 3000);
        EXPECT_EQ(d.frequency_field[0], "3000 Hz");
        d.move_slider(kWidthSlider[3], 1000 - 250);
        EXPECT_EQ(d.width_field[3], "250 Hz");
        // The graph follows: the band's curve peaks near 3000 Hz at +12 dB.
        float top = -100, at = 0;
        for (const auto& [hz, level] : d.graph.bands[0].points)
            if (level > top) {
                top = level;
                at = hz;
            }
        EXPECT_NEAR(top, 12.0, 0.1);
        EXPECT_NEAR(at, 3000, 30);
        d.save();
        d.ok();
    });
    ui.on_dialog("SAVE", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSaveDialog&>(d);
        s.set_name("Bright");
        s.save();
    });
    EXPECT_EQ(doc->get_equalization_selection(doc->window), 1);
    EXPECT_NE(contents(doc), original);
    EXPECT_EQ(kel::profile::read_string("Bright", "FGW1", "", ini()), "3000 60 800");
    EXPECT_EQ(kel::profile::read_string("Bright", "FGW4", "", ini()), "8820 -30 250");
    EXPECT_EQ(kel::profile::read_string("Equalization Values", "Equalize1", "", ini()), "Bright");

    // A preset without all four keys reads as a failure, with the box, and runs nothing.
    kel::profile::write_string("Equalization Values", "Equalize2", "Broken", ini());
    kel::profile::write_string("Broken", "FGW1", "1000 10 100", ini());
    kel::profile::write_string("Broken", "FGW2", "2000 10 100", ini());
    const std::string before = contents(doc);
    g_equalizer = EqualizerSettings();
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSelectDialog&>(d);
        s.select(1);
        s.ok();
    });
    EXPECT_EQ(doc->get_equalization_selection(doc->window), 0);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Failed to get equalize parameters");
    EXPECT_EQ(contents(doc), before);
    EXPECT_EQ(g_equalizer.bands[1].frequency, 2000) << "bands read before the gap keep theirs";

    // "Bright" from the list runs without the dialog; a hostile value is kept in range.
    kel::profile::write_string("Bright", "FGW2", "4410 999999 -5", ini());
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& d) {
        auto& s = static_cast<PresetSelectDialog&>(d);
        s.select(0);
        s.ok();
    });
    EXPECT_EQ(doc->get_equalization_selection(doc->window), 1);
    EXPECT_EQ(g_equalizer.bands[1].gain, 60);
    EXPECT_EQ(g_equalizer.bands[1].width, 0);
}

TEST_F(EqualizerPresetTest, ShippedEqualizerAndFlangePresetsAllRead)
{
    const char* bin = std::getenv("KELVARA_TEST_TOOLS");
    ASSERT_TRUE(bin);
    const std::string equal = std::string(bin) + "/KVSEQUAL.INI";
    const std::string flange = std::string(bin) + "/KVSFLNGE.INI";
    int count = 0;
    for (int i = 1;; ++i) {
        const std::string name = kel::profile::read_string(
            "Equalization Values", "Equalize" + std::to_string(i), "", equal);
        if (name.empty())
            break;
        ++count;
        EqualizerSettings s;
        EXPECT_TRUE(read_equalizer_preset(s, equal, name)) << name;
        for (int k = 0; k < kEqualizerBands; ++k) {
            const std::string raw =
                kel::profile::read_string(name, "FGW" + std::to_string(k + 1), "", equal);
            EXPECT_EQ(raw, std::to_string(s.bands[k].frequency) + " " +
                               std::to_string(s.bands[k].gain) + " " +
                               std::to_string(s.bands[k].width))
                << name << ": stored within the ranges";
            EXPECT_LE(s.bands[k].frequency, 22050) << name;
        }
    }
    EXPECT_GE(count, 6);
    EXPECT_TRUE(ui.boxes.empty());
    count = 0;
    for (int i = 1;; ++i) {
        const std::string name = kel::profile::read_string(
            "Flange Presets", "Flange Preset" + std::to_string(i), "", flange);
        if (name.empty())
            break;
        ++count;
        FlangeSettings s;
        s.delay_ms = -1;
        EXPECT_TRUE(read_flange_preset(s, flange, name)) << name;
        EXPECT_EQ(kel::profile::read_string(name, "Flange Values1", "", flange),
                  format_preset_values(flange_preset_values(s)))
            << name;
    }
    EXPECT_GE(count, 5);
}
