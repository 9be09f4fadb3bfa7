#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel {

std::unique_ptr<MappedFile> MappedFile::open(const std::string& path, Access access)
{
    bool rw = access == Access::ReadWrite;
    int fd = ::open(path.c_str(), (rw ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st
    {
    };
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        ::close(fd);
        return nullptr;
    }
    size_t size = static_cast<size_t>(st.st_size);
    void* base = mmap(nullptr, size, rw ? (PROT_READ | PROT_WRITE) : PROT_READ, MAP_SHARED, fd, 0);
    // The mapping keeps the file alive; the descriptor is no longer needed.
    ::close(fd);
    if (base == MAP_FAILED)
        return nullptr;
    return std::unique_ptr<MappedFile>(new MappedFile(base, size, rw));
}

std::unique_ptr<MappedFile> MappedFile::anonymous(size_t size_in_bytes)
{
    if (size_in_bytes == 0)
        size_in_bytes = 1;
    void* base =
        mmap(nullptr, size_in_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return nullptr;
    return std::unique_ptr<MappedFile>(new MappedFile(base, size_in_bytes, true));
}

MappedFile::~MappedFile()
{
    if (base_)
        munmap(base_, size_);
}

void MappedFile::advise_sequential()
{
    madvise(base_, size_, MADV_SEQUENTIAL);
}

void MappedFile::drop_pages(size_t offset, size_t length)
{
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t begin = offset / page * page;
    if (begin >= size_)
        return;
    size_t end = offset + length;
    if (end > size_)
        end = size_;
    end = end / page * page;
    if (end > begin)
        madvise(static_cast<uint8_t*>(base_) + begin, end - begin, MADV_DONTNEED);
}

} // namespace kel
