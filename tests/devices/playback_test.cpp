#include "common/child_frame.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_commands.h"
#include "editor/devices/playback_controller.h"
#include "editor/edit/clipboard_files.h"
#include "editor/view/view_commands.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/profile.h"
#include "platform/wave_device.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace wd = kel::wave_device;
namespace ev = kel::events;

namespace {

// Records what playback shows.
struct Recorder : PlaybackObserver
{
    std::vector<long> bars, carets, markers, restored;
    std::vector<std::string> readouts, big;
    std::vector<std::pair<int, int>> level_calls;
    std::vector<std::pair<int, int>> buttons;
    std::vector<bool> time_window;
    int spectra = 0;
    short first_spectrum[kSpectrumTable] = {};
    BigTimeText last_big;

    void play_bar(CChildFrame&, long sample, double) override { bars.push_back(sample); }
    void caret_to(CChildFrame&, long sample) override { carets.push_back(sample); }
    void levels(int l, int r) override { level_calls.emplace_back(l, r); }
    void time_readout(const std::string& t) override { readouts.push_back(t); }
    void show_time_window(bool s) override { time_window.push_back(s); }
    void big_time(const BigTimeText& b) override
    {
        big.push_back(b.text);
        last_big = b;
    }
    void spectrum(const short* table, int) override
    {
        if (spectra++ == 0)
            std::copy(table, table + kSpectrumTable, first_spectrum);
    }
    void play_marker(CChildFrame&, long sample) override { markers.push_back(sample); }
    void caret_restored(CChildFrame&, long sample) override { restored.push_back(sample); }
    void tool_button_state(int id, int state) override { buttons.emplace_back(id, state); }
};

} // namespace

class PlaybackTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        ev::reset();
        playback_commands::reset();
        wd::set_backend(wd::Backend::Virtual);
        sink = path("sink.raw");
        wd::set_virtual_sink(sink);
        set_playback_observer(&seen);
        PlaybackState& pb = playback_state();
        pb.loop_counted = 0;
        pb.loop_limit = 0;
        pb.play_volume = 255;
        loop_playback_flag = 0;
        trigger_on_mtc = 0;
        mtc_trigger_hook = nullptr;
    }
    void TearDown() override
    {
        doc.reset();
        set_playback_observer(nullptr);
        wd::set_master_volume(0, 255, 255);
        wd::set_virtual_sink("");
        wd::unset_backend();
        ev::reset();
        playback_commands::reset();
        loop_playback_flag = 0;
        mtc_trigger_hook = nullptr;
        TestEnv::TearDown();
    }

    // A document of `frames` frames whose every byte is known.
    void open_doc(int channels, int bits, uint32_t rate, size_t frames)
    {
        WaveImage img;
        img.channels = static_cast<uint16_t>(channels);
        img.bits = static_cast<uint16_t>(bits);
        img.rate = rate;
        if (bits == 16) {
            img.samples = pcm16(noise16(frames * channels, 7));
        } else {
            img.samples.resize(frames * channels);
            for (size_t i = 0; i < img.samples.size(); ++i)
                img.samples[i] = static_cast<char>((i * 37 + 11) & 0xFF);
        }
        samples = img.samples;
        write_file(path("in.wav"), img.bytes());
        doc = CChildFrame::create_from_file(path("in.wav").c_str());
        ASSERT_TRUE(doc);
        ASSERT_EQ(read_file(doc->working_file()), samples);
    }
    // Highlights sample words [from, to) through the view coordinates.
    void select(long from, long to)
    {
        const double per_x =
            doc->wave_format.channels * doc->current.base_factor / doc->current.zoom_factor;
        doc->current.has_selection = 1;
        doc->current.select_start = from;
        doc->current.select_end = to;
        doc->select_x_start = static_cast<float>(from / per_x);
        doc->select_x_end = static_cast<float>(to / per_x);
    }
    void step(uint32_t ms)
    {
        kel::clock::advance(ms);
        wd::settle();
        ev::pump();
    }
    // Runs in 10 ms steps until playback has ended (or the time is up).
    void play_out(uint32_t limit_ms = 20000)
    {
        ev::pump();
        for (uint32_t t = 0; t < limit_ms && playback_state().is_playing; t += 10)
            step(10);
        step(0);
    }
    std::string bytes(long from_byte, long count) const
    {
        return samples.substr(static_cast<size_t>(from_byte), static_cast<size_t>(count));
    }
    std::string sink_bytes() const { return read_file(sink); }

    std::unique_ptr<CChildFrame> doc;
    std::string samples;
    std::string sink;
    Recorder seen;
};

