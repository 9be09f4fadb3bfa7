#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/document/edit_menu.h"
#include "editor/document/overview_survey.h"
#include "editor/document/recovery.h"
#include "editor/document/working_files.h"
#include "editor/files/file_commands.h"
#include "editor/files/new_file.h"
#include "editor/files/wave_header.h"
#include "platform/clock.h"
#include "platform/mapped_file.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

class DocumentTest : public TestEnv
{
  protected:
    std::string make_wave(const std::string& name, uint16_t channels, uint16_t bits,
                          const std::string& samples, uint32_t rate = 44100)
    {
        WaveImage w;
        w.channels = channels;
        w.bits = bits;
        w.rate = rate;
        w.samples = samples;
        write_file(path(name), w.bytes());
        return path(name);
    }
    std::unique_ptr<CChildFrame> open(const std::string& file)
    {
        return CChildFrame::create_from_file(file.c_str());
    }
};

TEST_F(DocumentTest, OpeningCopiesTheSamplesIntoAHeaderlessWorkingFile)
{
    auto words = noise16(20000, 3);
    auto doc = open(make_wave("Song.wav", 2, 16, pcm16(words)));
    ASSERT_TRUE(doc);
    EXPECT_STREQ(doc->file_title, "Song.wav");
    EXPECT_EQ(doc->current.total_samples, 20000);
    EXPECT_EQ(doc->current.select_start, 0);
    EXPECT_EQ(doc->current.select_end, 20000);
    EXPECT_EQ(doc->current.has_selection, 0);
    EXPECT_EQ(doc->wave_format.block_align, 4);
    EXPECT_EQ(doc->wave_format.avg_bytes_per_sec, 176400u);
    EXPECT_EQ(read_file(doc->working_file()), pcm16(words));
    EXPECT_EQ(std::string(doc->working_file()).rfind(data, 0), 0u);
    EXPECT_EQ(g_undo_menu.text, "&Undo\tCtrl+Z");
    EXPECT_FALSE(g_undo_menu.enabled);
    EXPECT_EQ(CChildFrame::GetTheFuckingHandle(), doc.get());
    // The progress window carried the reading text.
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front().text, "Reading file Song.wav...");
}

TEST_F(DocumentTest, WorkingNamesFollowTheCounterAndNeverClobberAFile)
{
    char a[100], b[100];
    kel::clock::fix(1234);
    make_working_name(a, ".tmp");
    // In this run's own folder inside the data directory.
    const std::string folder = kel::run_dir::current();
    EXPECT_EQ(folder, data + "orlo-" + std::to_string(getpid()) + "-1234/");
    EXPECT_EQ(std::string(a), folder + "00001234.tmp");
    write_file(a, "x");
    make_working_name(b, ".tmp");
    EXPECT_EQ(std::string(b), folder + "00001235.tmp");
    kel::clock::fix(123456789);
    make_working_name(a, ".tmp");
    EXPECT_EQ(std::string(a), folder + "23456790.tmp");
    EXPECT_TRUE(ui.boxes.empty());

    // A data directory too long for the 100-character slots: the run's folder goes to the
    // runtime folder instead, and the user is told why.
    kel::run_dir::close();
    const std::string long_dir = root + std::string(120 - root.size(), 'd') + "/";
    kel::profile::write_string("Data directory", "Last used directory", long_dir,
                               kel::profile::app_profile());
    make_working_name(a, ".tmp");
    const std::string runtime = kel::run_dir::current();
    EXPECT_EQ(runtime.rfind(root + "runtime/orlo-", 0), 0u) << runtime;
    EXPECT_EQ(std::string(a), runtime + "23456790.tmp");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "The data directory " + long_dir +
                                    " has too long a name for working files.\n"
                                    "This run keeps its working files in " +
                                    runtime + ".");
}

