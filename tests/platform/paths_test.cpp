#include "platform/paths.h"
#include "tests/support/test_env.h"

#include <cstdlib>
#include <sys/stat.h>

namespace paths = kel::paths;

class PathsTest : public TestEnv
{
};

TEST_F(PathsTest, ProgramDirectoryFollowsTheEnvironmentElseTheExecutable)
{
    EXPECT_EQ(paths::program_dir(), program);
    unsetenv("KELVARA_HOME");
    std::string dir = paths::program_dir();
    EXPECT_EQ(dir.back(), '/');
    struct stat st
    {
    };
    EXPECT_EQ(stat((dir + "platform_tests").c_str(), &st), 0) << dir;
}

TEST_F(PathsTest, DataDirectoryFallsBackWhenTheProgramDirectoryIsReadOnly)
{
    EXPECT_EQ(paths::default_data_dir(), program);
    if (geteuid() == 0)
        GTEST_SKIP() << "root can write into a read-only directory";
    chmod(program.c_str(), 0500);
    EXPECT_EQ(paths::default_data_dir(), root + "share/Kelvara/");
    chmod(program.c_str(), 0755);
}

TEST_F(PathsTest, BackslashesAndFileParts)
{
    EXPECT_EQ(paths::native("C:\\dir\\a.wav"), "C:/dir/a.wav");
    EXPECT_EQ(paths::with_slash("/x"), "/x/");
    EXPECT_EQ(paths::with_slash("/x/"), "/x/");
    EXPECT_EQ(paths::file_part("/a/b/c.wav"), "c.wav");
    EXPECT_EQ(paths::file_part("a\\b.wav"), "b.wav");
    EXPECT_EQ(paths::file_part("plain"), "plain");
}
