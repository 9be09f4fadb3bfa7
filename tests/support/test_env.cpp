#include "tests/support/test_env.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/modules/linked_modules.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
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
    kel::paths::make_dirs(root + "runtime");
    chmod((root + "runtime").c_str(), 0700);
    setenv("KELVARA_HOME", program.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "share").c_str(), 1);
    // A run folder that cannot go in the data directory goes here, not in the real one.
    setenv("XDG_RUNTIME_DIR", (root + "runtime").c_str(), 1);
    kel::profile::write_string("Data directory", "Last used directory", data,
                               kel::profile::app_profile());
    char cwd[PATH_MAX];
    old_cwd = getcwd(cwd, sizeof cwd) ? cwd : "/";
    ASSERT_EQ(chdir(root.c_str()), 0);
    kel::set_ui(&ui);
    kel::clock::fix(1000);
    kel::run_dir::close(); // each test's run folder lives in its own data directory
    set_module_calls(linked_module_calls());
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
    return static_cast<int>(run_files(".tmp").size());
}

std::vector<std::string> TestEnv::run_files(const std::string& suffix) const
{
    std::vector<std::string> found;
    const std::string folder = kel::run_dir::current();
    if (folder.empty())
        return found;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                found.push_back(folder + name);
        }
        closedir(d);
    }
    std::sort(found.begin(), found.end());
    return found;
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
