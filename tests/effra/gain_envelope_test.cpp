// The drawn envelope and the compressor / expander on documents: gains drawn with the
// mouse, levels through a transfer curve, presets of 29 points, Cancel.
#include "editor/modules/presets.h"
#include "effra/compressor_dialog.h"
#include "effra/envelope_dialog.h"
#include "effra/gain_envelope.h"
#include "platform/profile.h"
#include "tests/support/edit_fixture.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

using effra::CompressorDialog;
using effra::EnvelopeDialog;
using effra::GraphPoint;

constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> sine16(size_t frames, int channels, double hz, double dbfs, uint32_t rate)
{
    const double amplitude = 32767.0 * std::pow(10.0, dbfs / 20.0);
    std::vector<int16_t> v(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            v[i * channels + c] =
                static_cast<int16_t>(std::lround(amplitude * std::sin(2 * kPi * hz * i / rate)));
    return v;
}

// A level in dBFS as a pixel of the transfer graph: the graph spans the levels -45 to 0,
// and a level v is the amplitude N^(1 + v / 100).
int graph_x(double dbfs)
{
    const double v = dbfs * 100.0 / (20.0 * std::log10(32767.0));
    return static_cast<int>(std::lround(effra::kGraphWidth * (1.0 + v / 45.0)));
}
int graph_y(double dbfs)
{
    const double v = dbfs * 100.0 / (20.0 * std::log10(32767.0));
    return static_cast<int>(std::lround(-v * effra::kGraphHeight / 45.0));
}
// The amplitude a pixel stands for, as the curve reads it.
double input_amplitude(int x)
{
    return std::pow(32767.0, 1.0 + 0.45 * (x - effra::kGraphWidth) / effra::kGraphWidth);
}
double output_amplitude(int y)
{
    return std::pow(32767.0, 1.0 - 0.45 * y / effra::kGraphHeight);
}
// Straight lines in amplitude between the points, the identity outside them.
double curve_at(std::vector<GraphPoint> p, double a)
{
    std::sort(p.begin(), p.end(), [](auto& l, auto& r) { return l.x < r.x; });
    for (size_t k = 0; k + 1 < p.size(); ++k) {
        const double l = input_amplitude(p[k].x), h = input_amplitude(p[k + 1].x);
        if (a >= l && a <= h) {
            const double u = output_amplitude(p[k].y), v = output_amplitude(p[k + 1].y);
            return u + (a - l) * (v - u) / (h - l);
        }
    }
    return a;
}

double db(double amplitude)
{
    return 20.0 * std::log10(amplitude / 32767.0);
}

class GainTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        effra::gain_settings() = effra::GainSettings();
    }

    void create_compressor(std::function<void(CompressorDialog&)> edit)
    {
        ui.on_dialog("NEWSELECT",
                     [](kel::DialogModel& m) { static_cast<PresetSelectDialog&>(m).create(); });
        ui.on_dialog("CONTROLPOINTSENVELOPE",
                     [edit](kel::DialogModel& m) { edit(static_cast<CompressorDialog&>(m)); });
    }

    void draw_envelope(std::function<void(EnvelopeDialog&)> edit)
    {
        ui.on_dialog("DRAWENVELOPE",
                     [edit](kel::DialogModel& m) { edit(static_cast<EnvelopeDialog&>(m)); });
    }

    bool progress_shown(const std::string& text) const
    {
        return std::any_of(ui.progress.begin(), ui.progress.end(),
                           [&](const auto& e) { return e.text == text; });
    }

    // Largest magnitude of one channel over a range of frames.
    static int peak(const std::string& bytes, int channels, int channel, size_t from, size_t to)
    {
        int p = 0;
        for (size_t f = from; f < to; ++f)
            p = std::max(p, std::abs(word(bytes, f * channels + channel)));
        return p;
    }
};

// ---- the drawn envelope ----

