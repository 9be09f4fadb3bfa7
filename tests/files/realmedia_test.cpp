// Saving as RealMedia through the engine: ffprobe reads what we write, and a failure
// writes nothing and never ends in "Done.".
#include "common/child_frame.h"
#include "editor/files/file_commands.h"
#include "editor/files/realmedia.h"
#include "tests/support/test_env.h"

#include <cstdlib>
#include <sys/stat.h>

namespace {

class RealMediaTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        if (std::system("command -v ffprobe >/dev/null && command -v sox >/dev/null") != 0)
            GTEST_SKIP() << "needs ffprobe and sox";
        realmedia_settings() = RealMediaSettings{};
    }
    int sh(const std::string& cmd) { return std::system(("cd " + root + " && " + cmd).c_str()); }
    std::string probe(const std::string& file)
    {
        sh("ffprobe -v error -show_entries format=format_name,duration:stream=codec_name,"
           "channels,sample_rate -of default=nw=1 '" +
           file + "' > probe.txt 2>&1");
        return read_file(path("probe.txt"));
    }
    bool exists(const std::string& file)
    {
        struct stat st;
        return stat(file.c_str(), &st) == 0;
    }
};

TEST_F(RealMediaTest, ToneEncodesToRealAudio144OfTheSameDuration)
{
    for (const char* sox_args : {"-r 22050 -c 1 -b 16", "-r 44100 -c 2 -b 8"}) {
        SCOPED_TRACE(sox_args);
        ASSERT_EQ(sh(std::string("sox -n ") + sox_args + " tone.wav synth 5 sine 440 vol 0.5"), 0);
        auto doc = open_sound_file(path("tone.wav"));
        ASSERT_TRUE(doc);
        std::string status;
        int percent = -1;
        ui.on_dialog("130", [&](kel::DialogModel& m) {
            auto& d = static_cast<RealMediaDialog&>(m);
            // What the engine offers, with its description; no video for a sound file.
            ASSERT_EQ(d.audio_names, std::vector<std::string>{"8 Kbps Voice"});
            EXPECT_EQ(
                d.description,
                "Use this option for voice over 14.4 kbps modems.\nFrequency response: 4 kHz");
            EXPECT_FALSE(d.video_enabled);
            d.ok();
            status = d.status;
            percent = d.percent;
        });
        std::remove(path("tone.rm").c_str());
        ASSERT_EQ(save_to_named_file(*doc, path("tone.rm"), SaveScope::Whole, save_format_of(*doc),
                                     false),
                  1);
        EXPECT_EQ(status, "Done.");
        EXPECT_EQ(percent, 100);
        const std::string p = probe(path("tone.rm"));
        EXPECT_NE(p.find("format_name=rm"), std::string::npos) << p;
        EXPECT_NE(p.find("codec_name=ra_144"), std::string::npos) << p;
        EXPECT_NE(p.find("channels=1"), std::string::npos) << p;
        EXPECT_NE(p.find("sample_rate=8000"), std::string::npos) << p;
        // The rm demuxer gives no duration (neither for ffmpeg's own rm files): count what
        // ffmpeg decodes instead.
        ASSERT_EQ(sh("ffmpeg -v error -y -i tone.rm -f s16le decoded.raw"), 0);
        EXPECT_NEAR(read_file(path("decoded.raw")).size() / 16000.0, 5.0, 0.05);
        EXPECT_TRUE(run_files(".WAV").empty());
    }
}

TEST_F(RealMediaTest, AFailureWritesNothingAndIsNeverDone)
{
    ASSERT_EQ(sh("sox -n -r 8000 -c 1 -b 16 tone.wav synth 1 sine 440"), 0);
    // The codec name the engine does not offer, straight to the encoder: its message, no
    // file, and the status line keeps it.
    std::vector<std::string> said;
    RealMediaSettings bad;
    EXPECT_EQ(bad.audio_codec, "6.5 Kbps Voice");
    EXPECT_EQ(encode_realmedia(
                  path("tone.wav"), path("out.rm"), bad, false, [](int) {},
                  [&](const std::string& s) { said.push_back(s); }),
              0);
    EXPECT_EQ(said, std::vector<std::string>{"6.5 Kbps Voice is not a valid audio codec name."});
    EXPECT_FALSE(exists(path("out.rm")));
    // A source that cannot be opened is said too, where nothing was said before.
    said.clear();
    EXPECT_EQ(encode_realmedia(
                  path("missing.wav"), path("out.rm"), RealMediaSettings{}, false, [](int) {},
                  [&](const std::string& s) { said.push_back(s); }),
              0);
    EXPECT_EQ(said, std::vector<std::string>{"Cannot open missing.wav."});
    EXPECT_FALSE(exists(path("out.rm")));

    // Through Save As: the user's earlier file stays as it was.
    write_file(path("keep.rm"), "earlier");
    auto doc = open_sound_file(path("tone.wav"));
    ASSERT_TRUE(doc);
    std::string status;
    ui.on_dialog("130", [&](kel::DialogModel& m) {
        auto& d = static_cast<RealMediaDialog&>(m);
        d.audio_names = {"6.5 Kbps Voice"};
        d.ok();
        status = d.status;
        EXPECT_FALSE(d.ended()); // the failure stays on the screen
    });
    EXPECT_EQ(
        save_to_named_file(*doc, path("keep.rm"), SaveScope::Whole, save_format_of(*doc), false),
        0);
    EXPECT_EQ(status, "6.5 Kbps Voice is not a valid audio codec name.");
    EXPECT_EQ(read_file(path("keep.rm")), "earlier");
    EXPECT_TRUE(run_files(".rm").empty());
}

} // namespace
