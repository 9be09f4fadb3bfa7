#include "platform/paths.h"
#include "platform/profile.h"
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

TEST_F(PathsTest, WhatTheProgramWritesGoesToTheUsersFoldersNeverItsOwn)
{
    // Working files: the user's data directory, even when the program's folder is writable.
    EXPECT_EQ(paths::default_data_dir(), root + "share/Kelvara/");
    // With $KELVARA_HOME naming a writable folder, its files are written in place.
    const std::string ini = program + "KVSECHO.INI";
    EXPECT_EQ(paths::writable_path(ini), ini);
    // An installed program: its INI files get the user's copy on the first write, and are
    // read from that copy from then on; the installed file stays as it was.
    unsetenv("KELVARA_HOME");
    const std::string installed = paths::program_dir() + "KVSECHO.INI";
    const std::string copy = root + "config/Kelvara/KVSECHO.INI";
    EXPECT_EQ(paths::writable_path(installed), copy);
    EXPECT_EQ(paths::readable_path(installed), installed);
    const std::string before = read_file(installed);
    ASSERT_TRUE(kel::profile::write_string("Echo", "Delay", "250", installed));
    EXPECT_EQ(paths::readable_path(installed), copy);
    EXPECT_EQ(kel::profile::read_string("Echo", "Delay", "", installed), "250");
    EXPECT_EQ(read_file(installed), before) << "nothing written beside the program";
    EXPECT_EQ(paths::writable_path(root + "elsewhere.ini"), root + "elsewhere.ini");
    setenv("KELVARA_HOME", program.c_str(), 1);
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
