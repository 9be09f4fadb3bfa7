#include "platform/run_dir.h"
#include "platform/safe_write.h"
#include "tests/support/test_env.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class SafeWriteTest : public TestEnv
{
  protected:
    void TearDown() override
    {
        kel::set_safe_write_fault(nullptr);
        TestEnv::TearDown();
    }
    static void put(const kel::SafeWrite& w, const std::string& bytes)
    {
        FILE* f = std::fopen(w.temp_path().c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    int entries() const
    {
        int n = 0;
        if (DIR* d = opendir(root.c_str())) {
            while (dirent* e = readdir(d))
                n += e->d_name[0] != '.';
            closedir(d);
        }
        return n;
    }
};

TEST_F(SafeWriteTest, ALinkIsFollowedAndTheModeKeptOnlyAfterCommit)
{
    const std::string real = path("real.wav"), link = path("link.wav");
    write_file(real, "old");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink("real.wav", link.c_str()), 0);
    {
        kel::SafeWrite w(link);
        ASSERT_TRUE(w.ok());
        EXPECT_EQ(w.final_path(), real);
        put(w, "new bytes");
        EXPECT_EQ(read_file(real), "old"); // nothing replaced before commit
        ASSERT_TRUE(w.commit());
    }
    struct stat st
    {
    };
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(read_file(real), "new bytes");
}

TEST_F(SafeWriteTest, EveryFailingStepAndAnAbandonedWriteLeaveTheTargetAndNoTemporary)
{
    const std::string target = path("t.wav");
    write_file(target, "earlier");
    const int before = entries();
    for (const char* step : {"fsync", "rename"}) {
        static const char* failing;
        failing = step;
        kel::set_safe_write_fault(
            [](const char* s) { return std::string(s) == failing ? ENOSPC : 0; });
        kel::SafeWrite w(target);
        put(w, "replacement");
        EXPECT_FALSE(w.commit()) << step;
        EXPECT_EQ(w.error_text(), "The disk is full.");
        EXPECT_EQ(read_file(target), "earlier") << step;
        EXPECT_EQ(entries(), before) << step;
    }
    kel::set_safe_write_fault(nullptr);
    {
        kel::SafeWrite w(target);
        put(w, "cancelled");
    }
    EXPECT_EQ(read_file(target), "earlier");
    EXPECT_EQ(entries(), before);
}

TEST_F(SafeWriteTest, StalePartsOfDeadRunsGoAtTheNextSaveAndLiveOnesStay)
{
    const std::string target = path("x.wav");
    write_file(path("x.wav.part"), "left by an old version");
    write_file(path("x.wav.kv999999.part"), "dead run");
    const std::string live = path("x.wav.kv" + std::to_string(getppid()) + ".part");
    write_file(live, "another run saving now");
    write_file(path("y.wav.kv999999.part"), "another target");
    kel::SafeWrite w(target);
    put(w, "v");
    ASSERT_TRUE(w.commit());
    EXPECT_NE(access(path("x.wav.part").c_str(), F_OK), 0);
    EXPECT_NE(access(path("x.wav.kv999999.part").c_str(), F_OK), 0);
    EXPECT_EQ(access(live.c_str(), F_OK), 0);
    EXPECT_EQ(access(path("y.wav.kv999999.part").c_str(), F_OK), 0);
}

TEST_F(SafeWriteTest, ARunThatDiedLeavesAnOrphanALiveOneDoesNot)
{
    const std::string base = path("runs");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t live = fork();
    if (live == 0) {
        kel::run_dir::open(base, "orlo");
        (void)!write(ready[1], "x", 1);
        pause();
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    const pid_t dead = fork();
    if (dead == 0) {
        const std::string f = kel::run_dir::open(base, "orlo");
        FILE* w = std::fopen((f + "1.tmp").c_str(), "wb");
        std::fclose(w);
        _exit(0); // no close(): the folder stays, as after a crash
    }
    int status = 0;
    waitpid(dead, &status, 0);
    const std::string own = kel::run_dir::open(base, "orlo");
    ASSERT_FALSE(own.empty());
    auto found = kel::run_dir::orphans(base, "orlo");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("orlo-" + std::to_string(dead) + "-"), std::string::npos);
    EXPECT_EQ(access((found[0] + "1.tmp").c_str(), F_OK), 0);
    ASSERT_TRUE(kel::run_dir::adopt(found[0]));
    EXPECT_TRUE(kel::run_dir::orphans(base, "orlo").empty()); // held while we recover it
    EXPECT_TRUE(kel::run_dir::remove(found[0]));
    kill(live, SIGKILL);
    waitpid(live, &status, 0);
    EXPECT_EQ(kel::run_dir::orphans(base, "orlo").size(), 1u);
    kel::run_dir::close();
    EXPECT_NE(access(own.c_str(), F_OK), 0);
}
