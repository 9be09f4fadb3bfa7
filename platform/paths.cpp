#include "platform/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel::paths {

std::string native(const std::string& path)
{
    std::string out = path;
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::string with_slash(const std::string& dir)
{
    std::string d = native(dir);
    if (d.empty())
        return "./";
    if (d.back() != '/')
        d.push_back('/');
    return d;
}

std::string file_part(const std::string& path)
{
    auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

bool make_dirs(const std::string& dir)
{
    std::string d = native(dir);
    if (d.empty())
        return false;
    for (size_t i = 1; i <= d.size(); ++i) {
        if (i == d.size() || d[i] == '/') {
            std::string part = d.substr(0, i);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st
    {
    };
    return stat(d.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_writable_dir(const std::string& dir)
{
    struct stat st
    {
    };
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return access(dir.c_str(), W_OK | X_OK) == 0;
}

namespace {

std::string folder_of(const std::string& file)
{
    auto pos = file.rfind('/');
    return pos == std::string::npos ? std::string("./") : file.substr(0, pos + 1);
}

std::string exe_dir()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    return folder_of(std::string(buf, static_cast<size_t>(n)));
}

bool is_dir(const std::string& dir)
{
    struct stat st
    {
    };
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The data folder of an installed suite, reached from a folder `levels` below the prefix
// (bin/ is one, lib/kelvara/ two); empty in a build tree, where the data sits beside the
// programs.
std::string installed_data(const std::string& dir, int levels)
{
    std::string up = dir;
    for (int i = 0; i < levels; ++i)
        up += "../";
    const std::string data = up + kInstalledData;
    char real[PATH_MAX];
    if (!is_dir(data) || !realpath(data.c_str(), real))
        return {};
    return with_slash(real);
}

} // namespace

std::string program_dir()
{
    if (const char* home = std::getenv("KELVARA_HOME"); home && *home)
        return with_slash(home);
    const std::string exe = exe_dir();
    const std::string installed = installed_data(exe, 1);
    return installed.empty() ? exe : installed;
}

std::string module_dir_of(const void* address)
{
    if (const char* home = std::getenv("KELVARA_HOME"); home && *home)
        return with_slash(home);
    Dl_info info{};
    if (dladdr(address, &info) && info.dli_fname && *info.dli_fname) {
        const std::string dir = folder_of(info.dli_fname);
        const std::string installed = installed_data(dir, 2);
        if (dir != "./")
            return installed.empty() ? dir : installed;
    }
    return program_dir();
}

std::string helper_program(const std::string& name)
{
    for (const std::string& dir : {program_dir(), exe_dir() + "../" + kInstalledHelpers}) {
        const std::string file = dir + name;
        if (access(file.c_str(), X_OK) == 0)
            return file;
    }
    return program_dir() + name;
}

static std::string xdg_dir(const char* var, const char* fallback_under_home)
{
    if (const char* v = std::getenv(var); v && *v)
        return with_slash(v);
    const char* home = std::getenv("HOME");
    std::string h = (home && *home) ? home : "/tmp";
    return with_slash(h) + fallback_under_home;
}

std::string default_data_dir()
{
    // Never the program's folder: an installed program's folder is not the user's.
    std::string d = xdg_dir("XDG_DATA_HOME", ".local/share/") + "Kelvara/";
    make_dirs(d);
    return d;
}

std::string config_dir()
{
    std::string d = xdg_dir("XDG_CONFIG_HOME", ".config/") + "Kelvara/";
    make_dirs(d);
    return d;
}

namespace {

// The file's folder is the program's own, and the user's copy is where it is written.
bool redirected(const std::string& file, std::string& copy)
{
    const std::string path = native(file);
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return false;
    const std::string prog = program_dir();
    if (path.substr(0, slash + 1) != prog)
        return false;
    const char* home = std::getenv("KELVARA_HOME");
    if (home && *home && is_writable_dir(prog))
        return false;
    copy = config_dir() + path.substr(slash + 1);
    return true;
}

} // namespace

std::string writable_path(const std::string& file)
{
    std::string copy;
    return redirected(file, copy) ? copy : file;
}

std::string readable_path(const std::string& file)
{
    std::string copy;
    if (!redirected(file, copy))
        return file;
    struct stat st
    {
    };
    return stat(copy.c_str(), &st) == 0 ? copy : file;
}

} // namespace kel::paths
