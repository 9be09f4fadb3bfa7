#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/safe_write.h"
#include "tests/support/test_env.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace profile = kel::profile;

class ProfileTest : public TestEnv
{
  protected:
    std::string ini() const { return path("t.ini"); }
};

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(profile::read_string("A", "k", "dflt", ini()), "dflt");
    EXPECT_EQ(profile::read_int("A", "k", 42, ini()), 42);
    write_file(ini(), "[A]\r\nother=1\r\n");
    EXPECT_EQ(profile::read_string("A", "k", "dflt", ini()), "dflt");
    EXPECT_EQ(profile::read_string("B", "other", "d", ini()), "d");
    // The platform trims a blank default to nothing, which the preset lists rely on.
    EXPECT_EQ(profile::read_string("A", "k", " ", ini()), "");
    EXPECT_FALSE(profile::lookup("A", "k", ini()).has_value());
}

TEST_F(ProfileTest, NamesIgnoreCaseAndValuesAreTrimmedAndUnquoted)
{
    write_file(ini(), "; comment\n[Filter]\n  Filter Values1 =  12 \nq=\"quoted text\"\nn=7abc\n"
                      "bad=abc\n");
    EXPECT_EQ(profile::read_string("filter", "FILTER VALUES1", "", ini()), "12");
    EXPECT_EQ(profile::read_string("Filter", "q", "", ini()), "quoted text");
    EXPECT_EQ(profile::read_int("Filter", "n", 0, ini()), 7);
    EXPECT_EQ(profile::read_int("Filter", "bad", -5, ini()), -5);
}

TEST_F(ProfileTest, WriteCreatesFileAndSectionAndReplacesInPlace)
{
    const std::string nested = path("deep/er/x.ini");
    ASSERT_TRUE(profile::write_string("S", "a", "1", nested));
    ASSERT_TRUE(profile::write_string("S", "b", "2", nested));
    ASSERT_TRUE(profile::write_string("T", "a", "3", nested));
    ASSERT_TRUE(profile::write_string("s", "A", "9", nested));
    EXPECT_EQ(profile::read_string("S", "a", "", nested), "9");
    EXPECT_EQ(profile::read_string("T", "a", "", nested), "3");
    EXPECT_EQ(profile::key_names("S", nested), (std::vector<std::string>{"A", "b"}));
    // Adding to an earlier section keeps later sections intact.
    ASSERT_TRUE(profile::write_string("S", "c", "4", nested));
    EXPECT_EQ(profile::section_names(nested), (std::vector<std::string>{"S", "T"}));
    EXPECT_EQ(profile::read_string("T", "a", "", nested), "3");
}

