// The player driven as its dialog drives it: play on the virtual device, loop, playlists,
// Stop/Next/Prev, Convert with Cancel, and the reader's prompts.
#include "platform/events.h"
#include "platform/profile.h"
#include "plavo/player.h"
#include "plavo/playlist.h"
#include "tests/plavo/plavo_env.h"

#include <map>
#include <sys/stat.h>

using namespace plavo;

namespace {

class RecordingView : public PlayerView
{
  public:
    void enable(int control, bool on) override { enabled[control] = on; }
    void set_text(int control, const std::string& text) override { texts[control] = text; }
    void set_check(int control, bool on) override { checks[control] = on; }
    void set_progress(int percent) override { progress.push_back(percent); }
    void set_seconds(double s) override { seconds = s; }
    void set_levels(bool lit, Levels l) override
    {
        meter_lit = lit;
        levels = l;
        ++meter_draws;
    }
    bool cancel_pressed() override { return cancel_at > 0 && ++polls >= cancel_at; }

    std::map<int, bool> enabled, checks;
    std::map<int, std::string> texts;
    std::vector<int> progress;
    double seconds = -1;
    bool meter_lit = false;
    Levels levels;
    int meter_draws = 0;
    int cancel_at = 0;
    int polls = 0;
};

bool exists(const std::string& f)
{
    struct stat st
    {
    };
    return stat(f.c_str(), &st) == 0;
}

class PlayerTest : public PlavoEnv
{
  protected:
    // A short mono OCW file (22050 Hz at r = 2: about 0.2 s of sound per 2400 frames).
    std::string ocw(const std::string& name, int frames = 2400, uint32_t marker = 22050)
    {
        const std::string f = path(name);
        write_ocw(f, test_signal(1, frames, 22050), 1, 22050, marker);
        return f;
    }
    // What converting gives: the bytes a play must put in the sink.
    std::string decoded(const std::string& file)
    {
        Playback p(nullptr);
        EXPECT_EQ(p.convert(file, path("ref.wav"), {}), 1);
        return data_chunk(read_file(path("ref.wav")));
    }
    RecordingView view;
};

} // namespace

TEST_F(PlayerTest, PlayPutsExactlyTheDecodedStreamInTheSinkThroughARingOfTwo)
{
    // Several steps long, so the ring turns over many times.
    const std::string file = ocw("long.ocw", 22050 * 3);
    const std::string want = decoded(file);
    ASSERT_GT(want.size(), 200000u);
    Player player(view);
    player.init("");
    EXPECT_FALSE(view.enabled[kPlayButton]);
    EXPECT_EQ(view.texts[kFileNameText], " ");
    player.on_play();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "First please open a file to play.");

    ui.on_dialog("146", [&](kel::DialogModel& m) { static_cast<OpenDialog&>(m).on_ok(file); });
    player.on_file();
    EXPECT_TRUE(view.enabled[kPlayButton]);
    EXPECT_EQ(view.texts[kFileNameText], "long.ocw");
    EXPECT_EQ(kel::profile::read_string("Playlist", "File1", "", playlist_file()), file);

    player.on_play();
    EXPECT_TRUE(player.playing());
    EXPECT_FALSE(view.enabled[kPlayButton]);
    EXPECT_TRUE(view.enabled[kStopButton]);
    // The playing job's file is in the player's private folder, not the current one.
    EXPECT_TRUE(exists(play_target()));
    EXPECT_EQ(play_target().compare(0, root.size(), root), 0);
    EXPECT_FALSE(exists(path("compressocw.wav")));
    run_for(1500);
    EXPECT_NEAR(view.seconds, 1.0, 0.05);
    EXPECT_TRUE(view.meter_lit);
    EXPECT_GT(view.levels.left, 0);
    EXPECT_EQ(view.levels.left, view.levels.right);
    run_for(6000);
    EXPECT_FALSE(player.playing());
    EXPECT_TRUE(read_file(sink) == want) << read_file(sink).size() << " vs " << want.size();
    EXPECT_FALSE(exists(play_target()));
    EXPECT_TRUE(view.enabled[kPlayButton]);
    EXPECT_FALSE(view.enabled[kPauseButton]);
    EXPECT_EQ(view.seconds, 0.0);
    EXPECT_FALSE(view.meter_lit);
    // The bar climbs while the file plays and reaches 100 when its last buffer is back.
    int top = 0;
    for (int p : view.progress) {
        EXPECT_GE(p, top == 100 ? 0 : top) << "the bar only goes back once the file is done";
        top = std::max(top, p);
    }
    EXPECT_EQ(top, 100);
}

