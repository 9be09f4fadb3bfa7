// The outside-program stand-ins, driven exactly as the editor starts them.
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cmath>
#include <cstdlib>
#include <sys/stat.h>

class ToolsTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        tools = t ? std::string(t) + "/" : "";
        if (std::system("command -v sox >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "sox not installed";
    }
    int run(const std::string& cmd) { return std::system(("cd " + root + " && " + cmd).c_str()); }
    bool exists(const std::string& name)
    {
        struct stat st
        {
        };
        return stat(path(name).c_str(), &st) == 0;
    }
    std::string tools;
};

TEST_F(ToolsTest, ConverterImportsForeignFilesWithTheirSamples)
{
    struct Case
    {
        const char* file;
        const char* make;
    } cases[] = {{"song.aiff", "-r 22050 -c 2 -b 16"},
                 {"song.au", "-r 8000 -c 1 -b 16"},
                 {"song.voc", "-r 11025 -c 1 -b 8"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(run(std::string("sox -n ") + c.make + " " + c.file +
                      " synth 0.25 sine 440 2>/dev/null"),
                  0);
        // What sox itself decodes the file to, in the same sample format.
        ASSERT_EQ(run(std::string("sox ") + c.file + " -t raw expect.raw"), 0);
        run("rm -f finished outadpcm.wav SONG.WAV");
        ASSERT_EQ(run(tools + "nvacnvrt " + c.file + " SONG.WAV"), 0);
        EXPECT_TRUE(exists("finished"));
        EXPECT_TRUE(exists("outadpcm.wav")) << "the success marker";
        ASSERT_EQ(run("sox SONG.WAV -t raw got.raw"), 0);
        EXPECT_EQ(read_file(path("got.raw")), read_file(path("expect.raw")));
    }
}

TEST_F(ToolsTest, ConverterExportsAndSignalsFailureByTheMissingMarker)
{
    WaveImage w;
    w.channels = 2;
    w.rate = 22050;
    w.samples = pcm16(noise16(2000, 4));
    write_file(path("NVACNVRT.WAV"), w.bytes());
    ASSERT_EQ(run(tools + "nvacnvrt NVACNVRT.WAV out.aif"), 0);
    ASSERT_EQ(run("sox out.aif -t raw -e signed -b 16 -L back.raw"), 0);
    EXPECT_EQ(read_file(path("back.raw")), w.samples);
    run("rm -f finished outadpcm.wav");
    EXPECT_NE(run(tools + "nvacnvrt missing.au x.wav 2>/dev/null"), 0);
    EXPECT_TRUE(exists("finished"));
    EXPECT_FALSE(exists("outadpcm.wav"));
    EXPECT_NE(run(tools + "nvacnvrt NVACNVRT.WAV out.xyz 2>/dev/null"), 0);
    EXPECT_FALSE(exists("outadpcm.wav"));
}

TEST_F(ToolsTest, EncoderWritesAnMp3ThatDecodesToTheSource)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg not installed";
    ASSERT_EQ(run("sox -n -r 44100 -c 2 -b 16 take.wav synth 1 sine 440 sine 660 vol 0.5"), 0);
    ASSERT_EQ(run(tools + "bladeenc -320 -quit take.wav"), 0);
    ASSERT_TRUE(exists("take.mp3"));
    ASSERT_EQ(run("ffprobe -v error -show_entries stream=bit_rate -of csv=p=0 take.mp3 > rate.txt"),
              0);
    EXPECT_EQ(read_file(path("rate.txt")), "320000\n");
    ASSERT_EQ(run("ffmpeg -v error -i take.mp3 -f s16le -ac 2 dec.raw"), 0);
    ASSERT_EQ(run("sox take.wav -t raw src.raw"), 0);
    std::string a = read_file(path("src.raw")), b = read_file(path("dec.raw"));
    ASSERT_GT(b.size(), a.size() / 2);
    // The decoder adds a delay; find the best lag and require a near-perfect correlation.
    auto word = [](const std::string& s, size_t i) {
        return static_cast<double>(static_cast<int16_t>(static_cast<uint8_t>(s[2 * i]) |
                                                        (static_cast<uint8_t>(s[2 * i + 1]) << 8)));
    };
    const size_t n = std::min(a.size(), b.size()) / 2 - 8000;
    double best = 0;
    for (size_t lag = 0; lag < 6000; lag += 2) {
        double sab = 0, saa = 0, sbb = 0;
        for (size_t i = 2000; i < n - lag; i += 7) {
            double x = word(a, i), y = word(b, i + lag);
            sab += x * y;
            saa += x * x;
            sbb += y * y;
        }
        best = std::max(best, sab / std::sqrt(saa * sbb + 1));
    }
    EXPECT_GT(best, 0.99);
    EXPECT_NE(run(tools + "bladeenc -320 -quit none.wav 2>/dev/null"), 0);
}