TEST_F(DocumentTest, LevelsAndOverviewFollowTheScreenWidth)
{
    ui.screen_w = 1024; // three quarters: 768
    EXPECT_EQ(CChildFrame::level_count_for(700, 2, 1024), 1);
    EXPECT_EQ(CChildFrame::level_count_for(768, 2, 1024), 1);
    EXPECT_EQ(CChildFrame::level_count_for(1536, 2, 1024), 2);
    EXPECT_EQ(CChildFrame::level_count_for(384, 1, 1024), 1); // mono counts twice
    EXPECT_EQ(CChildFrame::level_count_for(20000, 2, 1024), 5);

    // 1000 frames of stereo with known extremes in the second group of 256.
    std::vector<int16_t> words(2000, 0);
    words[2 * 300] = 1000;      // left max
    words[2 * 301] = -2000;     // left min
    words[2 * 302 + 1] = 3000;  // right max
    words[2 * 303 + 1] = -4000; // right min
    auto doc = open(make_wave("o.wav", 2, 16, pcm16(words)));
    ASSERT_TRUE(doc);
    const FileSlot& s = doc->current;
    EXPECT_EQ(s.level_count, 2);
    EXPECT_FLOAT_EQ(s.base_factor, 2.0f);
    EXPECT_EQ(s.zoom_level, 1);
    EXPECT_FLOAT_EQ(s.zoom_factor, 1.0f);
    EXPECT_EQ(s.level_samples[2], 2000);
    ASSERT_TRUE(s.mapped[2]);
    ASSERT_TRUE(s.mapped[1]);
    // 4 groups (the last one partial), four words each.
    EXPECT_EQ(s.level_samples[1], 16);
    int ok = 0;
    auto at = [&](long i) { return doc->get_sample(s, SlotRole::Current, 1, i, &ok); };
    EXPECT_EQ(at(4), -2000);
    EXPECT_EQ(at(5), -4000);
    EXPECT_EQ(at(6), 1000);
    EXPECT_EQ(at(7), 3000);
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(doc->get_sample(s, SlotRole::Current, 2, 2 * 300, &ok), 1000);
}

TEST_F(DocumentTest, EightBitOverviewKeepsTheUnsignedStore)
{
    std::string samples(600, '\x80');
    samples[10] = '\x00'; // -128
    samples[20] = '\xff'; // +127
    ui.screen_w = 400;
    auto doc = open(make_wave("m8.wav", 1, 8, samples, 11025));
    ASSERT_TRUE(doc);
    FileSlot& s = doc->current;
    ASSERT_GE(s.level_count, 2);
    int ok = 0;
    EXPECT_EQ(doc->get_sample(s, SlotRole::Current, 1, 0, &ok), -128);
    EXPECT_EQ(doc->get_sample(s, SlotRole::Current, 1, 1, &ok), 127);
    EXPECT_EQ(s.view8[1][0], 0);
    // Writing through the overview is allowed below the top, refused on the top level.
    EXPECT_EQ(doc->put_sample(s, SlotRole::Current, 1, 0, -5), 1);
    EXPECT_EQ(s.view8[1][0], 123);
    EXPECT_EQ(doc->put_sample(s, SlotRole::Current, s.level_count, 0, 5), 0);
    EXPECT_EQ(read_file(doc->working_file())[0], '\x80');
    // Out of range is reported, not a fault.
    ui.boxes.clear();
    doc->get_sample(s, SlotRole::Redo, 1, 1 << 20, &ok);
    EXPECT_EQ(ok, 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Redo Get Access violation");
}

TEST_F(DocumentTest, ShortDataOpensWithOneLevelAndNoMapping)
{
    auto doc = open(make_wave("s.wav", 1, 8, std::string(8, '\x80')));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->current.level_count, 1);
    EXPECT_EQ(doc->current.mapped[1], 0);
    EXPECT_EQ(doc->current.total_samples, 8);
}

