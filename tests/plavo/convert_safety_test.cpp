// The player's Convert over an earlier wave file: a full disk at every write, a failed flush
// or rename and a Cancel at every poll leave that file byte for byte, a success replaces it
// whole; never a partial file. The target is a link to a file only its owner reads.
#include "platform/run_dir.h"
#include "platform/safe_write.h"
#include "plavo/playback.h"
#include "tests/plavo/plavo_env.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace plavo;

namespace {

const char* g_failing_step = nullptr;

int fail_step(const char* step)
{
    return g_failing_step && std::string(step) == g_failing_step ? ENOSPC : 0;
}

std::set<std::string> listing(const std::string& dir)
{
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

class ConvertSafety : public PlavoEnv
{
  protected:
    void SetUp() override
    {
        PlavoEnv::SetUp();
        old_xfsz_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    void TearDown() override
    {
        kel::set_safe_write_fault(nullptr);
        std::signal(SIGXFSZ, old_xfsz_);
        PlavoEnv::TearDown();
    }
    void (*old_xfsz_)(int) = SIG_DFL;
};

} // namespace

TEST_F(ConvertSafety, AnEarlierFileSurvivesEveryFailureAndCancel)
{
    const std::string source = path("song.ocw");
    write_ocw(source, test_signal(2, 120000, 44100), 2, 44100, 20000);
    ASSERT_EQ(mkdir(path("out").c_str(), 0755), 0);
    const std::string real = path("out/real.wav"), link = path("out/link.wav");
    const std::string earlier = "an earlier conversion";
    auto reset = [&] {
        write_file(real, earlier);
        chmod(real.c_str(), 0600);
    };
    reset();
    ASSERT_EQ(symlink("real.wav", link.c_str()), 0);

    int polls = 0;
    Playback::ConvertHooks counting;
    counting.cancel = [&] { return ++polls < 0; };
    Playback reference_run(nullptr);
    ASSERT_EQ(reference_run.convert(source, path("out/ref.wav"), counting), 1);
    const std::string reference = read_file(path("out/ref.wav"));
    std::remove(path("out/ref.wav").c_str());
    ASSERT_GT(polls, 4);
    const std::set<std::string> before = listing(path("out"));

    int failures = 0;
    auto check = [&](int result, const std::string& how) {
        SCOPED_TRACE(how);
        struct stat st
        {
        };
        ASSERT_EQ(lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        ASSERT_EQ(stat(real.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        const std::string now = read_file(real);
        if (result == 1) {
            EXPECT_TRUE(now == reference) << now.size() << " vs " << reference.size();
            reset();
        } else {
            ++failures;
            EXPECT_EQ(now, earlier);
        }
        EXPECT_EQ(listing(path("out")), before);
    };

    const size_t size = reference.size();
    std::set<size_t> limits = {0, 12, 44, 56, size - 1, size, size + 1};
    for (int i = 1; i < 20; ++i)
        limits.insert(size * i / 20);
    for (const size_t k : limits) {
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit r = saved;
        r.rlim_cur = k;
        setrlimit(RLIMIT_FSIZE, &r);
        Playback p(nullptr);
        const int result = p.convert(source, link, {});
        setrlimit(RLIMIT_FSIZE, &saved);
        check(result, "file size limit " + std::to_string(k));
    }
    kel::set_safe_write_fault(fail_step);
    for (const char* step : {"fsync", "rename"}) {
        g_failing_step = step;
        Playback p(nullptr);
        const int result = p.convert(source, link, {});
        EXPECT_EQ(result, 0);
        check(result, step);
    }
    kel::set_safe_write_fault(nullptr);
    // A write that fails says why, on the line after the player's own text.
    EXPECT_EQ(ui.boxes.back().text, "Failed to convert file.\nThe disk is full.");
    for (int n = 1; n <= polls; ++n) {
        int seen = 0;
        Playback::ConvertHooks hooks;
        hooks.cancel = [&] { return ++seen >= n; };
        Playback p(nullptr);
        check(p.convert(source, link, hooks), "cancel at poll " + std::to_string(n));
    }
    EXPECT_GT(failures, polls);
    // Playing writes nothing in the current folder; its file goes with the run.
    // (The virtual device's sink is the test's, not the player's.)
    std::set<std::string> here = listing(root);
    here.insert("sink.raw");
    {
        Playback p(nullptr);
        ASSERT_EQ(p.open_and_play(source), 1);
        std::set<std::string> now = listing(root);
        now.insert("sink.raw");
        EXPECT_EQ(now, here);
        p.release();
    }
    EXPECT_EQ(listing(kel::run_dir::current()), std::set<std::string>{"lock"});
}
