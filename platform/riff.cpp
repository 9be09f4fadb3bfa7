#include "platform/riff.h"

#include <sys/stat.h>

namespace kel::riff {

std::unique_ptr<File> File::open(const std::string& path, Mode mode)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return nullptr;
    const char* m = mode == Mode::Read ? "rb" : mode == Mode::Create ? "w+b" : "r+b";
    std::FILE* f = std::fopen(path.c_str(), m);
    if (!f)
        return nullptr;
    std::setvbuf(f, nullptr, _IOFBF, 65536);
    return std::unique_ptr<File>(new File(f, path, mode != Mode::Read));
}

File::~File()
{
    if (f_)
        std::fclose(f_);
}

bool File::close()
{
    if (!f_)
        return true;
    bool ok = std::fclose(f_) == 0 && !write_failed_;
    f_ = nullptr;
    return ok;
}

bool File::flush()
{
    return f_ && std::fflush(f_) == 0 && !write_failed_;
}

int64_t File::read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    size_t n = std::fread(buffer, 1, static_cast<size_t>(count), f_);
    if (n < static_cast<size_t>(count) && std::ferror(f_)) {
        std::clearerr(f_);
        return -1;
    }
    return static_cast<int64_t>(n);
}

int64_t File::write(const void* buffer, int64_t count)
{
    if (!writable_) {
        return -1;
    }
    if (count <= 0)
        return 0;
    size_t n = std::fwrite(buffer, 1, static_cast<size_t>(count), f_);
    if (n < static_cast<size_t>(count)) {
        write_failed_ = true;
        std::clearerr(f_);
        return n == 0 ? -1 : static_cast<int64_t>(n);
    }
    return static_cast<int64_t>(n);
}

int64_t File::seek(int64_t offset, int whence)
{
    if (fseeko(f_, offset, whence) != 0)
        return -1;
    return ftello(f_);
}

int64_t File::tell()
{
    return ftello(f_);
}

uint64_t File::length()
{
    // Buffered writes count too.
    std::fflush(f_);
    struct stat st
    {
    };
    if (fstat(fileno(f_), &st) != 0)
        return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool File::read_u32(uint32_t& v)
{
    uint8_t b[4];
    if (read(b, 4) != 4)
        return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

bool File::write_u32(uint32_t v)
{
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                    static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    return write(b, 4) == 4;
}

int File::descend(Chunk& chunk, const Chunk* parent, unsigned flags)
{
    const uint64_t file_len = length();
    uint64_t limit = file_len;
    if (parent) {
        uint64_t parent_end = parent->data_offset + parent->size;
        if (parent_end < limit)
            limit = parent_end;
    }
    const uint32_t want_id = chunk.id;
    const uint32_t want_type = chunk.type;

    for (;;) {
        int64_t pos = tell();
        if (pos < 0)
            return kCannotSeek;
        if (static_cast<uint64_t>(pos) + 8 > limit)
            return static_cast<uint64_t>(pos) >= limit ? kChunkNotFound : kTruncated;
        Chunk ck;
        if (!read_u32(ck.id) || !read_u32(ck.size))
            return kCannotRead;
        ck.data_offset = static_cast<uint64_t>(pos) + 8;
        const bool is_container = ck.id == kRiff || ck.id == kList;
        const uint64_t end = ck.data_offset + ck.size;

        bool match;
        if (flags & kFindRiff)
            match = ck.id == kRiff;
        else if (flags & kFindList)
            match = ck.id == kList;
        else if (flags & kFindChunk)
            match = ck.id == want_id;
        else
            match = true;

        // A short chunk that may be taken keeps what the file holds of it.
        const bool cut = match && end > limit && (flags & kAcceptShort);
        if (cut) {
            ck.declared_size = ck.size;
            ck.size = static_cast<uint32_t>(limit - ck.data_offset);
            ck.truncated = true;
        }
        if (match && is_container) {
            if (ck.size < 4 || (end > limit && !cut))
                return kTruncated;
            if (!read_u32(ck.type))
                return kCannotRead;
            if ((flags & (kFindRiff | kFindList)) && ck.type != want_type) {
                if (seek(static_cast<int64_t>(end + (ck.size & 1)), SEEK_SET) < 0)
                    return kCannotSeek;
                continue;
            }
        }
        if (match) {
            if (end > limit && !cut)
                return kTruncated;
            chunk = ck;
            return kOk;
        }
        if (end > limit)
            return kTruncated;
        // Skip with the pad byte, which a missing pad at the very end may not have.
        uint64_t next = end + (ck.size & 1);
        if (next > limit)
            next = limit;
        if (seek(static_cast<int64_t>(next), SEEK_SET) < 0)
            return kCannotSeek;
    }
}

int File::ascend(Chunk& chunk)
{
    if (chunk.dirty) {
        int64_t pos = tell();
        if (pos < 0)
            return kCannotSeek;
        uint64_t size = static_cast<uint64_t>(pos) - chunk.data_offset;
        if (static_cast<uint64_t>(pos) < chunk.data_offset || size > 0xFFFFFFFFull)
            return kTooLarge;
        if (size != chunk.size) {
            if (seek(static_cast<int64_t>(chunk.data_offset - 4), SEEK_SET) < 0)
                return kCannotSeek;
            if (!write_u32(static_cast<uint32_t>(size)))
                return kCannotWrite;
            chunk.size = static_cast<uint32_t>(size);
        }
        if (seek(static_cast<int64_t>(chunk.data_offset + size), SEEK_SET) < 0)
            return kCannotSeek;
        if (size & 1) {
            uint8_t pad = 0;
            if (write(&pad, 1) != 1)
                return kCannotWrite;
        }
        chunk.dirty = false;
        return flush() ? kOk : kCannotWrite;
    }
    uint64_t next = chunk.data_offset + chunk.size + (chunk.size & 1);
    uint64_t len = length();
    if (next > len)
        next = len;
    return seek(static_cast<int64_t>(next), SEEK_SET) < 0 ? kCannotSeek : kOk;
}

int File::create_chunk(Chunk& chunk, unsigned flags)
{
    int64_t pos = tell();
    if (pos < 0)
        return kCannotSeek;
    if (flags & kCreateRiff)
        chunk.id = kRiff;
    else if (flags & kCreateList)
        chunk.id = kList;
    const bool container = (flags & (kCreateRiff | kCreateList)) != 0;
    if (!write_u32(chunk.id) || !write_u32(chunk.size))
        return kCannotWrite;
    chunk.data_offset = static_cast<uint64_t>(pos) + 8;
    if (container && !write_u32(chunk.type))
        return kCannotWrite;
    chunk.dirty = true;
    return kOk;
}

} // namespace kel::riff
