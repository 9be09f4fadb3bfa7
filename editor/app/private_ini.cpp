#include "editor/app/private_ini.h"

#include "platform/paths.h"
#include "platform/profile.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

std::string read_autostart_file()
{
    std::string file = kel::profile::read_string("Autostart", "LoadFile", "",
                                                 kel::paths::program_dir() + "KVSDFALT.INI");
    if (file.size() > 259)
        file.resize(259);
    return kel::paths::native(file);
}

void write_tutorial_handles(const TutorialHandles& h)
{
    // The handles of this run are the user's, not the installation's.
    const std::string f = kel::paths::config_dir() + "KVSTUTOR.INI";
    kel::profile::write_string("Tutorials", "MainWindow", std::to_string(h.main_window), f);
    kel::profile::write_string("Tutorials", "TransportRecord", std::to_string(h.transport_record),
                               f);
    kel::profile::write_string("Tutorials", "TransportPlay", std::to_string(h.transport_play), f);
}

std::string runtime_dir()
{
    for (const char* var : {"KELVARA_RUNTIME_DIR", "XDG_RUNTIME_DIR"})
        if (const char* v = std::getenv(var); v && *v)
            return kel::paths::with_slash(v);
    return "/tmp/";
}

std::string editor_socket_path()
{
    return runtime_dir() + "kelvara-orlo-" + std::to_string(getuid());
}

std::string sibling_socket_path()
{
    return runtime_dir() + "kelvara-ondine-" + std::to_string(getuid());
}

bool sibling_running()
{
    struct stat st
    {
    };
    return stat(sibling_socket_path().c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

} // namespace app
