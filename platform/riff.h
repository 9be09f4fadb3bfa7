#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// RIFF chunk I/O in the manner of the classic multimedia file services: descend into a
// chunk, ascend out of it (fixing the size of a chunk we wrote and padding it to even
// length), create a chunk. Offsets are 64-bit; every size read from a file is checked
// against the bytes the file and the enclosing chunk really hold.
namespace kel::riff {

constexpr uint32_t fourcc(char a, char b, char c, char d)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}
constexpr uint32_t fourcc(const char (&s)[5])
{
    return fourcc(s[0], s[1], s[2], s[3]);
}

inline constexpr uint32_t kRiff = fourcc("RIFF");
inline constexpr uint32_t kList = fourcc("LIST");

struct Chunk
{
    uint32_t id = 0;
    uint32_t size = 0;        // bytes of the chunk body (for RIFF/LIST including the type)
    uint32_t type = 0;        // form or list type of RIFF/LIST chunks
    uint64_t data_offset = 0; // file offset of the body
    bool dirty = false;       // created by us: ascend fixes the size
    // Found with kAcceptShort and cut to what the file holds; declared_size is the size
    // its header gave.
    bool truncated = false;
    uint32_t declared_size = 0;
};

enum Flags : unsigned {
    kFindChunk = 0x10,
    kFindRiff = 0x20,
    kFindList = 0x40,
    kCreateRiff = 0x20,
    kCreateList = 0x40,
    // descend: the chunk sought may run past the end of the file or of its parent (an
    // interrupted recording); it is returned cut to the bytes that are there.
    kAcceptShort = 0x100,
};

enum Result : int {
    kOk = 0,
    kChunkNotFound = 265,
    kCannotRead = 266,
    kCannotWrite = 267,
    kCannotSeek = 268,
    kTruncated = 269, // a size reaches past the file or the enclosing chunk
    kTooLarge = 270,  // a written chunk would not fit a 32-bit size
};

class File
{
  public:
    enum class Mode { Read, Create, ReadWrite };

    // Null when the path cannot be opened (or is not a regular file) in that mode.
    static std::unique_ptr<File> open(const std::string& path, Mode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Bytes transferred, or -1 on an error.
    int64_t read(void* buffer, int64_t count);
    int64_t write(const void* buffer, int64_t count);
    // New position, or -1. whence as for fseek.
    int64_t seek(int64_t offset, int whence);
    int64_t tell();
    uint64_t length();

    int descend(Chunk& chunk, const Chunk* parent, unsigned flags);
    int ascend(Chunk& chunk);
    int create_chunk(Chunk& chunk, unsigned flags);

    // Flushes buffered writes; false when the data could not reach the disk.
    bool flush();
    // Closes; false when buffered data could not be written.
    bool close();
    const std::string& path() const { return path_; }

  private:
    File(std::FILE* f, std::string path, bool writable)
        : f_(f), path_(std::move(path)), writable_(writable)
    {
    }
    bool read_u32(uint32_t& v);
    bool write_u32(uint32_t v);
    std::FILE* f_;
    std::string path_;
    bool writable_;
    bool write_failed_ = false;
};

} // namespace kel::riff