TEST_F(PlaybackTest, TheWholeFilePlaysEveryByteAndNothingMovesBeforeThePump)
{
    open_doc(2, 16, 22050, 22050); // one second
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(doc->play_from, 0u);
    EXPECT_EQ(doc->play_to, 44100u);
    EXPECT_EQ(doc->play_end_ms, 1000u);
    EXPECT_EQ(playback_state().buffer_count, 4);
    EXPECT_EQ(playback_state().buffer_size, 8820u); // a tenth of a second
    EXPECT_FALSE(playback_state().short_play);
    // The ring is primed by the device's open notification, so without a pump the
    // device has nothing to play however far the clock moves.
    kel::clock::advance(500);
    wd::settle();
    EXPECT_EQ(sink_bytes().size(), 0u);
    play_out();
    EXPECT_FALSE(playback_state().is_playing);
    EXPECT_TRUE(sink_bytes() == samples);
    EXPECT_EQ(sink_bytes().size(), 88200u);
    EXPECT_EQ(doc->current.zoom_level, 1);
}

TEST_F(PlaybackTest, SelectingTheWholeFileStopsEightSampleWordsShort)
{
    open_doc(2, 16, 22050, 11025);
    select(0, 22050);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(doc->play_to, 22042u);
    play_out();
    EXPECT_TRUE(sink_bytes() == bytes(0, 22042 * 2));
}

TEST_F(PlaybackTest, ASelectionPlaysExactlyItsBytes)
{
    open_doc(2, 16, 22050, 22050);
    select(10001, 30000); // aligned down to a frame: 10000
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(doc->play_from, 10000u);
    EXPECT_EQ(doc->play_start_byte, 20000u);
    EXPECT_EQ(doc->play_end_byte, 60000u);
    EXPECT_EQ(doc->current.select_start_byte, 20000);
    play_out();
    EXPECT_EQ(sink_bytes().size(), 40000u);
    EXPECT_TRUE(sink_bytes() == bytes(20000, 40000));
}

TEST_F(PlaybackTest, TheStartRulesTakeTheClickTheCallerAndTheCaret)
{
    open_doc(1, 8, 11025, 11025);
    // The caret put down by a click, nothing highlighted.
    ViewState view;
    view.caret_placed = 1;
    view.caret_sample = 9000;
    ASSERT_EQ(playback::start(*doc, play_request(*doc, view)), 1);
    play_out();
    EXPECT_TRUE(sink_bytes() == bytes(9000, 2025));
    std::remove(sink.c_str());

    // A caller's start.
    ASSERT_EQ(playback::start(*doc, PlayRequest{5001}), 1);
    EXPECT_EQ(doc->play_from, 5001u);
    // Mono 8-bit: the pass starts at the byte rounded down to four.
    EXPECT_EQ(playback_state().start_offset, 5000u);
    play_out();
    EXPECT_TRUE(sink_bytes() == bytes(5000, 11025 - 5001));
    std::remove(sink.c_str());

    // The right button plays from the sample under the mouse.
    ASSERT_EQ(playback::right_button(*doc, 10000), 1);
    play_out();
    EXPECT_TRUE(sink_bytes() == bytes(10000, 1025));
    std::remove(sink.c_str());
    // A start that names none plays the whole file, whatever came before.
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(doc->play_from, 0u);
    play_out();
}

