// The Filter command: which engine a notch goes to, the hash filter's arithmetic, and
// presets saved from and read into the "Filter Options" dialog.
#include "editor/modules/presets.h"
#include "filtrel/filter_command.h"
#include "filtrel/filter_options_dialog.h"
#include "platform/profile.h"
#include "tests/filtrel/filter_fixture.h"

TEST_F(FilterTest, NotchesBelowFiveKilohertzRunTheStateVariableFilterAndFromThereTheSpectral)
{
    const long frames = 44100;
    const std::string tone = frames16(frames, 1, [](int, long i) { return sine(10000, 4990, i); });
    CChildFrame* doc = open_doc(tone, 1, 16, 44100);
    ASSERT_NE(doc, nullptr);
    set_filter_type(g_filter, kFilterNotch);
    g_filter.frequency = 4990.0f;
    g_spectral.blocks = -1;
    ASSERT_EQ(run_filter_settings(*doc), 1);
    EXPECT_EQ(g_spectral.blocks, -1) << "no spectral block ran";
    // The time-domain notch takes the tone out once it has settled.
    const auto notched = channel16(contents(doc), 1, 0);
    EXPECT_LT(db(rms(notched, 4410, frames) / (10000 / std::sqrt(2.0))), -30.0);
    EXPECT_EQ(g_undo_menu.text, "&Undo Filter...\tCtrl+Z");

    CChildFrame* other = open_doc(tone, 1, 16, 44100);
    ASSERT_NE(other, nullptr);
    g_filter.frequency = 5000.0f;
    ASSERT_EQ(run_filter_settings(*other), 1);
    EXPECT_EQ(g_spectral.blocks, (frames + 767) / 768) << "1024-point blocks stepping 768";

    // At 22050 Hz the time-domain recursion is unstable from about 4675 Hz: such notches
    // take the spectral filter, whose eight zeroed elements take the tone down.
    CChildFrame* slow = open_doc(
        frames16(22050, 1, [](int, long i) { return sine(10000, 4900, i, 22050); }), 1, 16, 22050);
    ASSERT_NE(slow, nullptr);
    g_filter.frequency = 4900.0f;
    ASSERT_EQ(run_filter_settings(*slow), 1);
    EXPECT_EQ(g_spectral.blocks, (22050 + 767) / 768);
    const auto quiet = channel16(contents(slow), 1, 0);
    EXPECT_LT(db(rms(quiet, 2205, 19845) / (10000 / std::sqrt(2.0))), -10.0);
    EXPECT_LE(*std::max_element(quiet.begin(), quiet.end()), 10000.0);
}

TEST_F(FilterTest, HashFilterAveragesEveryOtherByteOfMonoEightBitWithItsNeighboursTwoAway)
{
    // 40000 bytes: two pieces of 20000; in each the last four pairs keep their values and
    // the running previous value carries from the last pair that was smoothed.
    std::string bytes(40000, '\0');
    uint32_t x = 5;
    for (char& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<char>((x >> 16) & 0xff);
    }
    CChildFrame* doc = open_doc(bytes, 1, 8, 11025);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->hash_filter(), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), bytes.size());
    auto in = [&](long i) {
        return static_cast<int>(static_cast<uint8_t>(bytes[static_cast<size_t>(i)]));
    };
    auto got = [&](long i) {
        return static_cast<int>(static_cast<uint8_t>(out[static_cast<size_t>(i)]));
    };

    EXPECT_EQ(got(0), (in(0) + in(0) + in(2)) / 3);
    EXPECT_EQ(got(1), (in(1) + in(1) + in(3)) / 3);
    for (long i : {2L, 3L, 1001L, 19990L, 19991L})
        EXPECT_EQ(got(i), (in(i - 2) + in(i) + in(i + 2)) / 3) << i;
    for (long i = 19992; i < 20000; ++i)
        EXPECT_EQ(got(i), in(i)) << i;
    EXPECT_EQ(got(20000), (in(19990) + in(20000) + in(20002)) / 3);
    EXPECT_EQ(got(20001), (in(19991) + in(20001) + in(20003)) / 3);
    EXPECT_EQ(got(39990), (in(39988) + in(39990) + in(39992)) / 3);
    for (long i = 39992; i < 40000; ++i)
        EXPECT_EQ(got(i), in(i)) << i;
    EXPECT_EQ(g_undo_menu.text, "&Undo Noise reduction...\tCtrl+Z");
    bool titled = false;
    for (const auto& e : ui.progress)
        titled |= e.text.find("Filtering high-freq hash...") != std::string::npos;
    EXPECT_TRUE(titled);
}

class FilterPresetTest : public FilterTest
{
  protected:
    std::string ini() const { return program + "KVSFILTR.INI"; }

