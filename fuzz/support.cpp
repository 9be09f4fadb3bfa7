#include "fuzz/support.h"

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fuzz {
namespace {
std::string g_dir;

class QuietUi : public kel::HeadlessUi
{
  public:
    int message_box(const std::string&, const std::string&, kel::Buttons, kel::Icon) override
    {
        return kel::kIdOk;
    }
    long progress_open(const std::string&) override { return 1; }
    void progress_bar(long, int, const std::string&) override {}
    void progress_time_left(long, const std::string&) override {}
    bool progress_cancel_pressed(long) override { return false; }
    void progress_close(long) override {}
};
QuietUi g_ui;
} // namespace

void init_environment()
{
    if (!g_dir.empty())
        return;
    g_dir = "/tmp/kelvara-fuzz-" + std::to_string(getpid()) + "/";
    kel::paths::make_dirs(g_dir + "data");
    kel::paths::make_dirs(g_dir + "config");
    setenv("KELVARA_HOME", g_dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_dir + "config").c_str(), 1);
    kel::profile::write_string("Data directory", "Last used directory", g_dir + "data/",
                               kel::profile::app_profile());
    kel::set_ui(&g_ui);
}

std::string write_input(const uint8_t* data, size_t size, const char* name)
{
    std::string path = g_dir + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

} // namespace fuzz