TEST_F(PlayerTest, PauseHoldsTheSinkAndLoopPlaysTheCommandLineFileAgain)
{
    const std::string file = ocw("one.ocw");
    const std::string want = decoded(file);
    Player player(view);
    player.init(file);
    player.on_loop();
    EXPECT_TRUE(view.checks[kLoopCheck]);
    run_for(100); // the command line's file starts now
    ASSERT_TRUE(player.playing());
    EXPECT_EQ(view.texts[kFileNameText], "one.ocw");
    run_for(50);
    player.on_pause();
    const size_t held = read_file(sink).size();
    run_for(1000);
    EXPECT_EQ(read_file(sink).size(), held);
    player.on_pause();
    // Twice through, and a third time started.
    run_for(2 * 260);
    const std::string got = read_file(sink);
    ASSERT_GE(got.size(), 2 * want.size());
    EXPECT_TRUE(got.substr(0, want.size()) == want);
    EXPECT_TRUE(got.substr(want.size(), want.size()) == want);
    EXPECT_TRUE(player.playing());
    // Stop ends it: the loop switch is off until the reset 100 ms later gives it back.
    player.on_stop();
    EXPECT_FALSE(player.loop());
    run_for(300);
    EXPECT_FALSE(player.playing());
    EXPECT_TRUE(player.loop());
    EXPECT_TRUE(view.checks[kLoopCheck]);
}

TEST_F(PlayerTest, APlaylistWhoseThirdKeyIsMissingStopsAfterTheSecondEntry)
{
    const std::string a = ocw("a.ocw", 1000), b = ocw("b.ocw", 1500), c = ocw("c.ocw", 2000);
    const std::string want = decoded(a) + decoded(b);
    Player player(view);
    player.init("");
    ui.on_dialog("146", [&](kel::DialogModel& m) {
        auto& open = static_cast<OpenDialog&>(m);
        open.panel.entries = {a, b, c};
        open.on_ok(a);
    });
    player.on_file();
    EXPECT_EQ(player.playlist_count(), 3);
    kel::profile::delete_key("Playlist", "File3", playlist_file());
    player.on_play();
    run_for(2000);
    EXPECT_FALSE(player.playing());
    EXPECT_TRUE(read_file(sink) == want);
    // Back to the first entry after the reset.
    EXPECT_EQ(player.playlist_index(), 1);
    EXPECT_EQ(player.current_file(), a);
    EXPECT_EQ(view.texts[kFileNameText], "a.ocw");
}

TEST_F(PlayerTest, NextOnTheLastEntryStopsAndPrevOnTheFirstPlaysItAgain)
{
    const std::string a = ocw("a.ocw", 6000), b = ocw("b.ocw", 6000);
    Player player(view);
    player.init("");
    ui.on_dialog("146", [&](kel::DialogModel& m) {
        auto& open = static_cast<OpenDialog&>(m);
        open.panel.entries = {a, b};
        open.on_ok(a);
    });
    player.on_file();
    player.on_play();
    run_for(100);
    // Prev on the first entry: the first entry again, from its start.
    player.on_prev();
    run_for(20);
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(player.current_file(), a);
    EXPECT_EQ(player.playlist_index(), 1);
    player.on_next();
    run_for(20);
    EXPECT_EQ(player.current_file(), b);
    EXPECT_EQ(player.playlist_index(), 2);
    player.on_next();
    run_for(20);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(view.texts[kFileNameText], "b.ocw");
    run_for(100);
    EXPECT_EQ(view.texts[kFileNameText], "a.ocw");
    EXPECT_EQ(player.playlist_index(), 1);
}

