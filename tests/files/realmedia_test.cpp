// Saving as RealMedia through the engine: ffprobe reads what we write, ffmpeg decodes it
// (sound, and the pictures of a video document against its source), and a failure or a
// cancel writes nothing and never ends in "Done.".
#include "common/child_frame.h"
#include "editor/files/file_commands.h"
#include "editor/files/realmedia.h"
#include "tests/support/test_env.h"

#include <cmath>
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
    // Video documents open through the video program; false when it or ffmpeg is missing.
    bool video_tools()
    {
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        if (!t || !exists(std::string(t) + "/nvaavi") ||
            std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
            return false;
        return sh(std::string("ln -sf '") + t + "/nvaavi' '" + program + "nvaavi'") == 0;
    }
    // Two seconds of pictures (25 a second, 320 x 240) with a 440 Hz tone. The red and blue
    // gratings move across and down, so each picture tells its time and its colours apart.
    void make_clip(const std::string& name)
    {
        ASSERT_EQ(sh("ffmpeg -v error -y -f lavfi -i \"nullsrc=size=320x240:rate=25:duration=2,"
                     "format=rgb24,geq=r='128+100*sin(2*PI*(X/64-T/2))':g='128+60*sin(2*PI*Y/48)'"
                     ":b='128+100*cos(2*PI*(Y/40+T/2))'\" -f lavfi -i sine=frequency=440:"
                     "sample_rate=22050:duration=2 -c:v mpeg4 -q:v 2 -c:a pcm_s16le -shortest " +
                     name),
                  0);
    }
    // The pictures of a file's video as 8-bit gray, one after another, as they are stored
    // (no frames made up or dropped); what ffmpeg said while decoding goes to `errors`.
    std::string gray_frames(const std::string& file, const std::string& errors)
    {
        sh("ffmpeg -v error -y -i '" + file +
           "' -map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt gray frames.raw 2> " + errors);
        return read_file(path("frames.raw"));
    }
    static double mean_difference(const std::string& a, size_t frame_a, const std::string& b,
                                  size_t frame_b, size_t frame_bytes)
    {
        if ((frame_a + 1) * frame_bytes > a.size() || (frame_b + 1) * frame_bytes > b.size())
            return 255;
        double sum = 0;
        for (size_t i = 0; i < frame_bytes; ++i)
            sum += std::abs(int(static_cast<unsigned char>(a[frame_a * frame_bytes + i])) -
                            int(static_cast<unsigned char>(b[frame_b * frame_bytes + i])));
        return sum / frame_bytes;
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
                  path("tone.wav"), path("out.rm"), bad, {}, [](int) { return true; },
                  [&](const std::string& s) { said.push_back(s); }),
              0);
    EXPECT_EQ(said, std::vector<std::string>{"6.5 Kbps Voice is not a valid audio codec name."});
    EXPECT_FALSE(exists(path("out.rm")));
    // A source that cannot be opened is said too, where nothing was said before.
    said.clear();
    EXPECT_EQ(encode_realmedia(
                  path("missing.wav"), path("out.rm"), RealMediaSettings{}, {},
                  [](int) { return true; }, [&](const std::string& s) { said.push_back(s); }),
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

TEST_F(RealMediaTest, VideoDocumentEncodesToRealVideoBesideItsSound)
{
    if (!video_tools())
        GTEST_SKIP() << "needs nvaavi and ffmpeg";
    make_clip("clip.avi");
    const size_t frame_bytes = 320 * 240;
    const std::string source = gray_frames(path("clip.avi"), "source-errors.txt");
    ASSERT_EQ(source.size(), 50 * frame_bytes);
    auto doc = open_sound_file(path("clip.avi"));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->video_source, 1);

    struct Case
    {
        int choice, rate, quality;
        const char* codec;
    };
    for (const Case c : {Case{0, 30, 100, "rv10"}, Case{1, 60, 40, "rv20"}}) {
        SCOPED_TRACE(c.codec);
        std::string status;
        ui.on_dialog("130", [&](kel::DialogModel& m) {
            auto& d = static_cast<RealMediaDialog&>(m);
            ASSERT_TRUE(d.video_enabled);
            ASSERT_EQ(d.video_names,
                      (std::vector<std::string>{"RealVideo (Standard)", "RealVideo G2"}));
            EXPECT_EQ(d.video_choice, 0);
            d.video_choice = c.choice;
            d.frame_rate = c.rate;
            d.quality = c.quality;
            d.ok();
            status = d.status;
        });
        std::remove(path("clip.rm").c_str());
        ASSERT_EQ(save_to_named_file(*doc, path("clip.rm"), SaveScope::Whole, save_format_of(*doc),
                                     false),
                  1);
        EXPECT_EQ(status, "Done.");
        const std::string p = probe(path("clip.rm"));
        EXPECT_NE(p.find("format_name=rm"), std::string::npos) << p;
        EXPECT_NE(p.find("codec_name=ra_144\nsample_rate=8000\nchannels=1"), std::string::npos)
            << p;
        EXPECT_NE(p.find(std::string("codec_name=") + c.codec), std::string::npos) << p;

        // Every picture decodes, as many as two seconds hold at the chosen rate, and each
        // is the source's picture of its time (and not its neighbour's a third of a second
        // off: the test pattern moves).
        const std::string got = gray_frames(path("clip.rm"), "errors.txt");
        EXPECT_EQ(read_file(path("errors.txt")), "");
        EXPECT_NEAR(double(got.size()) / frame_bytes, 2.0 * c.rate, 2.0);
        EXPECT_EQ(got.size() % frame_bytes, 0u);
        for (const double t : {0.5, 1.0, 1.9}) {
            const size_t k = static_cast<size_t>(std::lround(t * c.rate));
            const size_t at = static_cast<size_t>(std::floor(k * 25.0 / c.rate + 1e-9));
            const double same = mean_difference(got, k, source, at, frame_bytes);
            const double other =
                mean_difference(got, k, source, at >= 8 ? at - 8 : at + 8, frame_bytes);
            EXPECT_LT(same, 4.0) << t;
            EXPECT_GT(other, same + 4.0) << t;
        }
        // The sound is the document's, two seconds of it.
        ASSERT_EQ(sh("ffmpeg -v error -y -i clip.rm -map 0:a -f s16le decoded.raw"), 0);
        EXPECT_NEAR(read_file(path("decoded.raw")).size() / 16000.0, 2.0, 0.05);
        // The streams are interleaved in time through the file, not one after the other.
        // (The rm muxer stamps sound packets 0: their time is their count, 20 ms each.)
        sh("ffprobe -v error -show_entries packet=stream_index,dts_time -of csv=p=0 clip.rm "
           "> packets.txt");
        const std::string packets = read_file(path("packets.txt"));
        int sound_packets = 0, pictures = 0;
        double worst = 0;
        for (size_t at = 0; at < packets.size();) {
            const size_t end = packets.find('\n', at);
            const std::string line = packets.substr(at, end - at);
            at = end == std::string::npos ? packets.size() : end + 1;
            if (line.rfind("0,", 0) == 0) {
                ++sound_packets;
            } else if (line.rfind("1,", 0) == 0) {
                ++pictures;
                worst =
                    std::max(worst, std::abs(std::atof(line.c_str() + 2) - sound_packets * 0.02));
            }
        }
        EXPECT_NEAR(sound_packets, 100, 2);
        EXPECT_NEAR(pictures, 2 * c.rate, 2);
        EXPECT_LT(worst, 0.25) << packets;
        EXPECT_TRUE(run_files(".WAV").empty());
        EXPECT_TRUE(run_files(".rm").empty());
    }
}

