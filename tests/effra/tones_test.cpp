// Tones / Effects on documents: measured frequencies and glides, modulation against the
// cosine, no wrap-around at the strongest settings, whole frames only, presets, Cancel.
#include "common/preset_values.h"
#include "editor/modules/presets.h"
#include "effra/selection_region.h"
#include "effra/tones.h"
#include "effra/tones_dialog.h"
#include "platform/profile.h"
#include "tests/support/edit_fixture.h"

#include <cmath>
#include <cstdlib>

namespace {

using effra::TonesDialog;
using effra::ToneSettings;

constexpr double kPi = 3.14159265358979323846;

// Upward zero crossings of one channel, in fractional frames.
std::vector<double> crossings(const std::string& bytes, int channels, size_t from, size_t to)
{
    std::vector<double> at;
    auto sample = [&](size_t f) {
        const size_t i = 2 * (f * channels);
        return static_cast<double>(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) |
                                                        (static_cast<uint8_t>(bytes[i + 1]) << 8)));
    };
    for (size_t f = from + 1; f < to; ++f) {
        const double a = sample(f - 1), b = sample(f);
        if (a < 0 && b >= 0)
            at.push_back(static_cast<double>(f - 1) + a / (a - b));
    }
    return at;
}

double mean_frequency(const std::vector<double>& at, double rate)
{
    return at.size() < 2 ? 0.0 : (at.size() - 1) * rate / (at.back() - at.front());
}

class TonesTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        effra::tone_settings() = ToneSettings();
    }

    static ToneSettings plain(int hz_from, int hz_to)
    {
        ToneSettings s;
        s.frequency_initial = hz_from;
        s.frequency_final = hz_to;
        for (int k = 0; k < 4; ++k)
            s.harmonic_initial[k] = 0;
        s.phase = 0;
        return s;
    }

    // Through the dialog, as a user would: Create, then OK.
    void create(CChildFrame* doc, std::function<void(TonesDialog&)> edit)
    {
        ui.on_dialog("NEWSELECT",
                     [](kel::DialogModel& m) { static_cast<PresetSelectDialog&>(m).create(); });
        ui.on_dialog("TonesAndEffects", [edit](kel::DialogModel& m) {
            auto& d = static_cast<TonesDialog&>(m);
            edit(d);
            if (!d.ended())
                d.ok();
        });
        doc->make_tones_or_effects(doc->window);
    }
};

TEST_F(TonesTest, GeneratedTonesHaveTheAskedFrequency)
{
    const uint32_t rate = 44100;
    const size_t frames = 10 * rate;
    CChildFrame* doc = open_doc(std::string(2 * frames, '\0'), 1, 16, rate);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, static_cast<long>(frames));
    for (int hz : {440, 10000}) {
        effra::tone_settings() = plain(hz, hz);
        create(doc, [hz](TonesDialog& d) {
            EXPECT_STREQ(d.caption(), "Tones and Special Effects");
            EXPECT_FALSE(d.channel_buttons_visible());
            EXPECT_EQ(d.value(TonesDialog::kFrequencyInitial), hz);
            EXPECT_EQ(d.slider(TonesDialog::kFrequencyInitial)->maximum, 22050);
        });
        const std::string out = contents(doc);
        const double measured = mean_frequency(crossings(out, 1, 0, frames), rate);
        EXPECT_NEAR(measured, hz, hz * 0.001) << hz << " Hz";
        // Cosine at volume 50: a peak of 0.5 * 16128.
        EXPECT_EQ(word(out, 0), 8064);
        EXPECT_EQ(g_undo_menu.text, "&Undo Special effects...\tCtrl+Z");
        doc->undo_command();
    }

    // A glide from 200 to 400 Hz over two seconds starts at 200 and ends at 400.
    effra::tone_settings() = plain(200, 400);
    select(doc, 0, 2 * rate);
    create(doc, [](TonesDialog&) {});
    const std::vector<double> at = crossings(contents(doc), 1, 0, 2 * rate);
    ASSERT_GT(at.size(), 500u);
    EXPECT_NEAR(rate / (at[1] - at[0]), 200.0, 2.0);
    EXPECT_NEAR(rate / (at.back() - at[at.size() - 2]), 400.0, 4.0);
}