TEST_F(PlayerTest, ARequestBecomesAOneEntryPlaylistAndPlays)
{
    const std::string a = ocw("a.ocw", 6000), b = ocw("b.ocw", 1000);
    Player player(view);
    player.init("");
    kel::profile::write_string("Playlist", "File2", "/old/x.ocw", playlist_file());
    EXPECT_TRUE(player.request_play(a));
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(read_list("Playlist"), std::vector<std::string>{a});
    // A second request while playing switches over.
    run_for(50);
    EXPECT_TRUE(player.request_play(b));
    run_for(20);
    EXPECT_TRUE(player.playing());
    EXPECT_EQ(player.current_file(), b);
    EXPECT_FALSE(player.request_play(std::string(261, 'x')));
    EXPECT_FALSE(player.request_play(""));
}

TEST_F(PlayerTest, CancelledConversionLeavesTheEarlierFileAndNoPart)
{
    const std::string file = ocw("long.ocw", 22050 * 4);
    Player player(view);
    player.init("");
    ui.on_dialog("146", [&](kel::DialogModel& m) { static_cast<OpenDialog&>(m).on_ok(file); });
    player.on_file();
    write_file(path("out.wav"), "an earlier conversion");
    ui.file_dialog_answers.push_back(path("out"));
    view.cancel_at = 3;
    player.on_convert();
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Error in converting file " + file + ".");
    EXPECT_EQ(ui.boxes.size(), 1u); // no "Failed to convert file." for a cancel
    EXPECT_EQ(view.texts[kExitButton], "&Exit");
    EXPECT_TRUE(view.enabled[kPlayButton]);
    EXPECT_TRUE(view.enabled[kFileButton]);
    ASSERT_EQ(ui.file_dialogs.size(), 1u);
    EXPECT_TRUE(ui.file_dialogs[0].save);
    // The default extension went on; the earlier file is untouched and nothing half-made
    // lies beside it.
    EXPECT_EQ(read_file(path("out.wav")), "an earlier conversion");
    EXPECT_EQ(std::system(("ls '" + root + "' | grep -q part").c_str()) == 0, false);

    // Without the cancel the same file converts whole.
    ui.boxes.clear();
    ui.file_dialog_answers.push_back(path("whole.wav"));
    view.cancel_at = 0;
    player.on_convert();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "File " + file + " converted successfully.");
    EXPECT_TRUE(data_chunk(read_file(path("whole.wav"))) == decoded(file));
}

TEST_F(PlayerTest, AFileWithoutFactPromptsOnceAndPlaysWhenAccepted)
{
    const std::string file = path("nofact.ocw");
    write_ocw(file, test_signal(1, 2000, 22050), 1, 22050, 22050, false);
    Player player(view);
    player.init("");
    ui.answer(kel::kIdNo);
    EXPECT_TRUE(player.request_play(file));
    EXPECT_FALSE(player.playing());
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text,
              "This wave file does not have a 'fact' chunk and requires one! This is completely "
              "invalid and MUST be fixed! Attempt to load it anyway?");
    EXPECT_EQ(ui.boxes[0].caption, "wioFileOpen");
    EXPECT_EQ(ui.boxes[1].text,
              "The file '" + file + "' cannot be loaded as a wave file (wio error=8).");
    EXPECT_EQ(ui.boxes[2].text, "Cannot open file " + file + ".");
    EXPECT_EQ(ui.boxes[2].caption, "OCW File Decoder / Player");
    EXPECT_TRUE(view.enabled[kPlayButton]);

    ui.boxes.clear();
    ui.answer(kel::kIdYes);
    player.on_play();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(player.playing());
}

