// Every writer of a user's file against every way a save can fail: the disk filling up at
// each write (RLIMIT_FSIZE swept across the output), a failed flush or rename, Cancel at
// each progress poll, and a kill in the middle. The earlier file must come through byte for
// byte, or be replaced by the whole new one; nothing half-made may be left beside it or in
// the run's folder. The target is a symbolic link to a file only its owner may read, which
// must stay so.
#include "common/host_services.h"
#include "editor/files/file_commands.h"
#include "editor/files/ocw_encoder.h"
#include "editor/modules/operations.h"
#include "platform/safe_write.h"
#include "tests/support/edit_fixture.h"

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

const std::string kOld = "the earlier file, which has to come through untouched";

// A file-size limit for one call: writes past it fail with EFBIG, also in the programs
// the call starts.
class SizeLimit
{
  public:
    explicit SizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit r = saved_;
        r.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~SizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

  private:
    rlimit saved_{};
};

const char* g_failing_step = nullptr;

int fail_step(const char* step)
{
    return g_failing_step && std::string(step) == g_failing_step ? ENOSPC : 0;
}

// The encoder's low-pass left out: it writes a working file as large as the document,
// which would take every limit below that and leave the encoder's own writes untried.
int no_low_pass(CChildFrame&, float, const char*, const char*)
{
    return 1;
}

// Keeps the DSP module linked in, as the encoder tests do.
int (CChildFrame::*safety_test_filter)(float, const char*,
                                       const char*) = &CChildFrame::do_filter_waveform;

using Save = std::function<int(const std::string& target)>;