TEST_F(RealMediaTest, VideoFailuresAndCancelWriteNothing)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs ffmpeg";
    make_clip("clip.avi");
    ASSERT_EQ(sh("ffmpeg -v error -y -i clip.avi -map 0:a -c copy sound.wav"), 0);
    std::vector<std::string> said;
    auto say = [&](const std::string& s) { said.push_back(s); };
    const RealMediaVideo video{path("clip.avi"), 0};
    EXPECT_TRUE(has_video_stream(path("clip.avi")));
    EXPECT_FALSE(has_video_stream(path("sound.wav")));

    // A video codec the engine does not offer: its message, and no file at all.
    RealMediaSettings bad;
    bad.audio_codec = "8 Kbps Voice";
    bad.video_codec = "RealVideo 8";
    EXPECT_EQ(encode_realmedia(
                  path("sound.wav"), path("out.rm"), bad, video, [](int) { return true; }, say),
              0);
    EXPECT_EQ(said, std::vector<std::string>{"RealVideo 8 is not a valid video codec name."});
    EXPECT_FALSE(exists(path("out.rm")));

    // Cancelled after the first block: the half-written file goes, nothing more is said.
    said.clear();
    RealMediaSettings good = bad;
    good.video_codec = "RealVideo G2";
    int calls = 0;
    EXPECT_EQ(
        encode_realmedia(
            path("sound.wav"), path("out.rm"), good, video, [&](int) { return ++calls < 2; }, say),
        0);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(said.empty());
    EXPECT_FALSE(exists(path("out.rm")));

    // The dialog's Cancel while it encodes ends it with Cancel and writes nothing.
    RealMediaDialog dialog(path("sound.wav"), path("out.rm"), 1, video);
    dialog.on_open();
    ASSERT_TRUE(dialog.video_enabled);
    dialog.changed = [&] { dialog.cancel(); };
    dialog.ok();
    EXPECT_EQ(dialog.end_code(), 2);
    EXPECT_FALSE(dialog.written);
    EXPECT_NE(dialog.status, "Done.");
    EXPECT_FALSE(exists(path("out.rm")));

    // A cut-off source gives the pictures it holds, or a failure without a file; bytes
    // that are no video are said and write nothing.
    ASSERT_EQ(sh("head -c 60000 clip.avi > cut.avi"), 0);
    said.clear();
    if (encode_realmedia(
            path("sound.wav"), path("out.rm"), good, {path("cut.avi"), 0}, [](int) { return true; },
            say) == 1) {
        EXPECT_EQ(sh("ffmpeg -v error -xerror -i out.rm -f null - 2> errors.txt"), 0);
        EXPECT_EQ(read_file(path("errors.txt")), "");
    } else {
        EXPECT_FALSE(exists(path("out.rm")));
    }
    std::remove(path("out.rm").c_str());
    write_file(path("noise.avi"), std::string(5000, 'x'));
    EXPECT_FALSE(has_video_stream(path("noise.avi")));
    said.clear();
    EXPECT_EQ(encode_realmedia(
                  path("sound.wav"), path("out.rm"), good, {path("noise.avi"), 0},
                  [](int) { return true; }, say),
              0);
    EXPECT_EQ(said, std::vector<std::string>{"Cannot open noise.avi."});
    EXPECT_FALSE(exists(path("out.rm")));

    // A source that has no pictures (whatever its name says) keeps the video group off.
    RealMediaDialog sound_only(path("sound.wav"), path("out.rm"), 1, {path("sound.wav"), 0});
    sound_only.on_open();
    EXPECT_FALSE(sound_only.video_enabled);
}

} // namespace
