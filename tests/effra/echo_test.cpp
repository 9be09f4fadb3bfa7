// Echo and reverb on documents: taps, channels, the outside tail, 8-bit coding, presets
// and Cancel.
#include "editor/modules/presets.h"
#include "effra/delay_effect.h"
#include "effra/echo_dialog.h"
#include "platform/profile.h"
#include "tests/support/edit_fixture.h"

#include <cmath>

namespace {

using effra::delay_settings;
using effra::DelaySettings;

// A plain model of the block loop on a byte image: frames [start, end) in place, one
// delay line per lane of n_frames entries.
std::string reference(std::string bytes, int sample_bytes, int channels,
                      const std::vector<int>& lanes, long n_frames, int decay, bool echo,
                      size_t start, size_t end)
{
    const double g = static_cast<float>(decay * 0.01);
    const long limit = sample_bytes == 1 ? 127 : 32767;
    const size_t frame = static_cast<size_t>(sample_bytes * channels);
    std::vector<std::vector<long>> line(lanes.size(), std::vector<long>(n_frames, 0));
    auto trunc = [](double v) { return static_cast<long>(std::trunc(v)); };
    auto clamp = [](long v, long l) { return std::max(-l, std::min(l, v)); };
    for (size_t at = start, k = 0; at < end; at += frame, ++k) {
        const size_t i = k % static_cast<size_t>(n_frames);
        for (size_t l = 0; l < lanes.size(); ++l) {
            unsigned char* p =
                reinterpret_cast<unsigned char*>(&bytes[at + lanes[l] * sample_bytes]);
            const long x =
                sample_bytes == 1 ? p[0] - 128L : static_cast<int16_t>(p[0] | (p[1] << 8));
            const long d = line[l][i];
            long y;
            if (echo) {
                y = x + trunc(0.8 * d);
            } else {
                const long w = x + trunc(g * d);
                y = x + d - trunc(g * w);
            }
            y = clamp(y, limit);
            if (sample_bytes == 1) {
                p[0] = static_cast<unsigned char>(y + 128);
            } else {
                p[0] = static_cast<unsigned char>(y & 0xff);
                p[1] = static_cast<unsigned char>((y >> 8) & 0xff);
            }
            line[l][i] = clamp(x + trunc(g * d), 32767);
        }
    }
    return bytes;
}

std::vector<int16_t> quiet_noise(size_t count, uint32_t seed)
{
    std::vector<int16_t> v = noise16(count, seed);
    for (auto& s : v)
        s = static_cast<int16_t>(s / 4);
    return v;
}

class EchoTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        delay_settings() = DelaySettings();
    }

    static void set(const effra::DelayEffect& e, int delay, int decay, int choice = 1,
                    int outside = 0)
    {
        DelaySettings& s = delay_settings();
        s.delay_ms(e) = delay;
        s.decay_percent(e) = decay;
        s.channel_choice = choice;
        s.outside = outside;
    }

    // Runs the command through "Create" and the parameter dialog, as a user would.
    int run_through_dialog(CChildFrame* doc, int command, int delay, int decay, int choice_button,
                           bool outside)
    {
        ui.on_dialog("NEWSELECT",
                     [](kel::DialogModel& m) { static_cast<PresetSelectDialog&>(m).create(); });
        ui.on_dialog(command == 11504 ? "NewEcho" : "NewReverb", [=](kel::DialogModel& m) {
            auto& d = static_cast<effra::EchoDialog&>(m);
            const auto& e = d.effect();
            d.delay_moved(e.delay_max_ms + e.delay_min_ms - delay);
            d.decay_moved(e.decay_max_percent + e.decay_min_percent - decay);
            d.channel_button(choice_button);
            d.set_outside(outside);
            d.ok();
        });
        return doc->echo_waveform(doc->window, command, 1);
    }
};

// ---- taps ----

