#include "plavo/wave_reader.h"

#include "platform/riff.h"
#include "platform/ui.h"
#include "plavo/texts.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace plavo {

namespace {

uint16_t u16(const std::vector<uint8_t>& v, size_t at)
{
    return at + 2 <= v.size() ? static_cast<uint16_t>(v[at] | (v[at + 1] << 8)) : 0;
}

uint32_t u32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::string title_of(const std::string& path)
{
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool ask(const std::string& text)
{
    return kel::ui().message_box(text, kReaderCaption, kel::Buttons::YesNo,
                                 kel::Icon::Exclamation) == kel::kIdYes;
}

unsigned parse(const std::string& path, WaveFileDesc& desc)
{
    auto file = kel::riff::File::open(path, kel::riff::File::Mode::Read);
    if (!file)
        return kCannotReadFile;
    const uint64_t length = file->length();
    uint8_t head[12];
    if (file->read(head, 12) != 12 || u32(head) != kel::riff::kRiff ||
        u32(head + 8) != kel::riff::fourcc("WAVE"))
        return kCannotReadFile;
    const uint32_t riff_size = u32(head + 4);
    const uint64_t riff_end = 8 + static_cast<uint64_t>(riff_size);

    bool have_format = false, have_data = false, have_fact = false;
    uint64_t at = 12;
    while (at + 8 <= length) {
        uint8_t ck[8];
        if (file->seek(static_cast<int64_t>(at), SEEK_SET) < 0 || file->read(ck, 8) != 8)
            return kCannotReadFile;
        const uint32_t id = u32(ck);
        uint32_t size = u32(ck + 4);
        const uint64_t body = at + 8;
        if (body + size > riff_end) {
            char text[400];
            std::snprintf(text, sizeof text,
                          "This wave file might be corrupt. The RIFF chunk.ckid '%.08lX' (data "
                          "offset at %lu) specifies a cksize of %lu that extends beyond what the "
                          "RIFF header cksize of %lu allows. Attempt to load?",
                          static_cast<unsigned long>(id), static_cast<unsigned long>(body),
                          static_cast<unsigned long>(size), static_cast<unsigned long>(riff_size));
            if (!ask(text))
                return kRefused;
        }
        // Never believe a size past the end of the file itself.
        if (body + size > length) {
            size = static_cast<uint32_t>(length - body);
            if (id == kel::riff::fourcc("data") && !have_data)
                desc.truncated = true;
        }
        if (id == kel::riff::fourcc("fmt ") && !have_format) {
            std::vector<uint8_t> block;
            try {
                block.assign(std::max<size_t>(18, size), 0);
            } catch (...) {
                return kNoMemory;
            }
            if (file->read(block.data(), size) != static_cast<int64_t>(size))
                return kCannotReadFile;
            if (u16(block, 0) == 1) {
                block.resize(16);
            } else {
                const size_t want = 18 + static_cast<size_t>(u16(block, 16));
                block.resize(std::min(want, block.size()));
            }
            desc.format = std::move(block);
            have_format = true;
        } else if (id == kel::riff::fourcc("data") && !have_data) {
            desc.data_offset = body;
            desc.data_size = size;
            have_data = true;
        } else if (id == kel::riff::fourcc("fact") && !have_fact && size >= 4) {
            uint8_t n[4];
            if (file->read(n, 4) != 4)
                return kCannotReadFile;
            desc.sample_count = u32(n);
            have_fact = true;
        }
        at = body + size + (size & 1);
    }
    if (!have_format)
        return kNoFormat;
    if (!have_fact) {
        if (desc.format_tag() == 1) {
            desc.sample_count = desc.block_align() ? desc.data_size / desc.block_align() : 0;
        } else {
            if (!ask("This wave file does not have a 'fact' chunk and requires one! This is "
                     "completely invalid and MUST be fixed! Attempt to load it anyway?"))
                return kRefused;
            desc.sample_count = 0;
        }
    }
    return kReadOk;
}

} // namespace

uint16_t WaveFileDesc::format_tag() const
{
    return u16(format, 0);
}
uint16_t WaveFileDesc::channels() const
{
    return u16(format, 2);
}
uint32_t WaveFileDesc::sample_rate() const
{
    return format.size() >= 8 ? u32(&format[4]) : 0;
}
uint32_t WaveFileDesc::avg_bytes_per_sec() const
{
    return format.size() >= 12 ? u32(&format[8]) : 0;
}
uint16_t WaveFileDesc::block_align() const
{
    return u16(format, 12);
}
uint16_t WaveFileDesc::bits_per_sample() const
{
    return u16(format, 14);
}

unsigned read_wave_file(const std::string& path, WaveFileDesc& desc)
{
    desc = WaveFileDesc{};
    struct stat st
    {
    };
    unsigned error = kReadOk;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = kCannotReadFile;
    } else {
        desc.file_size = static_cast<uint64_t>(st.st_size);
        desc.attributes = st.st_mode;
        desc.last_write = st.st_mtime;
        desc.title = title_of(path);
        error = parse(path, desc);
    }
    if (error != kReadOk) {
        char text[600];
        std::snprintf(text, sizeof text,
                      "The file '%s' cannot be loaded as a wave file (wio error=%u).", path.c_str(),
                      error);
        kel::ui().message_box(text, kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
    }
    return error;
}

} // namespace plavo
