#include "platform/safe_write.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel {

namespace {

SafeWriteFault g_fault = nullptr;

int fault(const char* step)
{
    return g_fault ? g_fault(step) : 0;
}

std::string folder_of(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "NAME.kv<pid>.part" is ours; so is the plain "NAME.part" that earlier versions left.
// A pid that no longer runs marks the file stale.
void remove_stale_parts(const std::string& dir, const std::string& name)
{
    DIR* d = opendir(dir.c_str());
    if (!d)
        return;
    const std::string plain = name + ".part";
    const std::string head = name + ".kv";
    while (dirent* e = readdir(d)) {
        const std::string entry = e->d_name;
        bool stale = entry == plain;
        if (!stale && entry.size() > head.size() + 5 && entry.compare(0, head.size(), head) == 0 &&
            entry.compare(entry.size() - 5, 5, ".part") == 0) {
            const std::string digits = entry.substr(head.size(), entry.size() - head.size() - 5);
            char* end = nullptr;
            const long pid = std::strtol(digits.c_str(), &end, 10);
            stale = !digits.empty() && *end == '\0' && pid > 0 &&
                    (pid != getpid() && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
        }
        if (stale) {
            const std::string full = dir + "/" + entry;
            struct stat st
            {
            };
            if (lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                ::unlink(full.c_str());
        }
    }
    closedir(d);
}

} // namespace

void set_safe_write_fault(SafeWriteFault hook)
{
    g_fault = hook;
}

std::string follow_links(const std::string& path)
{
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {
        };
        if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p;
        char buf[PATH_MAX];
        const ssize_t n = readlink(p.c_str(), buf, sizeof buf - 1);
        if (n <= 0)
            return p;
        std::string link(buf, static_cast<size_t>(n));
        p = link.front() == '/' ? link : folder_of(p) + "/" + link;
    }
    return p;
}

bool sync_directory(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

std::string file_error_text(int error)
{
    switch (error) {
    case 0:
        return "";
    case ENOSPC:
    case EDQUOT:
        return "The disk is full.";
    case EFBIG:
        return "The file is too large for this disk.";
    case EROFS:
        return "The disk is read-only.";
    case EACCES:
    case EPERM:
        return "Permission denied.";
    case ENOENT:
        return "The folder does not exist.";
    case EISDIR:
        return "A folder has that name.";
    default:
        return std::strerror(error);
    }
}

SafeWrite::SafeWrite(const std::string& target)
{
    final_ = follow_links(target);
    struct stat st
    {
    };
    if (stat(final_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            error_ = EISDIR;
            return;
        }
        // A file the user made read-only is not replaced behind their back.
        if (access(final_.c_str(), W_OK) != 0) {
            error_ = errno;
            return;
        }
    }
    const std::string dir = folder_of(final_);
    const std::string name = name_of(final_);
    remove_stale_parts(dir, name);
    const std::string temp = dir + "/" + name + ".kv" + std::to_string(getpid()) + ".part";
    ::unlink(temp.c_str()); // an abandoned one of this very process
    const int fd = ::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    ::close(fd);
    temp_ = temp;
}

SafeWrite::~SafeWrite()
{
    if (!committed_)
        abort();
}

void SafeWrite::abort()
{
    if (!temp_.empty() && !committed_)
        ::unlink(temp_.c_str());
    temp_.clear();
}

bool SafeWrite::commit()
{
    if (temp_.empty() || committed_)
        return committed_;
    auto fail = [this](int e) {
        error_ = e;
        abort();
        return false;
    };
    const int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    // The earlier file's permissions carry over; a new file gets what the umask allows.
    struct stat old
    {
    };
    if (stat(final_.c_str(), &old) == 0) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    int e = fault("fsync");
    if (!e && ::fsync(fd) != 0)
        e = errno;
    ::close(fd);
    if (e)
        return fail(e);
    e = fault("rename");
    if (!e && std::rename(temp_.c_str(), final_.c_str()) != 0)
        e = errno;
    if (e)
        return fail(e);
    committed_ = true;
    temp_.clear();
    // The rename is done; a folder that cannot be flushed is reported, the file is in place.
    e = fault("dirsync");
    if (e || !sync_directory(folder_of(final_))) {
        error_ = e ? e : errno;
        return true;
    }
    return true;
}

std::string SafeWrite::error_text() const
{
    return file_error_text(error_);
}

} // namespace kel
