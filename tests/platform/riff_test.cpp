#include "platform/riff.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

using namespace kel::riff;

class RiffTest : public TestEnv
{
};

TEST_F(RiffTest, CreateAndAscendFixSizesAndPadOddChunks)
{
    const std::string p = path("c.riff");
    {
        auto f = File::open(p, File::Mode::Create);
        ASSERT_TRUE(f);
        Chunk riff;
        riff.type = fourcc("TEST");
        ASSERT_EQ(f->create_chunk(riff, kCreateRiff), kOk);
        Chunk odd;
        odd.id = fourcc("odd ");
        ASSERT_EQ(f->create_chunk(odd, 0), kOk);
        ASSERT_EQ(f->write("abc", 3), 3);
        ASSERT_EQ(f->ascend(odd), kOk);
        EXPECT_EQ(odd.size, 3u);
        Chunk next;
        next.id = fourcc("next");
        next.size = 999; // a wrong guess is corrected
        ASSERT_EQ(f->create_chunk(next, 0), kOk);
        ASSERT_EQ(f->write("zz", 2), 2);
        ASSERT_EQ(f->ascend(next), kOk);
        ASSERT_EQ(f->ascend(riff), kOk);
        ASSERT_TRUE(f->close());
    }
    const std::string expect = "RIFF" + le32(4 + 12 + 10) + "TEST" + "odd " + le32(3) +
                               std::string("abc\0", 4) + "next" + le32(2) + "zz";
    EXPECT_EQ(read_file(p), expect);
}

TEST_F(RiffTest, DescendFindsChunksInsideTheFormAndSkipsOthers)
{
    const std::string body = "WAVE" + chunk("junk", "x") + chunk("LIST", "INFOabcd") +
                             chunk("fmt ", std::string(16, '\1')) + chunk("data", "1234");
    write_file(path("f.wav"), "RIFF" + le32(static_cast<uint32_t>(body.size())) + body);
    auto f = File::open(path("f.wav"), File::Mode::Read);
    ASSERT_TRUE(f);
    Chunk riff;
    ASSERT_EQ(f->descend(riff, nullptr, 0), kOk);
    EXPECT_EQ(riff.id, kRiff);
    EXPECT_EQ(riff.type, fourcc("WAVE"));
    Chunk list;
    list.type = fourcc("INFO");
    ASSERT_EQ(f->descend(list, &riff, kFindList), kOk);
    EXPECT_EQ(list.size, 8u);
    ASSERT_EQ(f->ascend(list), kOk);
    Chunk data;
    data.id = fourcc("data");
    ASSERT_EQ(f->descend(data, &riff, kFindChunk), kOk);
    EXPECT_EQ(data.size, 4u);
    char buf[4];
    ASSERT_EQ(f->read(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "1234");
    ASSERT_EQ(f->ascend(data), kOk);
    Chunk none;
    none.id = fourcc("none");
    EXPECT_EQ(f->descend(none, &riff, kFindChunk), kChunkNotFound);
}

TEST_F(RiffTest, SizesThatReachPastTheFileOrTheParentAreRefused)
{
    // A chunk claiming more than the file holds.
    std::string body = "WAVE" + std::string("data") + le32(1000) + "abcd";
    write_file(path("t1"), "RIFF" + le32(static_cast<uint32_t>(body.size())) + body);
    {
        auto f = File::open(path("t1"), File::Mode::Read);
        Chunk riff, data;
        ASSERT_EQ(f->descend(riff, nullptr, 0), kOk);
        data.id = fourcc("data");
        EXPECT_EQ(f->descend(data, &riff, kFindChunk), kTruncated);
    }
    // A RIFF size larger than the file.
    write_file(path("t2"), "RIFF" + le32(5000) + "WAVE");
    {
        auto f = File::open(path("t2"), File::Mode::Read);
        Chunk riff;
        EXPECT_EQ(f->descend(riff, nullptr, 0), kTruncated);
    }
    // A sub-chunk that fits the file but not its RIFF parent.
    body = "WAVE" + chunk("fmt ", std::string(16, 'x'));
    std::string tail = chunk("data", std::string(40, 'y'));
    write_file(path("t3"), "RIFF" + le32(static_cast<uint32_t>(body.size() + 8)) + body + tail);
    {
        auto f = File::open(path("t3"), File::Mode::Read);
        Chunk riff, data;
        ASSERT_EQ(f->descend(riff, nullptr, 0), kOk);
        data.id = fourcc("data");
        EXPECT_EQ(f->descend(data, &riff, kFindChunk), kTruncated);
    }
    // A header cut short.
    write_file(path("t4"), "RIF");
    {
        auto f = File::open(path("t4"), File::Mode::Read);
        Chunk riff;
        EXPECT_NE(f->descend(riff, nullptr, 0), kOk);
    }
}

TEST_F(RiffTest, OpenRefusesDirectoriesAndMissingFiles)
{
    EXPECT_FALSE(File::open(root, File::Mode::Read));
    EXPECT_FALSE(File::open(path("missing"), File::Mode::Read));
    EXPECT_FALSE(File::open(path("missing"), File::Mode::ReadWrite));
}

TEST_F(RiffTest, OffsetsBeyondFourGigabytesWork)
{
    const std::string p = path("sparse");
    auto f = File::open(p, File::Mode::Create);
    ASSERT_TRUE(f);
    const int64_t far = (int64_t{5} << 30) + 3;
    ASSERT_EQ(f->seek(far, SEEK_SET), far);
    ASSERT_EQ(f->write("q", 1), 1);
    EXPECT_EQ(f->length(), static_cast<uint64_t>(far + 1));
    ASSERT_EQ(f->seek(far, SEEK_SET), far);
    char c = 0;
    ASSERT_EQ(f->read(&c, 1), 1);
    EXPECT_EQ(c, 'q');
}
