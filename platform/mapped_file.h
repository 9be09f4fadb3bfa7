#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kel {

// A whole file (or anonymous memory) mapped into the address space.
class MappedFile
{
  public:
    enum class Access { Read, ReadWrite };

    // Maps an existing file whole. Null when the file is missing, empty or cannot be mapped.
    static std::unique_ptr<MappedFile> open(const std::string& path, Access access);
    // Zero-filled private memory of the given size, backed by no file.
    static std::unique_ptr<MappedFile> anonymous(size_t size_in_bytes);

    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    uint8_t* data() { return static_cast<uint8_t*>(base_); }
    const uint8_t* data() const { return static_cast<const uint8_t*>(base_); }
    size_t size() const { return size_; }
    bool writable() const { return writable_; }

    // Tells the kernel the mapping will be walked front to back.
    void advise_sequential();
    // Lets the kernel take back the pages of a range we are done with; the data stay in
    // the file (or, for anonymous memory, must not be needed again).
    void drop_pages(size_t offset, size_t length);

  private:
    MappedFile(void* base, size_t size, bool writable)
        : base_(base), size_(size), writable_(writable)
    {
    }
    void* base_;
    size_t size_;
    bool writable_;
};

} // namespace kel