TEST_F(PlayerTest, DoubtfulAndUnplayableFilesGetTheirMessages)
{
    Player player(view);
    player.init("");
    // A chunk reaching past the RIFF size.
    const std::string file = ocw("long.ocw");
    std::string b = read_file(file);
    const uint32_t small = le32(b, 4) - 100;
    for (int i = 0; i < 4; ++i)
        b[4 + i] = static_cast<char>(small >> (8 * i));
    write_file(file, b);
    ui.answer(kel::kIdNo);
    player.request_play(file);
    ASSERT_FALSE(ui.boxes.empty());
    const uint32_t data_size = le32(b, 12 + 8 + 50 + 12 + 4);
    char want[400];
    std::snprintf(want, sizeof want,
                  "This wave file might be corrupt. The RIFF chunk.ckid '61746164' (data offset "
                  "at %u) specifies a cksize of %u that extends beyond what the RIFF header "
                  "cksize of %u allows. Attempt to load?",
                  12u + 8 + 50 + 12 + 8, data_size, small);
    EXPECT_EQ(ui.boxes[0].text, want);
    EXPECT_EQ(ui.boxes[1].text,
              "The file '" + file + "' cannot be loaded as a wave file (wio error=8).");

    // No "fmt " at all.
    ui.boxes.clear();
    write_file(path("nofmt.ocw"), std::string("RIFF\x0c\0\0\0WAVEdata\0\0\0\0", 20));
    player.request_play(path("nofmt.ocw"));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "The file '" + path("nofmt.ocw") +
                                    "' cannot be loaded as a wave file (wio error=1).");
    // Not a RIFF file.
    ui.boxes.clear();
    write_file(path("junk.ocw"), "this is no sound");
    player.request_play(path("junk.ocw"));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text,
              "The file '" + path("junk.ocw") + "' cannot be loaded as a wave file (wio error=6).");

    // A coefficient table of someone else's: the decoder refuses it.
    ui.boxes.clear();
    const std::string odd = ocw("odd.ocw");
    std::string o = read_file(odd);
    o[20 + 22] = 7; // first coefficient of the first pair
    write_file(odd, o);
    player.request_play(odd);
    ASSERT_EQ(ui.boxes.size(), 4u);
    EXPECT_EQ(ui.boxes[1].text, "acmStreamOpen() failed with error = 512!");
    EXPECT_EQ(ui.boxes[2].text, "Failed, 1098");
    EXPECT_EQ(ui.boxes[3].text, "BeginConvert failed");
    EXPECT_FALSE(player.playing());

    // A marker of 44100 (k = 10) is not a rate the player knows.
    ui.boxes.clear();
    player.request_play(ocw("rate.ocw", 2400, 44100));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unknown resample rate. Returning.");
    EXPECT_FALSE(player.playing());
    EXPECT_FALSE(exists(play_target()));
}

TEST_F(PlayerTest, VolumeIsTheTrackBarUpsideDown)
{
    Player player(view);
    EXPECT_EQ(player.volume(), 128);
    player.on_volume(0);
    EXPECT_EQ(player.volume(), 255);
    player.on_volume(200);
    EXPECT_EQ(player.volume(), 55);
    player.on_volume(255);
    EXPECT_EQ(player.volume(), 0);
    player.on_help();
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_EQ(ui.help[0], root + "PLAVO.HLP#11");
    int x = 0, y = 0;
    dialog_position(1024, 768, 300, 200, x, y);
    EXPECT_EQ(x, 360); // 362 + 4 = 366 with bits 1 and 2 cleared
    EXPECT_EQ(y, 284);
}

TEST_F(PlayerTest, ATruncatedFileConvertsWhatItHoldsAndSaysItIsCutShort)
{
    const std::string whole = ocw("whole.ocw", 22050 * 2);
    const std::string bytes = read_file(whole);
    // The data chunk still claims every block; a third of them is missing.
    const std::string file = path("cut.ocw");
    write_file(file, bytes.substr(0, bytes.size() * 2 / 3));
    Player player(view);
    player.init("");
    ui.on_dialog("146", [&](kel::DialogModel& m) { static_cast<OpenDialog&>(m).on_ok(file); });
    player.on_file();
    ui.file_dialog_answers.push_back(path("cut.wav"));
    player.on_convert();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "File " + file + " is cut short: only the part it holds was converted.");
    EXPECT_EQ(ui.boxes[0].icon, kel::Icon::Exclamation);
    // What is there is the start of the whole file's sound.
    const std::string part = data_chunk(read_file(path("cut.wav")));
    const std::string all = decoded(whole);
    ASSERT_GT(part.size(), all.size() / 2);
    ASSERT_LT(part.size(), all.size());
    EXPECT_TRUE(all.compare(0, part.size() - 64, part, 0, part.size() - 64) == 0);
}
