#pragma once
// Plain descriptor I/O for the working files: an owning descriptor and the loops that
// ride out short transfers and interrupted calls.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace fd_io {

struct Fd
{
    int fd;
    explicit Fd(int f) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd; }
    bool ok() const { return fd >= 0; }
};

// One read, repeated only when a signal interrupted it.
inline ssize_t read_some(int fd, void* data, size_t count)
{
    for (;;) {
        const ssize_t n = ::read(fd, data, count);
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

// Reads until count bytes or the end; -1 on an error.
inline ssize_t read_full(int fd, void* data, size_t count)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n = read_some(fd, static_cast<uint8_t*>(data) + done, count - done);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

inline bool write_all(int fd, const void* data, size_t count)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

// Reads until count bytes at offset or the end; -1 on an error.
inline long pread_full(int fd, void* data, long count, long offset)
{
    long done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, static_cast<uint8_t*>(data) + done,
                                  static_cast<size_t>(count - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

inline bool pwrite_full(int fd, const void* data, long count, long offset)
{
    long done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, static_cast<const uint8_t*>(data) + done,
                                   static_cast<size_t>(count - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace fd_io
