#include "common/child_frame.h"
#include "common/host_services.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class SampleCopyTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        doc.wave_format.channels = 2;
        doc.wave_format.bits_per_sample = 16;
        doc.wave_format.block_align = 4;
        doc.wave_format.sample_rate = 44100;
    }
    CChildFrame doc;
    int progress_windows() const
    {
        int n = 0;
        for (auto& e : ui.progress)
            n += e.percent == -1;
        return n;
    }
};

TEST_F(SampleCopyTest, BlockLengths)
{
    EXPECT_EQ(compute_sample_length(100000, 4, 32768), 25000u);
    EXPECT_EQ(compute_sample_length(65536, 2, 32768), 32768u);
    EXPECT_EQ(compute_sample_length(1001, 4, 32768), 1000u);
    EXPECT_EQ(compute_sample_length(0, 4, 32768), 0u);
    // Never below half the largest block when the total is larger.
    EXPECT_EQ(compute_sample_length(32770, 2, 32768), 16384u);
    EXPECT_EQ(compute_sample_length(98305, 1, 32768), 24576u);
}

TEST_F(SampleCopyTest, CopyOntoItselfAppendAndEmptyCopies)
{
    write_file(path("a"), "0123456789");
    write_file(path("b"), "xy");
    EXPECT_EQ(doc.copy_file_to_file(path("a").c_str(), path("a").c_str(), 10, 0, 0, 1, nullptr), 1);
    EXPECT_EQ(read_file(path("a")), "0123456789");
    EXPECT_EQ(doc.copy_file_to_file(path("b").c_str(), path("a").c_str(), 4, 3, -1, 0, nullptr), 1);
    EXPECT_EQ(read_file(path("b")), "xy3456");
    EXPECT_EQ(doc.copy_file_to_file(path("b").c_str(), path("a").c_str(), 2, 8, 1, 0, nullptr), 1);
    EXPECT_EQ(read_file(path("b")), "x89456");
    EXPECT_EQ(doc.copy_file_to_file(path("b").c_str(), path("a").c_str(), 0, 0, 0, 1, nullptr), 1);
    EXPECT_EQ(progress_windows(), 0);
    // Asking for more than the source holds is a failure, in the kernel's copy and in ours.
    EXPECT_EQ(doc.copy_file_to_file(path("b").c_str(), path("a").c_str(), 100, 7, -1, 0, nullptr),
              0);
    single_channel_copy = 1;
    doc.left_active = 0;
    EXPECT_EQ(doc.copy_file_to_file(path("b").c_str(), path("a").c_str(), 100, 7, -1, 0, nullptr),
              0);
    single_channel_copy = 0;
    doc.left_active = 1;
    // The destination must exist; the source must exist.
    EXPECT_EQ(doc.copy_file_to_file(path("nope").c_str(), path("a").c_str(), 4, 0, 0, 0, nullptr),
              0);
    EXPECT_EQ(doc.copy_file_to_file(path("b").c_str(), path("nope").c_str(), 4, 0, 0, 0, nullptr),
              0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.cursor, kel::Cursor::Arrow);
}