TEST_F(DocumentTest, PartialFramesAreDroppedSoOffsetsStayAligned)
{
    WaveImage w;
    w.samples = pcm16(noise16(100, 5)) + "xyz"; // 203 bytes, stereo 16-bit
    write_file(path("odd.wav"), w.bytes());
    auto doc = open(path("odd.wav"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->current.total_samples, 100);
    EXPECT_EQ(read_file(doc->working_file()).size(), 200u);
}

TEST_F(DocumentTest, FailedOpensLeaveNoDocumentAndNoFiles)
{
    write_file(path("bad.wav"), "RIFF");
    EXPECT_FALSE(open(path("bad.wav")));
    EXPECT_FALSE(open(path("none.wav")));
    EXPECT_EQ(working_file_count(), 0);
    EXPECT_EQ(documents::count(), 0);

    // Cancel while the samples are read.
    std::string big = make_wave("big.wav", 2, 16, std::string(200000, '\1'));
    ui.cancel_after_polls(2);
    EXPECT_FALSE(open(big));
    EXPECT_EQ(working_file_count(), 0);
}

TEST_F(DocumentTest, ClosingDeletesEveryFileOfTheDocument)
{
    auto doc = open(make_wave("c.wav", 2, 16, pcm16(noise16(4000, 9))));
    ASSERT_TRUE(doc);
    std::string work = doc->working_file();
    // Stand-ins for the other states' files.
    kel::clock::advance(1);
    make_working_name(doc->undo.file_name, ".tmp");
    write_file(doc->undo.file_name, "u");
    kel::clock::advance(1);
    make_working_name(doc->selection_backup, ".tmp");
    write_file(doc->selection_backup, "b");
    EXPECT_EQ(working_file_count(), 3);
    doc.reset();
    EXPECT_EQ(working_file_count(), 0);
    EXPECT_EQ(CChildFrame::GetTheFuckingHandle(), nullptr);
}

TEST_F(DocumentTest, CloseQuestionOnlyWhenModified)
{
    auto doc = open(make_wave("q.wav", 1, 16, pcm16(noise16(100, 1))));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->query_close(), 1);
    EXPECT_TRUE(ui.boxes.empty());
    doc->is_modified = 1;
    ui.answer(kel::kIdCancel);
    EXPECT_EQ(doc->query_close(), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Save changes to q.wav?");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::SaveDiscardCancel);
    ui.answer(kel::kIdNo);
    EXPECT_EQ(doc->query_close(), 1);
}

TEST_F(DocumentTest, ZoomedInitialDisplayShowsOneFramePerPixel)
{
    kel::profile::write_yes_no("Preferences", "Zoomed initial display", true,
                               kel::profile::app_profile());
    auto doc = open(make_wave("z.wav", 2, 16, pcm16(noise16(20000, 2))));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->current.level_count, 5);
    EXPECT_FLOAT_EQ(doc->current.zoom_factor, 16.0f);
    EXPECT_EQ(doc->current.zoom_level, 5);
}

TEST_F(DocumentTest, DurationAndViewPositions)
{
    auto doc = open(make_wave("d.wav", 2, 16, pcm16(std::vector<int16_t>(88200, 0))));
    ASSERT_TRUE(doc);
    doc->current.zoom_level = doc->current.level_count;
    EXPECT_FLOAT_EQ(doc->get_total_milliseconds(), 1000.0f);
    // channels x base_factor x x / zoom_factor + first_visible, capped at the total.
    doc->current.base_factor = 128.0f;
    doc->current.zoom_factor = 2.0f;
    doc->first_visible = 10;
    EXPECT_EQ(doc->view_to_sample(3.7f), 483); // whole part of 473.6, plus 10
    EXPECT_EQ(doc->view_to_sample(1e6f), 88200);
    EXPECT_EQ(doc->view_to_byte(0.01f) % 4, 0);
}