TEST_F(TonesTest, ModulateWithCosineMultipliesTheMusicByTheCosine)
{
    const uint32_t rate = 8000;
    const size_t frames = 8000;
    const std::string in = pcm16(noise16(2 * frames, 17));
    CChildFrame* doc = open_doc(in, 2, 16, rate);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * static_cast<long>(frames));
    ToneSettings s = plain(50, 50);
    s.generate = 0;
    effra::tone_settings() = s;
    create(doc, [](TonesDialog& d) {
        EXPECT_FALSE(d.generating());
        d.channel_button(TonesDialog::kLeft);
    });
    const std::string out = contents(doc);
    for (size_t f = 0; f < frames; ++f) {
        const double x = word(in, 2 * f);
        const double c = std::cos(2 * kPi * 50.0 * f / rate);
        // The table has 1000 steps to the period: within one step of the phase.
        ASSERT_NEAR(word(out, 2 * f), x * c, std::fabs(x) * 2 * kPi / 1000 + 1) << "frame " << f;
        ASSERT_EQ(word(out, 2 * f + 1), word(in, 2 * f + 1)) << "right, frame " << f;
    }
}

TEST_F(TonesTest, TheStrongestSettingsHoldAtTheLimitInsteadOfWrapping)
{
    for (int bits : {16, 8}) {
        const size_t frames = 20000;
        CChildFrame* doc = open_doc(std::string(frames * bits / 8 * 2, '\0'), 2, bits, 44100);
        ASSERT_NE(doc, nullptr);
        select(doc, 0, 2 * static_cast<long>(frames));
        ToneSettings s;
        s.volume_left = s.volume_right = 100;
        for (int k = 0; k < 4; ++k)
            s.harmonic_initial[k] = 99;
        // A vibrato deeper than the tone: the frequency is held at 1 Hz, never 0 or below.
        s.frequency_initial = s.frequency_final = 40;
        s.vibrato_frequency = 100;
        s.vibrato_amplitude = 100;
        effra::tone_settings() = s;
        create(doc, [](TonesDialog&) {});
        const std::string out = contents(doc);
        const int limit = bits == 16 ? 32767 : 127;
        int peak = 0, largest_step = 0, previous[2] = {};
        for (size_t i = 0; i < 2 * frames; ++i) {
            const int v =
                bits == 16 ? word(out, i) : static_cast<int>(static_cast<uint8_t>(out[i])) - 128;
            ASSERT_LE(std::abs(v), limit);
            peak = std::max(peak, std::abs(v));
            if (i >= 2)
                largest_step = std::max(largest_step, std::abs(v - previous[i % 2]));
            previous[i % 2] = v;
        }
        EXPECT_EQ(peak, limit) << bits;
        // A wrapped value jumps across the whole range.
        EXPECT_LT(largest_step, limit / 2) << bits;
        close_doc(doc);
    }
}

TEST_F(TonesTest, OnlyWholeFramesInsideTheSelectionAreWritten)
{
    // 8-bit mono from sample 3: nothing before it changes (no rounding down to 4 bytes).
    const std::string in(2000, static_cast<char>(100));
    CChildFrame* doc = open_doc(in, 1, 8, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 3, 1003);
    effra::tone_settings() = plain(1000, 1000);
    create(doc, [](TonesDialog&) {});
    const std::string out = contents(doc);
    EXPECT_EQ(out.substr(0, 3), in.substr(0, 3));
    EXPECT_EQ(out.substr(1003), in.substr(1003));
    EXPECT_EQ(static_cast<unsigned char>(out[3]), 128 + 31); // trunc(0.5 * 63 * cos 0)

    // Stereo 16-bit from the middle of a frame: it starts at the next whole frame.
    const std::string in16 = pcm16(noise16(2 * 1000, 8));
    CChildFrame* stereo = open_doc(in16, 2, 16, 8000);
    ASSERT_NE(stereo, nullptr);
    select(stereo, 201, 2 * 600 + 1);
    create(stereo, [](TonesDialog&) {});
    const std::string s = contents(stereo);
    EXPECT_TRUE(s.substr(0, 4 * 101) == in16.substr(0, 4 * 101));
    EXPECT_TRUE(s.substr(4 * 600) == in16.substr(4 * 600));
    EXPECT_EQ(word(s, 2 * 101), 8064);
}