TEST_F(EchoTest, ImpulseComesBackOneBlockLaterDecayingByTheGainPerBlock)
{
    // 8000 Hz mono 16-bit, 250 ms: D = 8000 * 250 * 2 / 1000 = 4000 bytes, N = 2000 frames.
    std::vector<int16_t> words(9000, 0);
    words[5] = 10000;
    words[7] = 10;
    CChildFrame* doc = open_doc(pcm16(words), 1, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 9000);
    ui.progress.clear();

    ASSERT_EQ(run_through_dialog(doc, 11504, 250, 50, effra::EchoDialog::kBothChannels, false), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), 18000u);
    std::vector<int> expected(9000, 0);
    expected[5] = 10000;   // x
    expected[2005] = 8000; // 0.8 * 10000
    expected[4005] = 4000; // 0.8 * (0.5 * 10000)
    expected[6005] = 2000; // 0.8 * 2500
    expected[8005] = 1000; // 0.8 * 1250
    expected[7] = 10;
    expected[2007] = 8;
    expected[4007] = 4; // 0.8 * 5
    expected[6007] = 1; // 0.8 * 2 (0.5 * 5 truncated)
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(word(out, i), expected[i]) << "frame " << i;

    // One undo step named after the command.
    EXPECT_EQ(g_undo_menu.text, "&Undo Echo...\tCtrl+Z");
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(std::string(doc->redo_text), "&Redo Echo...\tCtrl+Z");
    EXPECT_EQ(ui.dialogs_run, (std::vector<std::string>{"NEWSELECT", "NewEcho"}));
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front().text, "Echoing waveform ...");
    EXPECT_EQ(ui.progress.back().percent, -2);

    // 70 % is a single-precision gain a little under 0.7: trunc(g * 10) is 6, not 7.
    doc->undo_command();
    set(effra::echo_effect(), 250, 70);
    ASSERT_EQ(doc->do_new_echo_waveform("Echo", 1), 1);
    const std::string seventy = contents(doc);
    EXPECT_EQ(word(seventy, 2007), 8);
    EXPECT_EQ(word(seventy, 4007), 4); // 0.8 * 6
    EXPECT_EQ(word(seventy, 6007), 3); // 0.8 * trunc(0.7 * 6) = 0.8 * 4
}

TEST_F(EchoTest, ReverbKeepsTheDrySignalAfterTheFirstBlocks)
{
    // 8000 Hz mono 16-bit, 40 ms: N = 320 frames, B = 640 bytes. The second impulse lies
    // well past the first B frames of the run.
    std::vector<int16_t> words(6000, 0);
    words[5] = 10000;
    words[2001] = 10000;
    CChildFrame* doc = open_doc(pcm16(words), 1, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 6000);
    ui.progress.clear();
    set(effra::reverb_effect(), 40, 40, 1, 1); // the extent does not apply to the reverb

    ASSERT_EQ(doc->do_new_echo_waveform("Reverb", 1), 1);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), 12000u);
    // g = 0.4f: x - trunc(g x), then d - trunc(g w) one block later, then ...
    EXPECT_EQ(word(out, 5), 6000);
    EXPECT_EQ(word(out, 325), 8400);  // 10000 - trunc(0.4 * 4000)
    EXPECT_EQ(word(out, 645), 3360);  // 4000 - trunc(0.4 * 1600)
    EXPECT_EQ(word(out, 2001), 6000); // the dry signal is still there
    EXPECT_EQ(word(out, 2321), 8400);
    EXPECT_EQ(out, reference(pcm16(words), 2, 1, {0}, 320, 40, false, 0, 12000));
    EXPECT_EQ(doc->select_end(), 6000); // no tail for the reverb
    EXPECT_EQ(g_undo_menu.text, "&Undo Reverb...\tCtrl+Z");
    EXPECT_EQ(ui.progress.front().text, "Reverberating waveform ...");
}

// ---- channels ----