class SaveSafetyTest : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        old_xfsz_ = std::signal(SIGXFSZ, SIG_IGN);
        out = root + "out/";
        ASSERT_EQ(mkdir(out.c_str(), 0755), 0);
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        ASSERT_NE(t, nullptr);
        for (const char* name : {"nvacnvrt", "waveconv", "bladeenc"})
            ASSERT_EQ(symlink((std::string(t) + "/" + name).c_str(), (program + name).c_str()), 0);
        // 16-bit stereo at 22050 Hz, a little over six blocks of the wave save.
        doc = open_doc(pcm16(noise16(2 * 50000, 5)), 2, 16, 22050);
        ASSERT_NE(doc, nullptr);
    }
    void TearDown() override
    {
        kel::set_safe_write_fault(nullptr);
        std::signal(SIGXFSZ, old_xfsz_);
        EditTest::TearDown();
    }

    static std::set<std::string> listing(const std::string& dir)
    {
        std::set<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.insert(e->d_name);
            closedir(d);
        }
        return names;
    }

    // A RIFF file whose sizes add up: what a finished save of ours looks like.
    static bool whole_riff(const std::string& b)
    {
        if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0)
            return false;
        const uint32_t size = static_cast<uint8_t>(b[4]) | (static_cast<uint8_t>(b[5]) << 8) |
                              (static_cast<uint8_t>(b[6]) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(b[7])) << 24);
        return size + 8u == b.size();
    }

    // Runs `save` over a link to an earlier file under every failure, and checks what is
    // left. `exact`: a successful save gives the same bytes every time (else a whole RIFF).
    // `tool`: the outside program that writes the result, whose own writes fail too.
    void sweep(const std::string& tag, const Save& save, const std::string& ext, bool exact,
               const std::string& tool = "")
    {
        SCOPED_TRACE(tag);
        const std::string real = out + tag + "-real" + ext, link = out + tag + "-link" + ext;
        auto reset = [&] {
            write_file(real, kOld);
            chmod(real.c_str(), 0600);
        };
        reset();
        ASSERT_EQ(symlink((tag + "-real" + ext).c_str(), link.c_str()), 0);

        // A save that works, for the bytes, the size and the number of progress polls.
        const long first_poll = ui.polls;
        ASSERT_EQ(save(out + "ref" + ext), 1);
        const long polls = ui.polls - first_poll;
        const std::string reference = read_file(out + "ref" + ext);
        ASSERT_TRUE(exact || whole_riff(reference));
        std::remove((out + "ref" + ext).c_str());
        const std::set<std::string> folder_before = listing(out);
        const std::set<std::string> run_before = listing(run_directory());

        int failures = 0, successes = 0;
        auto check = [&](int result, const std::string& how) {
            SCOPED_TRACE(how);
            struct stat st
            {
            };
            ASSERT_EQ(lstat(link.c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
            ASSERT_EQ(stat(real.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u);
            const std::string now = read_file(real);
            if (result == 1) {
                ++successes;
                if (exact)
                    EXPECT_TRUE(now == reference) << now.size() << " vs " << reference.size();
                else
                    EXPECT_TRUE(whole_riff(now) && now != kOld);
                reset();
            } else {
                ++failures;
                EXPECT_EQ(now, kOld);
            }
            ui.boxes.clear();
            EXPECT_EQ(listing(out), folder_before) << "nothing left beside the target";
            EXPECT_EQ(listing(run_directory()), run_before) << "no intermediate left";
        };

        // The disk fills at every point of every file the save writes: the intermediates
        // (as large as the document) and the result.
        const size_t upper = std::max<size_t>(reference.size(), 2 * 50000 * 2 + 44) + 64;
        std::set<size_t> limits = {0, 1, 43, 44, 45, upper};
        for (size_t k = 32768; k < upper; k += 32768)
            limits.insert({k - 1, k, k + 1});
        for (int i = 1; i < 16; ++i)
            limits.insert(upper * i / 16);
        for (const size_t k : limits) {
            int r;
            {
                SizeLimit limit(k);
                r = save(link);
            }
            check(r, "file size limit " + std::to_string(k));
        }
        EXPECT_GT(failures, 0);
        // The outside program's disk fills at every point of the result it writes (the
        // intermediate it reads is larger, so the limits above never get that far).
        if (!tool.empty()) {
            const std::string real_tool =
                std::string(std::getenv("KELVARA_TEST_TOOLS")) + "/" + tool;
            std::remove((program + tool).c_str());
            write_file(program + tool, "#!/bin/sh\nulimit -f \"$SAFETY_BLOCKS\"\nexec '" +
                                           real_tool + "' \"$@\"\n");
            chmod((program + tool).c_str(), 0755);
            const size_t blocks = reference.size() / 512 + 1;
            for (size_t b = 0; b <= blocks; b += std::max<size_t>(1, blocks / 12)) {
                setenv("SAFETY_BLOCKS", std::to_string(b).c_str(), 1);
                check(save(link), tool + " limited to " + std::to_string(b) + " blocks");
            }
            unsetenv("SAFETY_BLOCKS");
            std::remove((program + tool).c_str());
            ASSERT_EQ(symlink(real_tool.c_str(), (program + tool).c_str()), 0);
        }
        // The flush or the rename of the result fails.
        kel::set_safe_write_fault(fail_step);
        for (const char* step : {"fsync", "rename"}) {
            g_failing_step = step;
            const int r = save(link);
            EXPECT_EQ(r, 0) << step;
            check(r, step);
        }
        kel::set_safe_write_fault(nullptr);
        // Cancel at each progress poll.
        for (long n = 1; n <= polls; ++n) {
            ui.cancel_after_polls(static_cast<int>(n));
            const int r = save(link);
            ui.cancel_after_polls(0);
            check(r, "cancel at poll " + std::to_string(n));
        }
        EXPECT_GT(successes, 0);
    }

    void choose_ocw_rate()
    {
        ui.on_dialog("OCW_FILE_COMPRESSION", [](kel::DialogModel& d) {
            auto& o = dynamic_cast<OcwCompressionDialog&>(d);
            o.select(2002);
            o.ok();
        });
    }

    std::string out;
    CChildFrame* doc = nullptr;
    void (*old_xfsz_)(int) = SIG_DFL;
};

} // namespace

TEST_F(SaveSafetyTest, WaveSavesWholeConvertedAndHighlighted)
{
    {
        sweep(
            "whole",
            [&](const std::string& t) {
                return save_wave_file(*doc, t, false, save_format_of(*doc));
            },
            ".wav", true);
    }
    {
        sweep(
            "converted",
            [&](const std::string& t) {
                return save_wave_file(*doc, t, false, SaveFormat{1, 8, 11025});
            },
            ".wav", true);
    }
    // A full disk names itself on the line after the design's text.
    {
        SizeLimit limit(1000);
        EXPECT_EQ(save_wave_file(*doc, out + "full.wav", false, save_format_of(*doc)), 0);
    }
    EXPECT_EQ(ui.boxes.back().text,
              "Cannot write output WAVE file.\nThe file is too large for this disk.");
    kel::set_safe_write_fault(
        [](const char* step) { return std::string(step) == "fsync" ? ENOSPC : 0; });
    EXPECT_EQ(save_wave_file(*doc, out + "full.wav", false, save_format_of(*doc)), 0);
    kel::set_safe_write_fault(nullptr);
    EXPECT_EQ(ui.boxes.back().text, "Failed to close output file\nThe disk is full.");
    select(doc, 20000, 80000);
    {
        sweep(
            "highlighted",
            [&](const std::string& t) {
                return save_wave_file(*doc, t, true, save_format_of(*doc));
            },
            ".wav", true);
    }
}

TEST_F(SaveSafetyTest, AdpcmAndOcwSaves)
{
    {
        sweep(
            "adpcm",
            [&](const std::string& t) {
                return save_to_named_file(*doc, t, SaveScope::Whole, save_format_of(*doc), true);
            },
            ".wav", true);
    }
    // A rate the ADPCM coder refuses fails the save and leaves the earlier file.
    CChildFrame* odd = open_doc(pcm16(noise16(2 * 4000, 6)), 2, 16, 48000);
    ASSERT_NE(odd, nullptr);
    write_file(out + "odd.wav", kOld);
    const std::set<std::string> files = listing(out);
    EXPECT_EQ(
        save_to_named_file(*odd, out + "odd.wav", SaveScope::Whole, save_format_of(*odd), true), 0);
    EXPECT_EQ(read_file(out + "odd.wav"), kOld);
    EXPECT_EQ(listing(out), files);
    std::remove((out + "odd.wav").c_str());
    {
        const ModuleCalls real_modules = module_calls();
        ModuleCalls without_filter = real_modules;
        without_filter.do_filter_waveform = no_low_pass;
        set_module_calls(without_filter);
        sweep(
            "ocw",
            [&](const std::string& t) {
                choose_ocw_rate();
                return compress_to_ocw(*doc, t);
            },
            ".ocw", false);
        set_module_calls(real_modules);
    }
}

TEST_F(SaveSafetyTest, SavesThroughTheOutsidePrograms)
{
    if (std::system("command -v sox >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "sox is not installed";
    {
        sweep(
            "aiff",
            [&](const std::string& t) {
                return save_to_named_file(*doc, t, SaveScope::Whole, save_format_of(*doc), false);
            },
            ".aif", true, "nvacnvrt");
    }
    {
        sweep(
            "mp3",
            [&](const std::string& t) {
                return save_to_named_file(*doc, t, SaveScope::Whole, save_format_of(*doc), false);
            },
            ".mp3", true, "bladeenc");
    }
}

TEST_F(SaveSafetyTest, AKilledSaveLeavesTheEarlierFileOrTheWholeNewOne)
{
    // Four megabytes, over an earlier file of one.
    CChildFrame* big = open_doc(pcm16(noise16(2 * 1000000, 9)), 2, 16, 44100);
    ASSERT_NE(big, nullptr);
    const std::string target = out + "big.wav";
    const std::string earlier = pcm16(noise16(500000, 3));
    ASSERT_EQ(save_wave_file(*big, out + "ref.wav", false, save_format_of(*big)), 1);
    const std::string reference = read_file(out + "ref.wav");
    std::remove((out + "ref.wav").c_str());

    timespec t0{}, t1{};
    clock_gettime(CLOCK_MONOTONIC, &t0);
    ASSERT_EQ(save_wave_file(*big, out + "timing.wav", false, save_format_of(*big)), 1);
    clock_gettime(CLOCK_MONOTONIC, &t1);
    std::remove((out + "timing.wav").c_str());
    const long save_us = (t1.tv_sec - t0.tv_sec) * 1000000L + (t1.tv_nsec - t0.tv_nsec) / 1000;

    std::mt19937 random(42);
    std::uniform_int_distribution<long> when(0, save_us * 3 / 2 + 1000);
    int replaced = 0, kept = 0;
    for (int rep = 0; rep < 50; ++rep) {
        write_file(target, earlier);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int ok = save_wave_file(*big, target, false, save_format_of(*big));
            _exit(ok ? 0 : 1);
        }
        usleep(static_cast<useconds_t>(when(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const std::string now = read_file(target);
        ASSERT_TRUE(now == earlier || now == reference) << "rep " << rep << ": " << now.size();
        (now == earlier ? kept : replaced)++;
    }
    EXPECT_GT(kept, 0);
    RecordProperty("kept", kept);
    RecordProperty("replaced", replaced);
    // The next save of that target clears what the killed ones left.
    ASSERT_EQ(save_wave_file(*big, target, false, save_format_of(*big)), 1);
    EXPECT_EQ(listing(out), std::set<std::string>{"big.wav"});
}
