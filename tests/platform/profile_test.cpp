#include "platform/paths.h"
#include "platform/profile.h"
#include "tests/support/test_env.h"

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