TEST_F(EchoTest, ChannelChoiceLeavesTheOtherChannelBitIdentical)
{
    const std::vector<int16_t> words = noise16(2 * 6000, 7);
    const std::string in = pcm16(words);
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 200, 2 * 5000);

    ASSERT_EQ(run_through_dialog(doc, 11504, 50, 60, effra::EchoDialog::kLeftChannel, false), 1);
    EXPECT_EQ(delay_settings().channel_choice, 2);
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), in.size());
    int left_changed = 0;
    for (size_t f = 0; f < 6000; ++f) {
        ASSERT_EQ(out.substr(4 * f + 2, 2), in.substr(4 * f + 2, 2)) << "right, frame " << f;
        left_changed += out.substr(4 * f, 2) != in.substr(4 * f, 2);
    }
    EXPECT_GT(left_changed, 4000);
    // 50 ms at 8000 Hz: N = 400 frames; the selection runs from byte 400 to 20000.
    EXPECT_EQ(out, reference(in, 2, 2, {0}, 400, 60, true, 400, 20000));

    // Right only, on the result: the left channel keeps what it has now.
    set(effra::echo_effect(), 50, 60, 3);
    ASSERT_EQ(doc->do_new_echo_waveform("Echo", 1), 1);
    const std::string again = contents(doc);
    for (size_t f = 0; f < 6000; ++f)
        ASSERT_EQ(again.substr(4 * f, 2), out.substr(4 * f, 2)) << "left, frame " << f;
    EXPECT_EQ(again, reference(out, 2, 2, {1}, 400, 60, true, 400, 20000));
}

// ---- the outside tail ----

TEST_F(EchoTest, OutsideSelectionTailRunsOnForItsLengthButNeverPastTheFile)
{
    // Stereo 16-bit at 8000 Hz, 50 ms: N = 400 frames, B = 1600 bytes; decay 90 % gives a
    // tail of trunc(1600 * 180 / 10) = 28800 bytes.
    const size_t frames = 12000;
    const std::string in = pcm16(quiet_noise(2 * frames, 11));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    const long end_words = 2 * 2000;
    select(doc, 0, end_words);
    ASSERT_EQ(run_through_dialog(doc, 11504, 50, 90, effra::EchoDialog::kBothChannels, true), 1);

    const size_t end = static_cast<size_t>(end_words) * 2, tail_end = end + 28800;
    const std::string out = contents(doc);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(out, reference(in, 2, 2, {0, 1}, 400, 90, true, 0, tail_end));
    EXPECT_NE(out.substr(tail_end - 1600, 1600), in.substr(tail_end - 1600, 1600));
    EXPECT_EQ(out.substr(tail_end), in.substr(tail_end));
    EXPECT_EQ(doc->select_end(), static_cast<long>(tail_end / 2));

    // Undo brings back the sound and the selection as they were.
    doc->undo_command();
    EXPECT_EQ(contents(doc), in);
    EXPECT_EQ(doc->select_end(), end_words);

    // Near the end the tail stops at the last whole frame of the file.
    select(doc, 0, 2 * 11000 + 1);
    ASSERT_EQ(doc->do_new_echo_waveform("Echo", 1), 1);
    const std::string clipped = contents(doc);
    EXPECT_EQ(clipped.size(), in.size());
    EXPECT_EQ(clipped, reference(in, 2, 2, {0, 1}, 400, 90, true, 0, in.size()));
    EXPECT_EQ(doc->select_end(), static_cast<long>(2 * frames));
    EXPECT_EQ(doc->total_samples(), static_cast<long>(2 * frames));
}

TEST_F(EchoTest, SelectionShorterThanTheDelayHasNoEchoInsideButTheTailGetsIt)
{
    // Mono 16-bit at 8000 Hz, 50 ms: N = 400 frames; the selection holds 300.
    const std::string in = pcm16(quiet_noise(8000, 3));
    CChildFrame* doc = open_doc(in, 1, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 1000, 1300);

    set(effra::echo_effect(), 50, 50, 1, 0);
    ASSERT_EQ(doc->do_new_echo_waveform("Echo", 1), 1);
    EXPECT_EQ(contents(doc), in);
    EXPECT_EQ(doc->select_end(), 1300);

    doc->undo_command();
    set(effra::echo_effect(), 50, 50, 1, 1);
    ASSERT_EQ(doc->do_new_echo_waveform("Echo", 1), 1);
    const std::string out = contents(doc);
    EXPECT_EQ(out.substr(0, 2600), in.substr(0, 2600)); // up to the old selection end
    // The first repeat lands 400 frames after each selected frame.
    for (size_t i = 1400; i < 1700; ++i)
        ASSERT_EQ(word(out, i), word(in, i) + (4 * word(in, i - 400)) / 5) << "frame " << i;
    // trunc(800 * 180 / 50) = 2880 bytes of tail.
    EXPECT_EQ(doc->select_end(), 1300 + 1440);
    EXPECT_EQ(out, reference(in, 2, 1, {0}, 400, 50, true, 2000, 2000 + 600 + 2880));
}