TEST_F(PlaybackTest, LoopCountThreePlaysTheRangeThreeTimesThenStops)
{
    open_doc(2, 16, 22050, 22050);
    select(4000, 24000);
    playback_state().loop_counted = 1;
    playback_state().loop_limit = 3;
    ASSERT_EQ(playback::start_loop(*doc), 1);
    EXPECT_EQ(loop_playback_flag, 1);
    play_out();
    EXPECT_FALSE(playback_state().is_playing);
    const std::string range = bytes(8000, 40000);
    EXPECT_EQ(sink_bytes().size(), 3 * range.size());
    EXPECT_TRUE(sink_bytes() == range + range + range);
    // The play marker went back to the start after each pass and at the end.
    EXPECT_EQ(std::count(seen.markers.begin(), seen.markers.end(), 4000L), 4);
}

TEST_F(PlaybackTest, StopDuringAContinuousLoopEndsWithoutAnotherPass)
{
    open_doc(2, 16, 22050, 22050);
    select(0, 8820); // 0.2 s
    loop_playback_flag = 1;
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    ev::pump();
    for (int i = 0; i < 50; ++i)
        step(10); // half a second: into the third pass
    ASSERT_TRUE(playback_state().is_playing);
    ASSERT_EQ(playback::command(*doc, cmd::kStop), 1);
    EXPECT_EQ(loop_playback_flag, 0);
    ev::pump();
    EXPECT_FALSE(playback_state().is_playing);
    const size_t played = sink_bytes().size();
    for (int i = 0; i < 100; ++i)
        step(10);
    EXPECT_EQ(sink_bytes().size(), played);
    const std::string range = bytes(0, 17640);
    const std::string three = range + range + range;
    ASSERT_GT(played, 2 * range.size());
    ASSERT_LT(played, three.size());
    const std::string out = sink_bytes();
    size_t first_difference = 0;
    while (first_difference < played && out[first_difference] == three[first_difference])
        ++first_difference;
    EXPECT_EQ(first_difference, played);
}

TEST_F(PlaybackTest, PlayWhilePlayingStopsAtOnceAndReturnsZero)
{
    open_doc(2, 16, 22050, 44100);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    ev::pump();
    step(100);
    EXPECT_TRUE(playback_commands::editing_suspended());
    EXPECT_EQ(doc->play_the_wavefile(), 0);
    EXPECT_FALSE(playback_state().is_playing);
    EXPECT_EQ(playback_state().device, 0u);
    EXPECT_FALSE(playback_commands::editing_suspended());
    EXPECT_FALSE(ev::timer_active(doc->window, kTrackingTimer));
    const size_t played = sink_bytes().size();
    step(1000);
    EXPECT_EQ(sink_bytes().size(), played);
    // The late notifications of the closed device are ignored, and a new start works.
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    play_out();
    EXPECT_EQ(sink_bytes().size(), played + samples.size());
}

TEST_F(PlaybackTest, AShortSixteenBitRangeUsesOneBufferAndLeavesCommandsEnabled)
{
    open_doc(2, 16, 22050, 22050);
    playback_commands::set_enabled(11303, true);
    select(0, 12000); // 0.27 s
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(playback_state().buffer_count, 1);
    EXPECT_EQ(playback_state().buffer_size, 8820u);
    EXPECT_TRUE(playback_state().short_play);
    EXPECT_TRUE(playback_commands::enabled(11303));
    EXPECT_FALSE(ev::timer_active(doc->window, kTrackingTimer));
    play_out();
    EXPECT_TRUE(seen.bars.empty());
    EXPECT_TRUE(seen.time_window.empty());
    EXPECT_TRUE(sink_bytes() == bytes(0, 24000));

    // 0.4 s: four buffers, but still too short for the tick.
    std::remove(sink.c_str());
    select(0, 17640);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(playback_state().buffer_count, 4);
    EXPECT_TRUE(playback_state().short_play);
    play_out();
    EXPECT_TRUE(sink_bytes() == bytes(0, 35280));
}