TEST_F(GainTest, EnvelopeAtHalfHeightKeepsEverySampleAndTheTopDoublesAndClamps)
{
    const std::string in = pcm16(noise16(2 * 8000, 3));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 2 * 1000, 2 * 7000);
    ui.progress.clear();

    draw_envelope([](EnvelopeDialog& d) {
        EXPECT_STREQ(d.caption(), "Draw Desired Waveform Envelope With Mouse");
        EXPECT_TRUE(d.channel_buttons_enabled());
        d.ok();
    });
    ASSERT_EQ(doc->amplify_waveform_by_envelope(doc->window, 0), 1);
    // Every sample is as it was, but for -32768, which is held at -32767 like every
    // result written back.
    const std::string level = contents(doc);
    ASSERT_EQ(level.size(), in.size());
    int held = 0;
    for (size_t i = 0; i < in.size() / 2; ++i) {
        const bool inside = i >= 2000 && i < 14000;
        const int x = word(in, i);
        ASSERT_EQ(word(level, i), inside && x == -32768 ? -32767 : x) << "sample " << i;
        held += inside && x == -32768;
    }
    EXPECT_GT(held, 0);
    EXPECT_EQ(g_undo_menu.text, "&Undo Envelope...\tCtrl+Z");
    EXPECT_TRUE(progress_shown("Scaling by envelope ..."));

    // A stroke along the top edge, drawn faster than one column per event.
    const effra::EnvelopeArea a = effra::envelope_area();
    draw_envelope([&](EnvelopeDialog& d) {
        d.press(a.left - 20, a.top - 5);
        for (int x = a.left; x <= a.left + a.width + 10; x += 37)
            d.drag(x, a.top);
        d.drag(a.left + a.width + 10, a.top);
        d.release();
        for (int c = 0; c < a.width; ++c)
            ASSERT_EQ(d.gain_at_column(c), 2.0) << "column " << c;
        d.ok();
    });
    ASSERT_EQ(doc->amplify_waveform_by_envelope(doc->window, 0), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), in.size());
    int clamped = 0;
    for (size_t i = 0; i < in.size() / 2; ++i) {
        const bool inside = i >= 2000 && i < 14000;
        const int x = word(in, i);
        const int expected = inside ? std::clamp(2 * x, -32767, 32767) : x;
        ASSERT_EQ(word(out, i), expected) << "sample " << i;
        clamped += inside && std::abs(2 * x) > 32767;
    }
    EXPECT_GT(clamped, 1000);

    // 8-bit, left only: a fade drawn up from nothing reaches nothing at the very start
    // (the outer columns follow their neighbours); the right channel keeps every byte.
    doc->undo_command();
    std::string in8(2 * 4000, '\0');
    for (size_t i = 0; i < in8.size(); ++i)
        in8[i] = static_cast<char>(i % 2 ? 40 + i % 7 : 250 - i % 5);
    CChildFrame* doc8 = open_doc(in8, 2, 8, 8000);
    ASSERT_NE(doc8, nullptr);
    select(doc8, 0, 2 * 4000);
    draw_envelope([&](EnvelopeDialog& d) {
        d.channel_button(EnvelopeDialog::kLeft);
        d.press(a.left, a.bottom());
        d.drag(a.left + a.width, a.top);
        d.release();
        d.ok();
    });
    ASSERT_EQ(doc8->amplify_waveform_by_envelope(doc8->window, 0), 1);
    const std::string out8 = contents(doc8);
    EXPECT_EQ(static_cast<unsigned char>(out8[0]), 128);
    for (size_t f = 0; f < 4000; ++f) {
        ASSERT_EQ(out8[2 * f + 1], in8[2 * f + 1]) << "right, frame " << f;
        ASSERT_NE(out8[2 * f], '\0');
    }
    // At the end the gain is 2: 250 - 128 = 122 doubles past the limit.
    EXPECT_EQ(static_cast<unsigned char>(out8[2 * 3999]), 255);
}