// ---- 8-bit coding ----

TEST_F(EchoTest, EightBitOutputNeverTakesZero)
{
    // 8000 Hz mono 8-bit, 50 ms: D = 800 bytes, N = 400 frames, B = 400 bytes.
    // Full-scale negative first, so both formulas run into the clamp, then a mixture.
    std::string in(4000, '\0');
    for (size_t i = 2000; i < in.size(); ++i)
        in[i] = static_cast<char>(i % 3 == 0 ? 0 : (i % 3 == 1 ? 255 : 10));
    CChildFrame* doc = open_doc(in, 1, 8, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 100, 3900);

    for (int command : {11504, 11514}) {
        const effra::DelayEffect& e = effra::effect_for_command(command);
        set(e, 50, e.decay_max_percent, 1, 0);
        ASSERT_EQ(doc->do_new_echo_waveform(e.name, 1), 1);
        const std::string out = contents(doc);
        for (size_t i = 100; i < 3900; ++i)
            ASSERT_NE(out[i], '\0') << e.name << " byte " << i;
        EXPECT_EQ(out.substr(0, 100), in.substr(0, 100));
        EXPECT_EQ(out.substr(3900), in.substr(3900));
        EXPECT_EQ(static_cast<unsigned char>(out[600]), 1); // below -127 clamps to -127
        EXPECT_EQ(out,
                  reference(in, 1, 1, {0}, 400, e.decay_max_percent, command == 11504, 100, 3900));
        doc->undo_command();
    }
}

// ---- presets ----

TEST_F(EchoTest, SavingRewritesTheWholeEchoSectionFirst)
{
    const std::string ini = program + "KVSECHO.INI";
    kel::profile::write_string("Echo", "Echo Values1", "1 2 3 4", ini);
    kel::profile::write_string("Echo", "Echo Values2", "9 9 9 9", ini);
    kel::profile::write_string("Echo", "Note", "stale", ini);
    kel::profile::write_string("Reverb Presets", "Reverb Preset1", "Room", ini);
    kel::profile::write_string("Room", "Reverb Values1", "20 30 1 0", ini);

    CChildFrame* doc = open_doc(pcm16(quiet_noise(4000, 5)), 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 4000);
    ui.on_dialog("NEWSELECT",
                 [](kel::DialogModel& m) { static_cast<PresetSelectDialog&>(m).create(); });
    int save_result = 0;
    ui.on_dialog("NewEcho", [&](kel::DialogModel& m) {
        auto& d = static_cast<effra::EchoDialog&>(m);
        EXPECT_STREQ(d.caption(), "Set Echo Parameters");
        EXPECT_TRUE(d.channel_buttons_visible());
        d.delay_moved(500 + 10 - 300);
        d.decay_moved(90 + 20 - 60);
        d.channel_button(effra::EchoDialog::kRightChannel);
        d.set_outside(true);
        ui.on_dialog("SAVE", [&](kel::DialogModel& s) {
            auto& save = static_cast<PresetSaveDialog&>(s);
            EXPECT_EQ(save.title, "Save Echo / Reverb Values");
            // At this moment the values section holds exactly the current values.
            EXPECT_EQ(kel::profile::key_names("Echo", ini),
                      (std::vector<std::string>{"Echo Values1"}));
            save.set_name("Far away");
            save.save();
        });
        save_result = d.save();
        d.cancel();
    });
    EXPECT_EQ(doc->echo_waveform(doc->window, 11504, 1), 0);
    EXPECT_EQ(save_result, 1);
    EXPECT_EQ(kel::profile::read_string("Echo", "Echo Values1", "", ini), "300 60 3 1");
    EXPECT_FALSE(kel::profile::lookup("Echo", "Echo Values2", ini));
    EXPECT_FALSE(kel::profile::lookup("Echo", "Note", ini));
    EXPECT_EQ(kel::profile::read_string("Echo Presets", "Echo Preset1", "", ini), "Far away");
    EXPECT_EQ(kel::profile::key_names("Far away", ini), (std::vector<std::string>{"Echo Values1"}));
    EXPECT_EQ(kel::profile::read_string("Far away", "Echo Values1", "", ini), "300 60 3 1");
    EXPECT_EQ(kel::profile::key_names("Reverb Presets", ini),
              (std::vector<std::string>{"Reverb Preset1"}));
    EXPECT_EQ(doc->undo_available, 0); // cancelled: nothing ran

    // The saved preset runs without the dialog; the reverb list never shows it.
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
        auto& s = static_cast<PresetSelectDialog&>(m);
        EXPECT_EQ(s.entries, (std::vector<std::string>{"Far away"}));
        s.double_click(0);
    });
    delay_settings() = DelaySettings();
    EXPECT_EQ(doc->echo_waveform(doc->window, 11504, 1), 1);
    EXPECT_EQ(delay_settings().echo_delay_ms, 300);
    EXPECT_EQ(delay_settings().channel_choice, 3);
    ui.on_dialog("NEWSELECT", [](kel::DialogModel& m) {
        auto& s = static_cast<PresetSelectDialog&>(m);
        EXPECT_EQ(s.title, "Select Echo / Reverb File");
        EXPECT_EQ(s.entries, (std::vector<std::string>{"Room"}));
        s.select(0);
        s.view();
    });
    ui.on_dialog("NewReverb", [](kel::DialogModel& m) {
        auto& d = static_cast<effra::EchoDialog&>(m);
        EXPECT_EQ(d.delay_ms(), 20);
        EXPECT_EQ(d.decay_percent(), 30);
        EXPECT_EQ(d.delay_position(), 100 + 10 - 20);
        d.cancel();
    });
    EXPECT_EQ(doc->echo_waveform(doc->window, 11514, 1), 0);
}