TEST_F(SampleCopyTest, ProgressWindowRulesAndCancel)
{
    std::string big(300000, 'z'); // 300000 / 44100 >= 6
    write_file(path("src"), big);
    write_file(path("dst"), "");
    EXPECT_EQ(
        doc.copy_file_to_file(path("dst").c_str(), path("src").c_str(), 300000, 0, 0, 0, nullptr),
        1);
    ASSERT_EQ(progress_windows(), 1);
    EXPECT_EQ(ui.progress.front().text, "Updating buffers ...");
    EXPECT_EQ(ui.progress.back().percent, -2) << "the window is closed again";
    EXPECT_EQ(read_file(path("dst")), big);

    ui.progress.clear();
    write_file(path("small"), std::string(1000, 's'));
    doc.copy_file_to_file(path("dst").c_str(), path("small").c_str(), 1000, 0, 0, 0, nullptr);
    EXPECT_EQ(progress_windows(), 0);
    doc.copy_file_to_file(path("dst").c_str(), path("small").c_str(), 1000, 0, 0, 1, "Copying");
    ASSERT_EQ(progress_windows(), 1);
    EXPECT_EQ(ui.progress.front().text, "Copying");

    // Cancel after the second block: result 0, destination holds what was written.
    write_file(path("dst2"), "");
    ui.cancel_after_polls(2);
    EXPECT_EQ(
        doc.copy_file_to_file(path("dst2").c_str(), path("src").c_str(), 300000, 0, 0, 0, nullptr),
        0);
    EXPECT_EQ(read_file(path("dst2")).size(), 2u * 32768u);
    EXPECT_EQ(ui.cursor, kel::Cursor::Arrow);
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(SampleCopyTest, SingleChannelCopyDuplicatesTheActiveChannel)
{
    std::vector<int16_t> frames = {1, -1, 2, -2, 3, -3};
    write_file(path("s"), pcm16(frames));
    write_file(path("d"), "");
    doc.left_active = 0;
    doc.right_active = 1;
    EXPECT_EQ(doc.compute_channel_mode(), 3);
    // Off unless the caller asks for it.
    doc.copy_file_to_file(path("d").c_str(), path("s").c_str(), 12, 0, 0, 0, nullptr);
    EXPECT_EQ(read_file(path("d")), pcm16(frames));
    single_channel_copy = 1;
    doc.copy_file_to_file(path("d").c_str(), path("s").c_str(), 12, 0, 0, 0, nullptr);
    EXPECT_EQ(read_file(path("d")), pcm16({-1, -1, -2, -2, -3, -3}));
    doc.left_active = 1;
    doc.right_active = 0;
    doc.copy_file_to_file(path("d").c_str(), path("s").c_str(), 12, 0, 0, 0, nullptr);
    EXPECT_EQ(read_file(path("d")), pcm16({1, 1, 2, 2, 3, 3}));
    // Both channels, or mono: nothing is duplicated.
    doc.right_active = 1;
    doc.copy_file_to_file(path("d").c_str(), path("s").c_str(), 12, 0, 0, 0, nullptr);
    EXPECT_EQ(read_file(path("d")), pcm16(frames));
    single_channel_copy = 0;
}

TEST_F(SampleCopyTest, MemoryCopies)
{
    write_file(path("f"), "abcdefgh");
    char buf[16] = {};
    EXPECT_EQ(copy_file_to_memory(path("f").c_str(), buf, 2, 4, 3, 1), 4);
    EXPECT_EQ(std::string(buf + 2, 4), "defg");
    EXPECT_EQ(copy_file_to_memory(path("f").c_str(), buf, -5, 100, -3, 0), 8) << "negatives are 0";
    EXPECT_EQ(std::string(buf, 8), "abcdefgh");
    EXPECT_EQ(copy_file_to_memory(path("none").c_str(), buf, 0, 4, 0, 0), 0);
    EXPECT_EQ(ui.cursor, kel::Cursor::Arrow);

    EXPECT_EQ(copy_memory_to_file(path("f").c_str(), "XYZ", 1, 2, 6, 0), 1);
    EXPECT_EQ(read_file(path("f")), "abcdefYZ");
    EXPECT_EQ(copy_memory_to_file(path("f").c_str(), "123", 0, 3, 7, 0), 1);
    EXPECT_EQ(read_file(path("f")), "abcdefY123");
    EXPECT_EQ(copy_memory_to_file(path("none").c_str(), "1", 0, 1, 0, 0), 0);
    EXPECT_EQ(ui.beeps, 1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Record File");
    EXPECT_EQ(ui.boxes[0].text, "CMTF: Was not able to open file " + path("none"));
}

TEST_F(SampleCopyTest, SharedTransferBufferReadsFromTheSelection)
{
    std::vector<int16_t> words = noise16(400, 11);
    write_file(path("w"), pcm16(words));
    std::snprintf(doc.current.file_name, sizeof doc.current.file_name, "%s", path("w").c_str());
    doc.current.select_start = 100;
    unsigned long pos = 0;
    unsigned char* p = doc.make_pSaveBuffer_single_display(8, &pos, 10);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(pos, 100u * 2 + 8);
    EXPECT_EQ(pSaveBuffer, p);
    EXPECT_EQ(pSaveBuffer_size, 40u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p), 40), pcm16(words).substr(208, 40));
    shitcan_pSaveBuffer();
    EXPECT_EQ(pSaveBuffer, nullptr);
    shitcan_pSaveBuffer(); // twice is harmless
}

TEST_F(SampleCopyTest, AWriteCutShortByTheFileSystemIsAFailure)
{
    // A file-size limit stands in for a full disk: every copy that meets it must fail.
    write_file(path("src"), std::string(8000, 's'));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{3000, 3000};
        setrlimit(RLIMIT_FSIZE, &limit);
        int wrong = 0;
        const std::string src = path("src");
        for (int single : {0, 1}) {
            const std::string dst = path("dst" + std::to_string(single));
            close(creat(dst.c_str(), 0644));
            single_channel_copy = single;
            doc.left_active = single ? 0 : 1;
            if (doc.copy_file_to_file(dst.c_str(), src.c_str(), 8000, 0, 0, 0, nullptr) != 0)
                wrong |= 1 << single;
        }
        const std::string block(8000, 'm');
        if (copy_memory_to_file(path("dst0").c_str(), block.data(), 0, 8000, 0, 0) != 0)
            wrong |= 4;
        _exit(wrong);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "bit 0 kernel copy, 1 buffered copy, 2 memory copy";
}