    // Filter command, Create, then the script in the options dialog; Save names it.
    void save_from_dialog(CChildFrame* doc, const std::string& name,
                          std::function<void(FilterOptionsDialog&)> script)
    {
        ui.on_dialog("NEWSELECT",
                     [](kel::DialogModel& d) { static_cast<PresetSelectDialog&>(d).create(); });
        ui.on_dialog("NEWFILTEROPTIONS", [&, script](kel::DialogModel& d) {
            auto& options = static_cast<FilterOptionsDialog&>(d);
            options.show_values();
            script(options);
            options.save_preset();
            options.cancel();
        });
        ui.on_dialog("SAVE", [name](kel::DialogModel& d) {
            auto& save = static_cast<PresetSaveDialog&>(d);
            save.set_name(name);
            save.save();
        });
        doc->filter_waveform(doc->window);
    }
};

TEST_F(FilterPresetTest, SaveWritesFourIntegersForASweepAndThreeOtherwise)
{
    CChildFrame* doc = open_doc(pcm16(noise16(22050, 1)), 1, 16, 22050);
    ASSERT_NE(doc, nullptr);
    const std::string original = contents(doc);

    save_from_dialog(doc, "Sweep up", [](FilterOptionsDialog& d) {
        d.choose_type(kFilterBandPass);
        d.toggle_sweep();
        EXPECT_FALSE(d.frequency.enabled);
        EXPECT_TRUE(d.sweep_start.enabled && d.sweep_stop.enabled && d.width.enabled);
        d.move_slider(245, 1000 - 50);  // 500 Hz
        d.move_slider(246, 1000 - 500); // 5000 Hz
        d.move_slider(247, 810 - 100);  // 100 Hz
        EXPECT_EQ(d.start_field, " 0.50");
        EXPECT_EQ(d.stop_field, " 5.00");
        EXPECT_EQ(d.width_field, "100.00");
    });
    EXPECT_EQ(kel::profile::read_string("Sweep up", "Filter Values1", "", ini()),
              "1001 500 5000 100");
    EXPECT_EQ(kel::profile::read_string("Filter", "Filter Values1", "", ini()),
              "1001 500 5000 100");
    EXPECT_EQ(kel::profile::read_string("Filter Presets", "Filter Preset1", "", ini()), "Sweep up");

    save_from_dialog(doc, "Top cut", [](FilterOptionsDialog& d) {
        d.choose_type(kFilterLowPass);
        EXPECT_FALSE(d.sweep_start.enabled || d.sweep_stop.enabled);
        EXPECT_TRUE(d.frequency.enabled);
        EXPECT_EQ(d.frequency.maximum, 2205); // a 22050 Hz file reaches 22050 Hz
        d.move_slider(244, 0);
        EXPECT_EQ(d.frequency_field, "22.05");
        d.move_slider(244, 2205 - 300); // 3000 Hz
        EXPECT_EQ(d.frequency_field, " 3.00");
        d.move_slider(247, 810 - 250);
    });
    // The sweep box is still on, but a low pass is not a band pass: three integers.
    EXPECT_EQ(g_filter.sweep, 1);
    EXPECT_EQ(kel::profile::read_string("Top cut", "Filter Values1", "", ini()), "276 3000 250");
    EXPECT_EQ(kel::profile::read_string("Filter Presets", "Filter Preset2", "", ini()), "Top cut");
    EXPECT_EQ(contents(doc), original) << "Cancel in the dialog runs nothing";

    // Reading the sweep back selects the band-pass sweep with its texts.
    FilterSettings read;
    ASSERT_TRUE(read_filter_preset(read, ini(), "Sweep up"));
    EXPECT_EQ(read.type, kFilterSweep);
    EXPECT_EQ(read.sweep, 1);
    EXPECT_EQ(read.type_text, "BANDPASS");
    EXPECT_EQ(read.progress_text, "Filter-sweep waveform ...");
    EXPECT_EQ(read.sweep_start, 500.0f);
    EXPECT_EQ(read.sweep_stop, 5000.0f);
    EXPECT_EQ(read.sweep_start_step, 50);
    EXPECT_EQ(read.sweep_stop_step, 500);
    EXPECT_EQ(read.width, 100.0f);
    ASSERT_TRUE(read_filter_preset(read, ini(), "Top cut"));
    EXPECT_EQ(read.type, kFilterLowPass);
    EXPECT_EQ(read.sweep, 0);
    EXPECT_EQ(read.frequency, 3000.0f);
    EXPECT_EQ(read.frequency_step, 300);
    EXPECT_EQ(read.type_text, "LOPASS");
    EXPECT_FALSE(read_filter_preset(read, ini(), "No such preset"));

    // OK on a preset runs it without the dialog.
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& d) {
        auto& select = static_cast<PresetSelectDialog&>(d);
        select.select(1);
        select.ok();
    });
    doc->filter_waveform(doc->window);
    EXPECT_EQ(g_undo_menu.text, "&Undo Filter...\tCtrl+Z");
    EXPECT_NE(contents(doc), original);
}