TEST_F(TonesTest, PresetsKeepBothKeysAndTheShippedOnesAllLoad)
{
    const char* tools = std::getenv("KELVARA_TEST_TOOLS");
    ASSERT_NE(tools, nullptr);
    const std::string ini = program + "KVSTONES.INI";
    write_file(ini, read_file(std::string(tools) + "/KVSTONES.INI"));
    CChildFrame* doc = open_doc(pcm16(noise16(2 * 4000, 1)), 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 4000);

    // Every shipped preset runs straight from the list; frequencies above half of this
    // file's rate are held at 4000 Hz.
    const PresetFamily family = preset_family(PresetKind::Tones);
    std::vector<std::string> names;
    for (int i = 1;; ++i) {
        std::string n = kel::profile::read_string("Effects Presets",
                                                  "Effects Preset" + std::to_string(i), "", ini);
        if (n.empty())
            break;
        names.push_back(n);
    }
    ASSERT_GE(names.size(), 8u);
    for (size_t i = 0; i < names.size(); ++i) {
        std::vector<int> key1, key2;
        ASSERT_TRUE(read_preset_values(family, ini, names[i], 1, key1)) << names[i];
        ASSERT_TRUE(read_preset_values(family, ini, names[i], 2, key2)) << names[i];
        EXPECT_EQ(key1.size(), 9u) << names[i];
        EXPECT_EQ(key2.size(), 16u) << names[i];
        ui.on_dialog("NEWSELECT", [i](kel::DialogModel& m) {
            auto& s = static_cast<PresetSelectDialog&>(m);
            s.select(static_cast<int>(i));
            s.ok();
        });
        const long before = ui.dialogs_run.size();
        doc->make_tones_or_effects(doc->window);
        EXPECT_EQ(static_cast<long>(ui.dialogs_run.size()), before + 1) << "no dialog";
        EXPECT_EQ(doc->undo_available, 1) << names[i];
        EXPECT_LE(effra::tone_settings().frequency_final, 4000);
        doc->undo_command();
    }

    // Saved from the dialog, both keys come back through View.
    effra::tone_settings() = ToneSettings();
    create(doc, [&](TonesDialog& d) {
        d.choose_type(4); // Ramp
        d.warble();
        d.slider_moved(TonesDialog::kHarmonicFinal[2], 99 + 0 - 66);
        d.slider_moved(TonesDialog::kPhase, 360 + 0 - 90);
        d.set_generate(false);
        d.channel_button(TonesDialog::kRight);
        ui.on_dialog("SAVE", [](kel::DialogModel& m) {
            auto& s = static_cast<PresetSaveDialog&>(m);
            EXPECT_EQ(s.title, "Save Effects Preset Values");
            s.set_name("Mine");
            s.save();
        });
        EXPECT_EQ(d.save(), 1);
        d.cancel();
    });
    EXPECT_EQ(kel::profile::read_string("Mine", "Effects Values1", "", ini), "0 0 0 0 1 0 1 0 0");
    EXPECT_EQ(kel::profile::read_string("Mine", "Effects Values2", "", ini),
              "3 440 440 50 50 0 0 99 75 50 25 0 0 66 0 90");
    effra::tone_settings() = ToneSettings();
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
        auto& s = static_cast<PresetSelectDialog&>(m);
        s.select(static_cast<int>(s.entries.size()) - 1);
        s.view();
    });
    ui.on_dialog("TonesAndEffects", [](kel::DialogModel& m) {
        auto& d = static_cast<TonesDialog&>(m);
        EXPECT_EQ(d.type_choice(), 4);
        EXPECT_TRUE(d.warble_on());
        EXPECT_EQ(d.value(TonesDialog::kHarmonicFinal[2]), 66);
        EXPECT_EQ(d.value(TonesDialog::kPhase), 90);
        EXPECT_EQ(d.checked_channel_button(), TonesDialog::kRight);
        EXPECT_FALSE(d.generating());
        d.cancel();
    });
    doc->make_tones_or_effects(doc->window);
    EXPECT_EQ(doc->undo_available, 0);
}

TEST_F(TonesTest, CancelHalfwayAndOversizedSelectionsLeaveTheDocumentAlone)
{
    const std::string in = pcm16(noise16(2 * 40000, 6));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 40000);
    const auto files = tmp_files();
    ui.cancel_after_polls(5);
    create(doc, [](TonesDialog&) {});
    EXPECT_TRUE(contents(doc) == in);
    EXPECT_EQ(doc->undo_available, 0);
    EXPECT_EQ(tmp_files(), files);
    EXPECT_EQ(ui.open_progress, 0);

    // Above the in-memory limit: the memory message, before anything is set up.
    EXPECT_EQ(effra::region_buffer(effra::kInMemorySelectionLimit + 1), nullptr);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cannot allocate memory.");
    EXPECT_NE(effra::region_buffer(4096), nullptr);
}

} // namespace