TEST_F(DocumentTest, NewEmptyFilesCountUpAndHoldEightSampleBytes)
{
    g_new_file_counter = 1;
    // A file of the user's with the first name, in the current folder.
    write_file(path("SAMPLE1.WAV"), "mine");
    struct Case
    {
        int bits, channels;
        long samples;
    } cases[] = {{8, 1, 8}, {16, 1, 4}, {16, 2, 4}};
    int n = 1;
    for (const Case& c : cases) {
        ui.on_dialog("CREATENEWFILE", [&](kel::DialogModel& m) {
            auto& d = dynamic_cast<CreateNewFileDialog&>(m);
            d.choose_bits(c.bits);
            d.choose_channels(c.channels);
            d.choose_rate(22050);
            d.ok();
        });
        auto doc = create_new_wave_file(true);
        ASSERT_TRUE(doc);
        EXPECT_EQ(std::string(doc->file_title), "SAMPLE" + std::to_string(n) + ".WAV");
        EXPECT_EQ(doc->current.total_samples, c.samples);
        EXPECT_EQ(read_file(doc->working_file()), std::string("\x80\0\x80\0\x80\0\x80\0", 8));
        EXPECT_EQ(doc->wave_format.sample_rate, 22050u);
        // The file itself is gone; the document lives in its working file.
        struct stat st
        {
        };
        EXPECT_EQ(stat(path("SAMPLE" + std::to_string(n) + ".WAV").c_str(), &st) == 0, n == 1);
        EXPECT_EQ(doc->file_path, "");
        // Not a file of the user's yet: Save asks for a name.
        ui.dialogs_run.clear();
        EXPECT_EQ(save_document(*doc), 0);
        EXPECT_EQ(ui.dialogs_run, std::vector<std::string>{"SAVEWAVEFORM"});
        ++n;
    }
    EXPECT_EQ(read_file(path("SAMPLE1.WAV")), "mine");
    // Cancel restores the format the dialog opened with and makes nothing.
    ui.on_dialog("CREATENEWFILE", [](kel::DialogModel& m) {
        auto& d = dynamic_cast<CreateNewFileDialog&>(m);
        d.choose_bits(8);
        d.cancel();
    });
    EXPECT_FALSE(create_new_wave_file(true));
    EXPECT_EQ(play_format.bits, 16);
}