TEST_F(PlaybackTest, ALongRangeTicksAndDisablesEditingUntilTheEnd)
{
    kel::profile::write_yes_no("Preferences", "Big time display", true,
                               kel::profile::app_profile());
    open_doc(2, 16, 22050, 22050);
    playback_commands::set_enabled(11303, true);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_FALSE(playback_commands::enabled(11303));
    EXPECT_TRUE(playback_commands::enabled(cmd::kStop));
    EXPECT_TRUE(playback_commands::enabled(cmd::kPause));
    ASSERT_EQ(seen.time_window.size(), 1u);
    play_out();
    EXPECT_TRUE(playback_commands::enabled(11303));
    ASSERT_GE(seen.bars.size(), 30u);
    // The caret follows the sound: forward only, within the file.
    for (size_t i = 1; i < seen.carets.size(); ++i)
        EXPECT_GE(seen.carets[i], seen.carets[i - 1]);
    EXPECT_GT(seen.carets.back(), 30000);
    EXPECT_LE(seen.carets.back(), 44100);
    // Time every second tick, spectrum every third.
    EXPECT_EQ(seen.readouts.size(), seen.bars.size() / 2);
    EXPECT_EQ(seen.spectra, static_cast<int>(seen.bars.size() / 3));
    EXPECT_EQ(seen.readouts[0], "  0.060 sec");
    EXPECT_EQ(seen.big, seen.readouts);
    EXPECT_EQ(seen.last_big.face, "Arial");
    EXPECT_EQ(seen.last_big.height, 220);
    EXPECT_EQ(seen.last_big.weight, 700);
    EXPECT_EQ(seen.last_big.colour, 0x0000FF00u);
    // The end: time window hidden, meters cleared, caret back, Pause button state 1.
    EXPECT_EQ(seen.time_window.back(), false);
    EXPECT_EQ(seen.level_calls.back(), std::make_pair(0, 0));
    ASSERT_EQ(seen.restored.size(), 1u);
    EXPECT_EQ(seen.buttons.back(), std::make_pair(cmd::kPause, 1));
    EXPECT_FALSE(ev::timer_active(doc->window, kTrackingTimer));
}

TEST_F(PlaybackTest, TheTimeReadoutFollowsTheSmpteFormatFromTheStartOfTheRange)
{
    kel::profile::write_int("Preferences", "Time format", 25, kel::profile::app_profile());
    open_doc(2, 16, 22050, 44100);
    ASSERT_EQ(playback::start(*doc, PlayRequest{44100}), 1); // from 1.0 s
    ev::pump();
    for (int i = 0; i < 12; ++i)
        step(10);
    ASSERT_GE(seen.readouts.size(), 2u);
    EXPECT_EQ(seen.readouts[0], "00:00:01:01"); // 1.06 s at 25 frames per second
    EXPECT_GE(seen.bars.front(), 44100);
    doc->play_the_wavefile();
}

TEST_F(PlaybackTest, LeftOnlyPlaySilencesTheRightOutput)
{
    open_doc(2, 16, 22050, 11025);
    doc->right_active = 0;
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    play_out();
    const std::string out = sink_bytes();
    ASSERT_EQ(out.size(), samples.size());
    for (size_t f = 0; f < out.size() / 4; ++f) {
        ASSERT_EQ(out.substr(4 * f, 2), samples.substr(4 * f, 2));
        ASSERT_EQ(out.substr(4 * f + 2, 2), std::string(2, '\0'));
    }
}

TEST_F(PlaybackTest, PauseHoldsTheSinkAndResumeGoesOnFromThere)
{
    open_doc(2, 16, 22050, 22050);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    ev::pump();
    for (int i = 0; i < 30; ++i)
        step(10);
    ASSERT_EQ(playback::command(*doc, cmd::kPause), 1);
    EXPECT_EQ(seen.buttons.back(), std::make_pair(cmd::kPause, 6));
    EXPECT_FALSE(ev::timer_active(doc->window, kTrackingTimer));
    const size_t held = sink_bytes().size();
    const size_t ticks = seen.bars.size();
    for (int i = 0; i < 200; ++i)
        step(10);
    EXPECT_EQ(sink_bytes().size(), held);
    EXPECT_EQ(seen.bars.size(), ticks);
    EXPECT_TRUE(playback_state().is_playing);
    ASSERT_EQ(playback::command(*doc, cmd::kPause), 1);
    EXPECT_EQ(seen.buttons.back(), std::make_pair(cmd::kPause, 3));
    EXPECT_EQ(playback_state().start_time, 1000u + 2000u);
    play_out();
    EXPECT_TRUE(sink_bytes() == samples);
}