// ---- Cancel ----

TEST_F(EchoTest, CancelHalfwayLeavesTheWorkingFileAndTheUndoStateAlone)
{
    // Under six seconds of data, so the undo copies show no progress and only the block
    // loop polls Cancel: 50 ms blocks of 1600 bytes, 25 of them.
    const std::string in = pcm16(quiet_noise(2 * 10000, 9));
    CChildFrame* doc = open_doc(in, 2, 16, 8000);
    ASSERT_NE(doc, nullptr);
    select(doc, 0, 2 * 10000);
    set(effra::echo_effect(), 50, 50);
    ASSERT_EQ(doc->do_new_echo_waveform("Echo", 1), 1); // an undo step to keep
    select(doc, 0, 2 * 4000);

    const std::string working = doc->working_file();
    const std::string undo_name = doc->undo_file();
    const std::string current = contents(doc);
    const std::string undo_bytes = read_file(undo_name);
    const auto files = tmp_files();
    const std::string menu = g_undo_menu.text;

    set(effra::echo_effect(), 50, 90, 1, 1);
    ui.progress.clear();
    const long polls = ui.polls;
    ui.cancel_after_polls(12);
    EXPECT_EQ(doc->do_new_echo_waveform("Echo", 1), 0);
    EXPECT_EQ(ui.polls, polls + 12); // stopped right after the twelfth block of 25
    EXPECT_EQ(doc->working_file(), working);
    EXPECT_EQ(contents(doc), current);
    EXPECT_EQ(doc->undo_file(), undo_name);
    EXPECT_EQ(read_file(undo_name), undo_bytes);
    EXPECT_EQ(doc->undo_available, 1);
    EXPECT_EQ(doc->redo_available, 0);
    EXPECT_EQ(g_undo_menu.text, menu);
    EXPECT_EQ(doc->select_end(), 2 * 4000);
    EXPECT_EQ(tmp_files(), files); // the half-done redo file is gone
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back().percent, -2);
    EXPECT_EQ(ui.open_progress, 0);

    // Undo still goes back to the original sound.
    doc->undo_command();
    EXPECT_EQ(contents(doc), in);
}

} // namespace