TEST_F(DocumentTest, SoxMadeFilesOpenToSoxsOwnRawDecode)
{
    if (std::system("command -v sox >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sox not installed";
    const std::string plain = path("sox.wav"), raw = path("sox.raw");
    ASSERT_EQ(std::system(("sox -n -r 22050 -c 2 -b 16 " + plain +
                           " synth 1.3 sine 300 sine 500 2>/dev/null")
                              .c_str()),
              0);
    ASSERT_EQ(std::system(("sox " + plain + " -t raw " + raw).c_str()), 0);
    auto doc = open(plain);
    ASSERT_TRUE(doc);
    EXPECT_EQ(read_file(doc->working_file()), read_file(raw));
    // The same file with a LIST chunk put in before fmt, as some tools write it.
    std::string bytes = read_file(plain);
    std::string list = chunk("LIST", "INFOISFT" + le32(6) + std::string("tool1\0", 6));
    bytes.insert(12, list);
    bytes.replace(4, 4, le32(static_cast<uint32_t>(bytes.size() - 8)));
    const std::string tagged = path("tagged.wav");
    write_file(tagged, bytes);
    auto doc2 = open(tagged);
    ASSERT_TRUE(doc2);
    EXPECT_EQ(read_file(doc2->working_file()), read_file(raw));
}

TEST_F(DocumentTest, BuildingTheOverviewPutsTheCursorBack)
{
    ui.cursor = kel::Cursor::Cross;
    auto doc = open(make_wave("cur.wav", 2, 16, pcm16(noise16(20000, 2))));
    ASSERT_TRUE(doc);
    ASSERT_GE(doc->current.level_count, 2);
    EXPECT_EQ(ui.cursor, kel::Cursor::Cross);
}

// The open fills the working file and the overview in one pass; copying the samples and
// then building the overview from the working file must give the same, at every edge of
// the fill's pieces, in every sample format, by the kernel's copy and by our own buffer.
TEST_F(DocumentTest, OnePassOpenGivesTheWorkingFileAndOverviewOfCopyThenWalk)
{
    ui.screen_w = 1024;
    // A source on another file system (memory) takes the copy through our buffer.
    std::string other_fs;
    struct stat here
    {
    }, shm{};
    if (::stat(data.c_str(), &here) == 0 && ::stat("/dev/shm", &shm) == 0 &&
        here.st_dev != shm.st_dev && ::access("/dev/shm", W_OK) == 0)
        other_fs = "/dev/shm/kelvara-onepass-" + std::to_string(::getpid()) + ".wav";
    struct Format
    {
        uint16_t channels, bits;
    };
    uint32_t x = 7;
    for (const Format f : {Format{2, 16}, Format{1, 8}, Format{1, 16}, Format{2, 8}}) {
        const long frame = f.channels * f.bits / 8;
        // One piece; one piece and a frame; many pieces ending in a short group, of the
        // small and of the largest piece size.
        const long sizes[] = {32768, 32768 + frame, 7 * 32768 + 300 * frame,
                              41 * 256 * 1024 + 77 * frame};
        ASSERT_EQ(fill_piece_bytes(sizes[0]), sizes[0]);
        ASSERT_EQ(fill_piece_bytes(sizes[1]), sizes[0]);
        ASSERT_EQ(fill_piece_bytes(sizes[3]), 256 * 1024);
        for (const long size : sizes) {
            std::string samples(static_cast<size_t>(size), '\0');
            for (char& c : samples) {
                x = x * 1664525u + 1013904223u;
                c = static_cast<char>(x >> 24);
            }
            // Extremes in the first and in the last (short) group.
            samples[0] = f.bits == 8 ? '\xff' : '\x00';
            samples[static_cast<size_t>(size) - 1] = f.bits == 8 ? '\x00' : '\x80';
            const std::string file = make_wave("one.wav", f.channels, f.bits, samples);
            std::vector<std::string> sources = {file};
            if (!other_fs.empty()) {
                write_file(other_fs, read_file(file));
                sources.push_back(other_fs);
            }
            for (const std::string& source : sources) {
                SCOPED_TRACE(std::to_string(f.channels) + " ch " + std::to_string(f.bits) +
                             " bit, " + std::to_string(size) + " bytes from " + source);
                auto start = [&](CChildFrame& d) {
                    ASSERT_TRUE(ReadInputWaveformHeader(source.c_str(), 0));
                    d.fill_new_document(source.c_str());
                };
                CChildFrame one;
                start(one);
                ASSERT_TRUE(one.open_working_file(source.c_str()));

                CChildFrame two;
                start(two);
                make_working_name(two.current.file_name, ".tmp");
                ASSERT_EQ(create_working_file(two.current.file_name), 0);
                ASSERT_TRUE(two.copy_file_to_file(
                    two.current.file_name, source.c_str(), static_cast<unsigned long>(size),
                    static_cast<unsigned long>(data_offset), 0, 1, nullptr));
                two.current.total_samples = size / (f.bits / 8);
                ASSERT_TRUE(two.prepare_slot(two.current, SlotRole::Current, "Opening file %s..."));

                EXPECT_EQ(read_file(one.working_file()), samples);
                EXPECT_EQ(read_file(two.working_file()), samples);
                const FileSlot& a = one.current;
                const FileSlot& b = two.current;
                EXPECT_EQ(a.total_samples, b.total_samples);
                ASSERT_EQ(a.level_count, b.level_count);
                ASSERT_GE(a.level_count, 2);
                EXPECT_EQ(a.zoom_level, b.zoom_level);
                EXPECT_EQ(a.zoom_factor, b.zoom_factor);
                EXPECT_EQ(a.base_factor, b.base_factor);
                for (int level = 0; level <= kLevelTable; ++level)
                    EXPECT_EQ(a.level_samples[level], b.level_samples[level]) << level;
                const long groups = (size / frame + 255) / 256;
                EXPECT_EQ(a.level_samples[1], groups * 2 * f.channels);
                ASSERT_TRUE(a.mapped[1] && b.mapped[1] && a.mapped[a.level_count]);
                ASSERT_EQ(a.mapping[1]->size(), b.mapping[1]->size());
                EXPECT_EQ(
                    std::memcmp(a.mapping[1]->data(), b.mapping[1]->data(), a.mapping[1]->size()),
                    0);
                EXPECT_EQ(
                    std::memcmp(a.mapping[a.level_count]->data(), samples.data(), samples.size()),
                    0);
            }
        }
    }
    if (!other_fs.empty())
        ::unlink(other_fs.c_str());
}
