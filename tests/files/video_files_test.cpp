// Video files through our stand-in program: the sound track opens as a document, and Save
// writes it back beside the video stream, which stays bit for bit what it was.
#include "common/child_frame.h"
#include "editor/commands/command_table.h"
#include "editor/files/file_commands.h"
#include "platform/clock.h"
#include "tests/support/test_env.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

class VideoFilesTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        struct stat st;
        if (!t || stat((std::string(t) + "/nvaavi").c_str(), &st) != 0 ||
            std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs nvaavi and ffmpeg";
        ASSERT_EQ(sh(std::string("ln -sf '") + t + "/nvaavi' '" + program + "nvaavi'"), 0);
        kel::clock::unfix(); // the program really runs
    }
    int sh(const std::string& cmd) { return std::system(("cd " + root + " && " + cmd).c_str()); }
    // What ffmpeg itself makes of a file: its sound as 16-bit samples, its video's md5.
    std::string sound_of(const std::string& file)
    {
        sh("ffmpeg -v error -y -i '" + file + "' -map 0:a:0 -f s16le sound.raw");
        return read_file(path("sound.raw"));
    }
    std::string video_md5(const std::string& file)
    {
        sh("ffmpeg -v error -i '" + file + "' -map 0:v -c copy -f md5 - > video.md5");
        return read_file(path("video.md5"));
    }
    static long differ_at(const std::string& a, const std::string& b)
    {
        if (a == b)
            return -1;
        size_t i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i])
            ++i;
        return static_cast<long>(i);
    }
};

TEST_F(VideoFilesTest, SoundOpensAndSaveKeepsTheVideoStreamBitIdentical)
{
    // Pictures and a sine, in each container that holds PCM sound, and in MP4 with AAC.
    for (const char* c :
         {"avi -c:a pcm_s16le", "mkv -c:a pcm_s16le", "mov -c:a pcm_s16le", "mp4 -c:a aac"}) {
        SCOPED_TRACE(c);
        const std::string clip_args = c;
        const std::string ext = clip_args.substr(0, clip_args.find(' '));
        const std::string name = path("clip." + ext);
        ASSERT_EQ(sh("ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=2 "
                     "-f lavfi -i sine=frequency=440:sample_rate=22050:duration=2 -c:v mpeg4 " +
                     clip_args.substr(ext.size()) + " -shortest clip." + ext),
                  0);
        const std::string video = video_md5(name);
        ASSERT_NE(video.find("MD5="), std::string::npos);
        auto doc = open_sound_file(name);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->video_source, 1);
        EXPECT_EQ(std::string(doc->video_file), name);
        EXPECT_EQ(doc->wave_format.channels, 1);
        EXPECT_EQ(doc->wave_format.sample_rate, 22050u);
        const bool pcm = ext != "mp4";
        if (pcm)
            EXPECT_EQ(differ_at(read_file(doc->working_file()), sound_of(name)), -1);

        // Silence a stretch, then Save into the file it came from.
        doc->current.has_selection = 1;
        doc->current.select_start = 5000;
        doc->current.select_end = 15000;
        CommandContext context;
        context.doc = doc.get();
        ASSERT_EQ(commands::run(cmd::kClear, context), 1);
        ASSERT_EQ(save_document(*doc), 1);
        EXPECT_EQ(video_md5(name), video);
        const std::string saved = sound_of(name);
        if (pcm) {
            EXPECT_EQ(differ_at(saved, read_file(doc->working_file())), -1);
        } else {
            // AAC: about as long, and silent where it was cleared.
            EXPECT_NEAR(static_cast<double>(saved.size()) / 2, 44100, 2048);
            long loud = 0;
            for (size_t i = 2 * 8000; i + 1 < 2 * 12000; i += 2)
                loud += std::abs(static_cast<int16_t>(saved[i] & 0xFF | saved[i + 1] << 8)) > 300;
            EXPECT_EQ(loud, 0);
        }
    }
}

TEST_F(VideoFilesTest, VideoWithoutSoundOrTruncatedIsRefusedOrOpensWhatItHolds)
{
    ASSERT_EQ(sh("ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=1 "
                 "-c:v mpeg4 mute.avi"),
              0);
    EXPECT_FALSE(open_sound_file(path("mute.avi")));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "mute.avi has no sound stream.");
    EXPECT_EQ(working_file_count(), 0);

    ASSERT_EQ(sh("ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=10:duration=2 "
                 "-f lavfi -i sine=frequency=440:sample_rate=8000:duration=2 -c:v mpeg4 "
                 "-c:a pcm_s16le -shortest whole.avi && head -c 30000 whole.avi > cut.avi"),
              0);
    const std::string whole = sound_of(path("whole.avi"));
    auto doc = open_sound_file(path("cut.avi"));
    if (doc) {
        const std::string got = read_file(doc->working_file());
        EXPECT_LT(got.size(), whole.size());
        EXPECT_EQ(whole.compare(0, got.size(), got), 0);
    } else {
        EXPECT_EQ(working_file_count(), 0);
    }
    write_file(path("noise.avi"), std::string(5000, 'x'));
    EXPECT_FALSE(open_sound_file(path("noise.avi")));
    EXPECT_EQ(ui.boxes.back().text, "Could not read the sound of noise.avi.");
}

} // namespace
