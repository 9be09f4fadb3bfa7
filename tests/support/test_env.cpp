#include "tests/support/test_env.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

void TestEnv::SetUp()
{
    char tmpl[] = "/tmp/kelvara-test-XXXXXX";
    char* made = mkdtemp(tmpl);
    ASSERT_NE(made, nullptr);
    root = std::string(made) + "/";
    program = root + "program/";
    data = root + "data/";
    kel::paths::make_dirs(program);
    kel::paths::make_dirs(data);
    kel::paths::make_dirs(root + "config");
    setenv("KELVARA_HOME", program.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "share").c_str(), 1);
    kel::profile::write_string("Data directory", "Last used directory", data,
                               kel::profile::app_profile());
    char cwd[PATH_MAX];
    old_cwd = getcwd(cwd, sizeof cwd) ? cwd : "/";
    ASSERT_EQ(chdir(root.c_str()), 0);
    kel::set_ui(&ui);
    kel::clock::fix(1000);
    kel::run_dir::close(); // each test's run folder lives in its own data directory
}

void TestEnv::TearDown()
{
    shitcan_pSaveBuffer();
    single_channel_copy = 0;
    kel::clock::unfix();
    kel::set_ui(nullptr);
    kel::run_dir::close();
    if (chdir(old_cwd.c_str()) != 0) {
    }
    std::string cmd = "rm -rf '" + root + "'";
    if (std::system(cmd.c_str()) != 0) {
    }
}

int TestEnv::working_file_count() const
{
    int n = 0;
    if (DIR* d = opendir(data.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name.substr(name.size() - 4) == ".tmp")
                ++n;
        }
        closedir(d);
    }
    return n;
}

std::string TestEnv::read_file(const std::string& file) const
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void TestEnv::write_file(const std::string& file, const std::string& bytes) const
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
