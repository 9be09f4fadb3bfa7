// ELF32 and ELF64, either byte order: the section headers lead to the dynamic and static
// symbol tables and their string tables. A defined global or weak symbol counts.
#include "editor/files/elf_symbols.h"

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kSymtab = 2;
constexpr uint32_t kDynsym = 11;

struct Reader
{
    const uint8_t* data;
    size_t size;
    bool big_endian;
    bool wide; // ELF64

    bool has(uint64_t offset, uint64_t count) const
    {
        return offset <= size && count <= size - offset;
    }
    uint64_t get(uint64_t offset, int bytes) const
    {
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const uint8_t b = data[offset + (big_endian ? i : bytes - 1 - i)];
            v = v << 8 | b;
        }
        return v;
    }
    // A word of the file's class: 4 bytes in ELF32, 8 in ELF64.
    uint64_t addr(uint64_t offset) const { return get(offset, wide ? 8 : 4); }
};

struct Section
{
    uint32_t type = 0;
    uint32_t link = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint64_t entry_size = 0;
};

bool read_section(const Reader& r, uint64_t header, Section& s)
{
    if (!r.has(header, r.wide ? 64 : 40))
        return false;
    s.type = static_cast<uint32_t>(r.get(header + 4, 4));
    if (r.wide) {
        s.offset = r.get(header + 24, 8);
        s.size = r.get(header + 32, 8);
        s.link = static_cast<uint32_t>(r.get(header + 40, 4));
        s.entry_size = r.get(header + 56, 8);
    } else {
        s.offset = r.get(header + 16, 4);
        s.size = r.get(header + 20, 4);
        s.link = static_cast<uint32_t>(r.get(header + 24, 4));
        s.entry_size = r.get(header + 36, 4);
    }
    return r.has(s.offset, s.size);
}

bool name_is(const Reader& r, const Section& strings, uint64_t name, const char* symbol)
{
    const size_t length = std::strlen(symbol);
    if (name >= strings.size || strings.size - name < length + 1)
        return false;
    const uint8_t* at = r.data + strings.offset + name;
    return std::memcmp(at, symbol, length) == 0 && at[length] == 0;
}

} // namespace

ElfExport elf_exports(const uint8_t* data, size_t size, const char* symbol)
{
    if (size < 52 || std::memcmp(data,
                                 "\x7f"
                                 "ELF",
                                 4) != 0)
        return ElfExport::NotElf;
    if ((data[4] != 1 && data[4] != 2) || (data[5] != 1 && data[5] != 2))
        return ElfExport::NotElf;
    Reader r{data, size, data[5] == 2, data[4] == 2};
    if (r.wide && size < 64)
        return ElfExport::NotElf;
    const uint64_t table = r.addr(r.wide ? 40 : 32);
    const uint64_t entry = r.get(r.wide ? 58 : 46, 2);
    const uint64_t count = r.get(r.wide ? 60 : 48, 2);
    if (entry < (r.wide ? 64u : 40u) || !r.has(table, entry * count))
        return ElfExport::Missing;
    const uint64_t symbol_size = r.wide ? 24 : 16;
    for (uint64_t i = 0; i < count; ++i) {
        Section symbols;
        if (!read_section(r, table + i * entry, symbols) ||
            (symbols.type != kDynsym && symbols.type != kSymtab))
            continue;
        Section strings;
        if (symbols.link >= count || !read_section(r, table + symbols.link * entry, strings))
            continue;
        const uint64_t step = symbols.entry_size >= symbol_size ? symbols.entry_size : symbol_size;
        // By index: a huge entry size from the file must not wrap the offset around.
        const uint64_t entries = symbols.size / step;
        for (uint64_t k = 0; k < entries; ++k) {
            const uint64_t at = symbols.offset + k * step;
            const uint64_t name = r.get(at, 4);
            const uint8_t info = r.data[at + (r.wide ? 4 : 12)];
            const uint64_t section_index = r.get(at + (r.wide ? 6 : 14), 2);
            const int binding = info >> 4;
            if (section_index == 0 || (binding != 1 && binding != 2))
                continue;
            if (name_is(r, strings, name, symbol))
                return ElfExport::Exported;
        }
    }
    return ElfExport::Missing;
}

ElfExport file_exports(const std::string& path, const char* symbol)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ElfExport::NotElf;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        close(fd);
        return ElfExport::NotElf;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (map == MAP_FAILED)
        return ElfExport::NotElf;
    const ElfExport result = elf_exports(static_cast<const uint8_t*>(map), size, symbol);
    munmap(map, size);
    return result;
}