// ---- the compressor ----

TEST_F(GainTest, ToneLevelsFollowTheTransferCurveOnceTheAttackHasSettled)
{
    // Points at (-20 dBFS -> -20 dBFS) and (0 dBFS -> -15 dBFS): the right corner moves
    // down to -15 dBFS and a point goes in at -20 dBFS on the diagonal.
    std::vector<GraphPoint> points;
    create_compressor([&](CompressorDialog& d) {
        EXPECT_STREQ(d.caption(), "Compress / Expand Waveform");
        d.clear();
        d.press(effra::kGraphWidth - 3, 5); // picks the corner at 3
        d.drag(effra::kGraphWidth - 3, graph_y(-15.0));
        EXPECT_EQ(d.points()[1].x, effra::kGraphWidth - 3); // a corner keeps its x
        d.press(graph_x(-20.0), graph_y(-20.0));
        ASSERT_EQ(d.points().size(), 3u);
        EXPECT_EQ(d.selected(), 2);
        // The read-outs use the graph's own scale, -50 to 0 dB along each axis.
        EXPECT_EQ(d.levels_text(), " -7.2 dB ->  -7.3 dB");
        EXPECT_EQ(d.ratio_text(), "1: 1.0 Expand");
        points = d.points();
        d.ok();
    });
    const uint32_t rate = 44100;
    // The curve acts on each sample and the attack smooths the correction over about ten
    // samples: a low tone follows the curve, a high one would see the correction lag.
    const size_t frames = 2 * rate;
    for (const double level : {-6.0, -30.0}) {
        CChildFrame* doc = open_doc(pcm16(sine16(frames, 2, 25.0, level, rate)), 2, 16, rate);
        ASSERT_NE(doc, nullptr);
        select(doc, 0, 2 * static_cast<long>(frames));
        ui.progress.clear();
        if (level != -6.0)
            create_compressor([](CompressorDialog& d) { d.ok(); });
        ASSERT_EQ(doc->amplify_waveform_by_envelope(doc->window, 1), 1) << level;
        const std::string out = contents(doc);
        const double in_peak = 32767.0 * std::pow(10.0, level / 20.0);
        const double expected = db(curve_at(points, in_peak));
        for (int channel = 0; channel < 2; ++channel) {
            const double got = db(peak(out, 2, channel, frames / 2, frames));
            EXPECT_NEAR(got, expected, 1.0) << level << " dBFS, channel " << channel;
        }
        if (level == -6.0) {
            EXPECT_NEAR(expected, -17.4, 0.3); // well below the input: it was compressed
            EXPECT_EQ(g_undo_menu.text, "&Undo Compress/Expand...\tCtrl+Z");
            EXPECT_TRUE(progress_shown("Compressing / expanding waveform ..."));
        } else {
            EXPECT_NEAR(expected, level, 0.3);
        }
    }
}