TEST_F(ProfileTest, DeleteKeyAndSectionKeepTheRest)
{
    write_file(ini(), "[A]\nx=1\ny=2\n\n[B]\nz=3\n\n[C]\nw=4\n");
    ASSERT_TRUE(profile::delete_key("A", "x", ini()));
    EXPECT_FALSE(profile::lookup("A", "x", ini()));
    EXPECT_EQ(*profile::lookup("A", "y", ini()), "2");
    ASSERT_TRUE(profile::delete_section("B", ini()));
    EXPECT_EQ(profile::section_names(ini()), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(*profile::lookup("C", "w", ini()), "4");
    // Deleting what is not there succeeds and changes nothing.
    EXPECT_TRUE(profile::delete_section("nope", ini()));
    EXPECT_TRUE(profile::delete_key("A", "nope", ini()));
}

TEST_F(ProfileTest, YesNoRule)
{
    profile::write_string("P", "empty", "", ini());
    profile::write_string("P", "yes", "yes", ini());
    profile::write_string("P", "other", "YES", ini());
    EXPECT_TRUE(profile::read_yes_no("P", "missing", true, ini()));
    EXPECT_FALSE(profile::read_yes_no("P", "missing", false, ini()));
    EXPECT_TRUE(profile::read_yes_no("P", "empty", true, ini()));
    EXPECT_TRUE(profile::read_yes_no("P", "yes", false, ini()));
    EXPECT_FALSE(profile::read_yes_no("P", "other", true, ini()));
    profile::write_yes_no("P", "w", true, ini());
    EXPECT_EQ(profile::read_string("P", "w", "", ini()), "yes");
}

TEST_F(ProfileTest, UnwritableLocationFailsWithoutTouchingTheFile)
{
    // A plain file where the folder should be stops even root.
    write_file(path("blocker"), "x");
    EXPECT_FALSE(profile::write_string("A", "x", "2", path("blocker/p.ini")));
    write_file(ini(), "[A]\nx=1\n");
    chmod(ini().c_str(), 0444);
    // The old contents are intact whatever happened to the write.
    EXPECT_EQ(profile::read_string("A", "x", "", ini()).empty(), false);
}

TEST_F(ProfileTest, ApplicationProfileLivesUnderTheConfigHome)
{
    EXPECT_EQ(profile::app_profile(), root + "config/Kelvara/Orlo.ini");
}

TEST_F(ProfileTest, AFailedWriteLeavesTheEarlierProfileWholeAndItsLinkAndMode)
{
    const std::string real = path("real.ini"), link = path("link.ini");
    const std::string earlier = "[Colors]\r\nData color=Green\r\n\r\n[Other]\r\nk=v\r\n";
    write_file(real, earlier);
    chmod(real.c_str(), 0600);
    ASSERT_EQ(symlink("real.ini", link.c_str()), 0);
    const std::string wanted = "[Colors]\r\nData color=Blue\r\n\r\n[Other]\r\nk=v\r\n";
    void (*old_xfsz)(int) = std::signal(SIGXFSZ, SIG_IGN);
    auto check = [&](bool ok, const std::string& how) {
        SCOPED_TRACE(how);
        struct stat st
        {
        };
        ASSERT_EQ(lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        ASSERT_EQ(stat(real.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(read_file(real), ok ? wanted : earlier);
        if (!ok)
            EXPECT_NE(profile::last_error(), 0);
        int entries = 0;
        if (DIR* d = opendir(root.c_str())) {
            while (dirent* e = readdir(d))
                entries += std::string(e->d_name).find(".ini") != std::string::npos;
            closedir(d);
        }
        EXPECT_EQ(entries, 2) << "no temporary file left";
        write_file(real, earlier);
    };
    for (size_t k = 0; k <= wanted.size(); ++k) {
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit r = saved;
        r.rlim_cur = k;
        setrlimit(RLIMIT_FSIZE, &r);
        const bool ok = profile::write_string("Colors", "Data color", "Blue", link);
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(ok, k >= wanted.size()) << k;
        check(ok, "limit " + std::to_string(k));
    }
    std::signal(SIGXFSZ, old_xfsz);
    for (const char* step : {"fsync", "rename"}) {
        static const char* failing;
        failing = step;
        kel::set_safe_write_fault(
            [](const char* s) { return std::string(s) == failing ? EIO : 0; });
        EXPECT_FALSE(profile::write_string("Colors", "Data color", "Blue", link));
        kel::set_safe_write_fault(nullptr);
        EXPECT_EQ(profile::last_error(), EIO);
        check(false, step);
    }
    // A whole section rewritten in one write keeps its place and the blank line after it.
    ASSERT_TRUE(
        profile::replace_section("Colors", {{"Data color", "Red"}, {"Grid", "Gray"}}, link));
    EXPECT_EQ(read_file(real), "[Colors]\r\nData color=Red\r\nGrid=Gray\r\n\r\n[Other]\r\nk=v\r\n");
    ASSERT_TRUE(profile::replace_section("New", {{"a", "1"}}, link));
    EXPECT_EQ(profile::section_names(link), (std::vector<std::string>{"Colors", "Other", "New"}));
}