TEST_F(PlaybackTest, TheKeysStartAndStop)
{
    open_doc(1, 8, 22050, 22050);
    // A typed character becomes its command, run as the command runs.
    auto key = [&](int character) {
        const int id = view_key_command(*doc, character, 0);
        if (id)
            playback::command(*doc, id);
        return id;
    };
    EXPECT_EQ(key('x'), 0);
    ASSERT_EQ(key('p'), cmd::kPlay);
    EXPECT_TRUE(playback_state().is_playing);
    EXPECT_EQ(playback_state().loop_on, 0);
    ASSERT_EQ(key('o'), cmd::kPlay); // while playing: Play, which stops
    EXPECT_FALSE(playback_state().is_playing);
    ASSERT_EQ(key('o'), cmd::kLoopPlayback);
    EXPECT_TRUE(playback_state().is_playing);
    EXPECT_EQ(playback_state().loop_on, 1);
    ASSERT_EQ(key('p'), cmd::kPlay);
    EXPECT_FALSE(playback_state().is_playing);
    // The right button stops a running playback through Stop.
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(playback::right_button(*doc, 100), 0);
    ev::pump();
    EXPECT_FALSE(playback_state().is_playing);
}

TEST_F(PlaybackTest, HostileStartsFailCleanly)
{
    open_doc(1, 8, 22050, 22050);
    // A start at the very end is an empty range: nothing opens.
    EXPECT_EQ(playback::start(*doc, PlayRequest{22050}), 0);
    EXPECT_EQ(playback::start(*doc, PlayRequest{999999}), 0); // beyond the end
    EXPECT_FALSE(playback_state().is_playing);
    EXPECT_EQ(playback_state().device, 0u);
    // The working file went missing.
    const std::string name = doc->working_file();
    std::rename(name.c_str(), path("away").c_str());
    EXPECT_EQ(doc->play_the_wavefile(), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cannot open WAVE file for playback.");
    EXPECT_EQ(doc->current.zoom_level, 1);
    std::rename(path("away").c_str(), name.c_str());
    // Fewer than 30 sample words.
    doc->current.total_samples = 29;
    EXPECT_EQ(doc->play_the_wavefile(), 0);
    doc->current.total_samples = 22050;
    ev::pump();
    EXPECT_TRUE(sink_bytes().empty());
    // An empty highlight plays the eight sample words after it.
    select(100, 100);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    EXPECT_EQ(doc->play_to, 108u);
    play_out();
    EXPECT_TRUE(sink_bytes() == bytes(100, 8));
}

TEST_F(PlaybackTest, ClosingTheDocumentDuringPlayEndsThePlayback)
{
    open_doc(2, 16, 22050, 22050);
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    ev::pump();
    step(100);
    doc.reset();
    EXPECT_FALSE(playback_state().is_playing);
    EXPECT_EQ(playback_state().device, 0u);
    EXPECT_EQ(playback_state().doc, nullptr);
    const size_t played = sink_bytes().size();
    for (int i = 0; i < 50; ++i)
        step(10);
    EXPECT_EQ(sink_bytes().size(), played);
    EXPECT_FALSE(playback_commands::editing_suspended());
}

TEST_F(PlaybackTest, WithAlsaAndNoCardTheStartBeepsAndReturnsZero)
{
    if (access("/dev/snd", F_OK) == 0)
        GTEST_SKIP() << "this machine has a sound card";
    unsetenv("KELVARA_ALSA_PCM");
    open_doc(2, 16, 22050, 22050);
    wd::set_backend(wd::Backend::Alsa);
    EXPECT_EQ(doc->play_the_wavefile(), 0);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(playback_state().is_playing);
    EXPECT_EQ(doc->current.zoom_level, 1);
    EXPECT_FALSE(playback_commands::editing_suspended());
}

TEST_F(PlaybackTest, TheClipboardPlaysInTheFormatItsTextFileGives)
{
    open_doc(1, 8, 22050, 22050);
    const std::string clip = pcm16(noise16(2 * 5000, 3));
    write_file(clipboard_data_path(), clip);
    write_file(clipboard_text_path(), "2 16 22050");
    ASSERT_EQ(playback::command(*doc, cmd::kPlayClipboard), 1);
    EXPECT_EQ(playback_state().buffer_size, 88200u * 8192 / 44100);
    play_out();
    EXPECT_TRUE(sink_bytes() == clip);
    EXPECT_TRUE(seen.bars.empty());
    EXPECT_TRUE(seen.markers.empty());

    write_file(clipboard_text_path(), "2 sixteen");
    EXPECT_EQ(playback::play_clipboard(*doc), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Was not able to read from file 'clipbord.clp'");
    std::remove(clipboard_data_path().c_str());
    EXPECT_EQ(playback::play_clipboard(*doc), 0);
    EXPECT_EQ(ui.boxes.size(), 1u); // no data file: nothing at all
}

TEST_F(PlaybackTest, TheLoopDialogSetsTheCountAndItsMtcTriggerStartsPlayback)
{
    open_doc(1, 8, 22050, 22050);
    ui.on_dialog("SETUPPLAYBACKLOOP", [](kel::DialogModel& m) {
        auto& d = static_cast<SetupPlaybackLoopDialog&>(m);
        d.click(SetupPlaybackLoopDialog::kLoopCount);
        d.set_spin(SetupPlaybackLoopDialog::kLoopSpin, 150);
        d.set_spin(SetupPlaybackLoopDialog::kMinuteSpin, 2);
        d.set_spin(SetupPlaybackLoopDialog::kFrameSpin, 15);
        d.on_timer();
        EXPECT_EQ(d.edit_text(SetupPlaybackLoopDialog::kLoopEdit), "100");
        EXPECT_EQ(d.edit_text(1889), "2");
        d.click(kel::kIdOk);
    });
    EXPECT_EQ(playback::command(*doc, cmd::kSetupLoop), 1);
    EXPECT_EQ(loop_playback_flag, 1);
    EXPECT_EQ(playback_state().loop_counted, 1);
    EXPECT_EQ(playback_state().loop_limit, 100);
    EXPECT_DOUBLE_EQ(smpte_lead_in.total_seconds, 120.5); // 15 frames at 30
    EXPECT_FALSE(playback_state().is_playing);

    // Closing any other way clears the flag.
    EXPECT_EQ(playback::setup_loop(*doc), 0);
    EXPECT_EQ(loop_playback_flag, 0);

    // The MTC trigger: the hook's result becomes the flag and Play follows.
    int asked = 0;
    mtc_trigger_hook = [&] { return ++asked; };
    ui.on_dialog("SETUPPLAYBACKLOOP", [](kel::DialogModel& m) {
        auto& d = static_cast<SetupPlaybackLoopDialog&>(m);
        d.click(SetupPlaybackLoopDialog::kContinuous);
        d.click(SetupPlaybackLoopDialog::kTriggerCheck);
        d.click(SetupPlaybackLoopDialog::kHelp);
        d.click(kel::kIdOk);
    });
    EXPECT_EQ(playback::setup_loop(*doc), 1);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(trigger_on_mtc, 0);
    EXPECT_TRUE(playback_state().is_playing);
    EXPECT_EQ(playback_state().loop_on, 1);
    EXPECT_EQ(playback_state().loop_counted, 0);
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_EQ(ui.help[0], "Orlo.HLP#1024");
    doc->play_the_wavefile();

    // A trigger that never fires ends the dialog as Cancel.
    mtc_trigger_hook = [] { return 0; };
    ui.on_dialog("SETUPPLAYBACKLOOP", [](kel::DialogModel& m) {
        auto& d = static_cast<SetupPlaybackLoopDialog&>(m);
        d.trigger = 1;
        d.ok();
    });
    EXPECT_EQ(playback::setup_loop(*doc), 0);
    EXPECT_EQ(loop_playback_flag, 0);
    EXPECT_FALSE(playback_state().is_playing);
}

TEST_F(PlaybackTest, InRealTimeTheSoundAndTheCaretKeepToTheClock)
{
    kel::clock::unfix();
    open_doc(1, 16, 22050, 13230); // 0.6 s
    const uint32_t start = kel::clock::now_ms();
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    while (playback_state().is_playing && kel::clock::now_ms() - start < 5000) {
        usleep(2000);
        ev::pump();
    }
    const uint32_t took = kel::clock::now_ms() - start;
    EXPECT_FALSE(playback_state().is_playing);
    EXPECT_GE(took, 590u);
    EXPECT_LT(took, 1500u);
    EXPECT_TRUE(sink_bytes() == samples);
    ASSERT_GE(seen.carets.size(), 10u);
    EXPECT_GT(seen.carets.back(), 9000);
}

TEST_F(PlaybackTest, ThePlayVolumeIsKeptAndReportedBack)
{
    set_play_volume(128);
    EXPECT_EQ(playback_state().play_volume, 128);
    EXPECT_EQ(reported_play_volume(), 128);
    set_play_volume(300);
    EXPECT_EQ(reported_play_volume(), 255);
    // Half level halves the samples that reach the sink.
    open_doc(1, 16, 22050, 2205);
    playback_state().play_volume = 128;
    ASSERT_EQ(doc->play_the_wavefile(), 1);
    play_out();
    const std::string out = sink_bytes();
    ASSERT_EQ(out.size(), samples.size());
    for (size_t i = 0; i < out.size(); i += 2) {
        const int in = static_cast<int16_t>(static_cast<uint8_t>(samples[i]) |
                                            (static_cast<uint8_t>(samples[i + 1]) << 8));
        const int got = static_cast<int16_t>(static_cast<uint8_t>(out[i]) |
                                             (static_cast<uint8_t>(out[i + 1]) << 8));
        ASSERT_NEAR(got, in * 128 / 255, 1);
    }
}

TEST(PlaybackLevels, PeaksSkipTheLastTwoFramesAndSixteenBitIsScaled)
{
    // Stereo 16-bit: 5 frames, the peaks sit in the last two, which are left out.
    const std::string data = pcm16({100, -5, 2560, 512, -7, 3, 32767, 32767, 32767, 32767});
    int l = 0, r = 0;
    short table[kSpectrumTable];
    buffer_levels(data.data(), static_cast<unsigned long>(data.size()), 2, 16, &l, &r, table);
    EXPECT_EQ(l, 10);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(table[0], 100);
    EXPECT_EQ(table[2], -7);
    EXPECT_EQ(table[4], 32767);
    EXPECT_EQ(table[5], 0);
    // Mono 8-bit: value - 128, right copies left.
    const std::string eight = {'\x10', '\xA0', '\x90', '\xFF', '\xFF'};
    buffer_levels(eight.data(), 5, 1, 8, &l, &r, nullptr);
    EXPECT_EQ(l, 32);
    EXPECT_EQ(r, 32);
}

TEST(PlaybackTime, SecondsAndSmpteTexts)
{
    EXPECT_EQ(play_time_text(1.5, 1), "  1.500 sec");
    EXPECT_EQ(play_time_text(1.5, 25), "00:00:01:12");
    EXPECT_EQ(play_time_text(1.5, 30), "00:00:01:15");
    EXPECT_EQ(play_time_text(90.0, 25), "00:01:30:00");
}

TEST_F(PlaybackTest, PositionsPastFourGigabytesPlayTheRightBytes)
{
    // A sparse working file of 4.5 GiB whose last second is known.
    open_doc(2, 16, 22050, 22050);
    const uint64_t start_byte = (9ull << 29) + 4; // 4.5 GiB and one frame
    const std::string tail = pcm16(noise16(22050 * 2, 9));
    {
        FILE* f = std::fopen(doc->working_file(), "r+b");
        ASSERT_TRUE(f);
        ASSERT_EQ(fseeko(f, static_cast<off_t>(start_byte), SEEK_SET), 0);
        ASSERT_EQ(std::fwrite(tail.data(), 1, tail.size(), f), tail.size());
        ASSERT_EQ(std::fclose(f), 0);
    }
    doc->current.total_samples = static_cast<long>((start_byte + tail.size()) / 2);
    ASSERT_EQ(playback::start(*doc, PlayRequest{static_cast<long>(start_byte / 2)}), 1);
    EXPECT_EQ(doc->play_start_byte, start_byte);
    EXPECT_EQ(playback_state().start_offset, start_byte);
    play_out();
    EXPECT_TRUE(sink_bytes() == tail);
}