TEST_F(GainTest, APresetOfTwentyNinePointsComesBackPointForPoint)
{
    const std::string ini = program + "KVSECHO.INI";
    CChildFrame* doc = open_doc(pcm16(noise16(2 * 4000, 5)), 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 4000);

    std::vector<GraphPoint> saved;
    create_compressor([&](CompressorDialog& d) {
        d.clear();
        d.set_attack(37);
        for (int i = 0; i < 30; ++i)
            d.press(10 + 13 * i, 280 - 9 * i);
        EXPECT_EQ(d.points().size(), 29u); // a 30th point cannot be added
        d.press(3, 3);                     // no point: within 3 pixels of the top
        EXPECT_EQ(d.points().size(), 29u);
        saved = d.points();
        ui.on_dialog("SAVE", [](kel::DialogModel& m) {
            auto& s = static_cast<PresetSaveDialog&>(m);
            EXPECT_EQ(s.title, "Save Compressor / Expander Values");
            s.set_name("Many points");
            s.save();
        });
        EXPECT_EQ(d.save(), 1);
        d.cancel();
    });
    EXPECT_EQ(doc->amplify_waveform_by_envelope(doc->window, 1), 0);
    const std::string value =
        kel::profile::read_string("Many points", "Compressor Values1", "", ini);
    EXPECT_GT(value.size(), 60u);
    std::istringstream tokens(value);
    int attack = 0, count = 0;
    tokens >> attack;
    for (int v; tokens >> v;)
        ++count;
    EXPECT_EQ(attack, 37);
    EXPECT_EQ(count, 2 * 29);

    // Viewed on a fresh start, the preset shows the same 29 pixels; its OK runs.
    effra::gain_settings() = effra::GainSettings();
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
        auto& s = static_cast<PresetSelectDialog&>(m);
        EXPECT_EQ(s.entries, (std::vector<std::string>{"Many points"}));
        s.select(0);
        s.view();
    });
    ui.on_dialog("CONTROLPOINTSENVELOPE", [&](kel::DialogModel& m) {
        auto& d = static_cast<CompressorDialog&>(m);
        EXPECT_EQ(d.points(), saved);
        EXPECT_EQ(d.attack(), 37);
        d.ok();
    });
    EXPECT_EQ(doc->amplify_waveform_by_envelope(doc->window, 1), 1);
    EXPECT_EQ(doc->undo_available, 1);
}

TEST_F(GainTest, EveryShippedCompressorPresetRunsStraightFromTheList)
{
    const char* tools = std::getenv("KELVARA_TEST_TOOLS");
    ASSERT_NE(tools, nullptr);
    const std::string ini = program + "KVSECHO.INI";
    write_file(ini, read_file(std::string(tools) + "/KVSECHO.INI"));
    const std::string in = pcm16(sine16(8000, 2, 50.0, -1.0, 8000));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 8000);
    size_t count = 0;
    for (;; ++count) {
        const std::string key = "Compressor Preset" + std::to_string(count + 1);
        if (kel::profile::read_string("Compressor Presets", key, "", ini).empty())
            break;
        ui.on_dialog("NEWSELECT", [count](kel::DialogModel& m) {
            auto& s = static_cast<PresetSelectDialog&>(m);
            EXPECT_EQ(s.title, "Save Compressor / Expander Values");
            s.select(static_cast<int>(count));
            s.ok();
        });
        ASSERT_EQ(doc->amplify_waveform_by_envelope(doc->window, 1), 1) << key;
        EXPECT_EQ(ui.dialogs_run.back(), "NEWSELECT") << "no graph shown for " << key;
        EXPECT_FALSE(contents(doc) == in) << key;
        doc->undo_command();
    }
    EXPECT_GE(count, 4u);
}

TEST_F(GainTest, CancelHalfwayLeavesTheDocumentAndItsUndoStateAlone)
{
    // Under six seconds, so only the block loop polls: 40000 bytes in blocks of 32768 or
    // less, at least two of them.
    const std::string in = pcm16(noise16(2 * 10000, 9));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 10000);
    const auto files = tmp_files();
    for (int mode : {1, 0}) {
        if (mode)
            create_compressor([](CompressorDialog& d) { d.ok(); });
        else
            draw_envelope([](EnvelopeDialog& d) {
                const effra::EnvelopeArea a = effra::envelope_area();
                d.press(a.left, a.bottom());
                d.drag(a.left + a.width, a.bottom());
                d.ok();
            });
        ui.cancel_after_polls(2);
        EXPECT_EQ(doc->amplify_waveform_by_envelope(doc->window, mode), 0);
        EXPECT_TRUE(contents(doc) == in);
        EXPECT_EQ(doc->undo_available, 0);
        EXPECT_EQ(tmp_files(), files);
        EXPECT_EQ(ui.open_progress, 0);
    }
}

} // namespace
