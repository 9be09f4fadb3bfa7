// The open dialog's preview player on the virtual device: what reaches the device is
// the file's data chunk, no more and no less, and stopping or a bad file is harmless.
#include "common/wave_format.h"
#include "editor/devices/file_preview.h"
#include "editor/files/wave_header.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_device.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

namespace wd = kel::wave_device;
namespace ev = kel::events;

class FilePreviewTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        ev::reset();
        wd::set_backend(wd::Backend::Virtual);
        sink = path("sink.raw");
        wd::set_virtual_sink(sink);
    }
    void TearDown() override
    {
        wd::set_virtual_sink("");
        wd::unset_backend();
        ev::reset();
        TestEnv::TearDown();
    }
    void step(uint32_t ms)
    {
        kel::clock::advance(ms);
        wd::settle();
        ev::pump();
    }
    void play_out(FilePreview& p)
    {
        for (int t = 0; t < 3000 && p.playing(); ++t)
            step(10);
        step(0);
    }
    std::string sink_bytes() const { return read_file(sink); }
    // A 16-bit stereo file with a chunk after its data that must never be heard.
    std::string make_file(const std::string& name, size_t frames)
    {
        WaveImage w;
        w.rate = 11025;
        w.samples = pcm16(noise16(frames * 2, 3));
        w.after_data = chunk("LIST", "INFOISFT" + le32(6) + "tools!");
        data = w.samples;
        write_file(path(name), w.bytes());
        return path(name);
    }
    std::string sink;
    std::string data;
};

TEST_F(FilePreviewTest, PlaysExactlyTheDataChunkAndEndsByItself)
{
    // Several buffers' worth, not a multiple of the buffer size.
    FilePreview p;
    ASSERT_TRUE(p.open(make_file("a.wav", 11025 * 2 + 123)));
    ASSERT_TRUE(p.play());
    EXPECT_TRUE(p.playing());
    play_out(p);
    EXPECT_FALSE(p.playing());
    EXPECT_TRUE(p.is_open());
    EXPECT_EQ(sink_bytes(), data);
    // A second press starts again from the beginning.
    ASSERT_TRUE(p.play());
    play_out(p);
    EXPECT_EQ(sink_bytes(), data + data);
}

TEST_F(FilePreviewTest, StopEndsAtOnceAndLateNotificationsAreIgnored)
{
    FilePreview p;
    ASSERT_TRUE(p.open(make_file("a.wav", 11025 * 4)));
    ASSERT_TRUE(p.play());
    step(300);
    p.stop();
    EXPECT_FALSE(p.playing());
    const std::string heard = sink_bytes();
    for (int i = 0; i < 50; ++i)
        step(20);
    EXPECT_EQ(sink_bytes(), heard);
    EXPECT_LT(heard.size(), data.size());
    EXPECT_EQ(heard, data.substr(0, heard.size()));
    // Closing another file's preview while one plays stops it as well.
    ASSERT_TRUE(p.play());
    step(50);
    ASSERT_TRUE(p.open(make_file("b.wav", 100)));
    EXPECT_FALSE(p.playing());
    EXPECT_EQ(p.path(), path("b.wav"));
}

TEST_F(FilePreviewTest, FilesThatCannotBeHeardAreRefusedQuietly)
{
    FilePreview p;
    WaveImage adpcm;
    adpcm.format_tag = 2;
    adpcm.bits = 4;
    adpcm.samples = std::string(512, '\x11');
    write_file(path("c.wav"), adpcm.bytes());
    EXPECT_FALSE(p.open(path("c.wav")));
    write_file(path("d.wav"), "this is not a wave file at all");
    EXPECT_FALSE(p.open(path("d.wav")));
    EXPECT_FALSE(p.open(path("missing.wav")));
    EXPECT_FALSE(p.is_open());
    EXPECT_FALSE(p.play());
    // An open preview is dropped by a refused one.
    ASSERT_TRUE(p.open(make_file("a.wav", 500)));
    EXPECT_FALSE(p.open(path("d.wav")));
    EXPECT_FALSE(p.is_open());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(sink_bytes().empty());
}

TEST_F(FilePreviewTest, LookingAtAFileLeavesTheSharedHeaderStateAlone)
{
    // The header reader's globals belong to whatever file the program last read.
    last_format = WaveFormat{};
    last_format.channels = 1;
    last_format.sample_rate = 8000;
    last_format.bits_per_sample = 8;
    data_size = 777;
    last_format_tag = 1;
    data_offset = 44;
    FilePreview p;
    ASSERT_TRUE(p.open(make_file("a.wav", 1000)));
    EXPECT_EQ(last_format.sample_rate, 8000u);
    EXPECT_EQ(last_format.channels, 1);
    EXPECT_EQ(data_size, 777u);
    EXPECT_EQ(data_offset, 44u);
}

TEST_F(FilePreviewTest, AFileCutShortAfterItWasLookedAtEndsEarly)
{
    // The user's file may change while the dialog shows it.
    const std::string name = make_file("t.wav", 4000);
    FilePreview p;
    ASSERT_TRUE(p.open(name));
    const std::string whole = read_file(name);
    write_file(name, whole.substr(0, whole.size() - 3000));
    ASSERT_TRUE(p.play());
    play_out(p);
    EXPECT_FALSE(p.playing());
    const std::string heard = sink_bytes();
    EXPECT_FALSE(heard.empty());
    EXPECT_LT(heard.size(), data.size());
    EXPECT_EQ(heard, data.substr(0, heard.size()));
}
