#include "platform/run_dir.h"

#include "platform/clock.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel::run_dir {

namespace {

std::mutex g_mutex;
std::string g_folder;
int g_lock = -1;
std::map<std::string, int> g_adopted; // orphan folder -> its lock, held until removed

constexpr const char* kLockName = "lock";

int take_lock(const std::string& folder)
{
    const std::string lock = folder + kLockName;
    const int fd = ::open(lock.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string open(const std::string& base, const std::string& prefix)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    if (!g_folder.empty())
        return g_folder;
    const std::string root = paths::with_slash(base);
    if (!paths::make_dirs(root))
        return "";
    const std::string folder = root + prefix + "-" + std::to_string(getpid()) + "-" +
                               std::to_string(clock::now_ms() % 100000000) + "/";
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return "";
    const int fd = take_lock(folder);
    if (fd < 0)
        return "";
    const std::string pid = std::to_string(getpid()) + "\n";
    (void)!ftruncate(fd, 0);
    (void)!::write(fd, pid.data(), pid.size());
    g_lock = fd;
    g_folder = folder;
    return g_folder;
}

std::string current()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_folder;
}

std::string file(const std::string& name)
{
    const std::string folder = current();
    return folder.empty() ? std::string() : folder + name;
}

std::vector<std::string> orphans(const std::string& base, const std::string& prefix)
{
    std::vector<std::string> found;
    const std::string root = paths::with_slash(base);
    const std::string own = current();
    DIR* d = opendir(root.c_str());
    if (!d)
        return found;
    const std::string head = prefix + "-";
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.compare(0, head.size(), head) != 0)
            continue;
        const std::string folder = root + name + "/";
        struct stat st
        {
        };
        if (lstat((root + name).c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || folder == own)
            continue;
        {
            std::lock_guard<std::mutex> guard(g_mutex);
            if (g_adopted.count(folder))
                continue;
        }
        const int fd = take_lock(folder);
        if (fd < 0)
            continue; // a live run
        ::close(fd);
        found.push_back(folder);
    }
    closedir(d);
    return found;
}

bool adopt(const std::string& folder)
{
    const std::string f = paths::with_slash(folder);
    const int fd = take_lock(f);
    if (fd < 0)
        return false;
    std::lock_guard<std::mutex> guard(g_mutex);
    g_adopted[f] = fd;
    return true;
}

bool remove(const std::string& folder)
{
    const std::string f = paths::with_slash(folder);
    bool ok = true;
    if (DIR* d = opendir(f.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            struct stat st
            {
            };
            const std::string full = f + name;
            if (lstat(full.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                ok = ::unlink(full.c_str()) == 0 && ok;
        }
        closedir(d);
    }
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (auto it = g_adopted.find(f); it != g_adopted.end()) {
            ::close(it->second);
            g_adopted.erase(it);
        }
    }
    std::string bare = f;
    bare.pop_back();
    return ::rmdir(bare.c_str()) == 0 && ok;
}

void close()
{
    std::string folder;
    int lock = -1;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        folder.swap(g_folder);
        lock = g_lock;
        g_lock = -1;
    }
    if (folder.empty())
        return;
    remove(folder);
    if (lock >= 0)
        ::close(lock);
}

std::string runtime_base()
{
    if (const char* r = std::getenv("XDG_RUNTIME_DIR"); r && *r && paths::is_writable_dir(r))
        return paths::with_slash(r);
    if (const char* t = std::getenv("TMPDIR"); t && *t && paths::is_writable_dir(t))
        return paths::with_slash(t);
    return "/tmp/";
}

} // namespace kel::run_dir
