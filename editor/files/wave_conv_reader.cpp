// Walks the chunks of a source wave file for the ADPCM converter. Sizes are checked
// against the RIFF chunk; a data chunk cut short by the end of the file is taken as far
// as it goes, so a truncated recording still converts.
#include "editor/files/wave_conv_reader.h"

#include "platform/riff.h"
#include "platform/ui.h"

#include <algorithm>

using kel::riff::File;
using kel::riff::fourcc;

namespace {

uint32_t get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr const char* kNoFactText =
    "This wave file does not have a 'fact' chunk and requires one! This is completely "
    "invalid and MUST be fixed! Attempt to load it anyway?";

} // namespace

uint16_t WaveConvSource::field16(size_t at) const
{
    if (at + 2 > format.size())
        return 0;
    return static_cast<uint16_t>(format[at] | (format[at + 1] << 8));
}

uint16_t WaveConvSource::format_tag() const
{
    return field16(0);
}
uint16_t WaveConvSource::channels() const
{
    return field16(2);
}
uint32_t WaveConvSource::sample_rate() const
{
    return format.size() >= 8 ? get32(format.data() + 4) : 0;
}
uint32_t WaveConvSource::avg_bytes_per_sec() const
{
    return format.size() >= 12 ? get32(format.data() + 8) : 0;
}
uint16_t WaveConvSource::block_align() const
{
    return field16(12);
}
uint16_t WaveConvSource::bits_per_sample() const
{
    return field16(14);
}
uint16_t WaveConvSource::extension_size() const
{
    return field16(16);
}

int wave_conv_read_source(const std::string& path, WaveConvSource& source)
{
    source = WaveConvSource();
    auto file = File::open(path, File::Mode::Read);
    if (!file)
        return 0;
    const uint64_t file_length = file->length();

    uint8_t head[12];
    if (file->read(head, 12) != 12 || get32(head) != kel::riff::kRiff ||
        get32(head + 8) != fourcc("WAVE"))
        return 0;
    const uint32_t riff_size = get32(head + 4);
    if (riff_size < 4)
        return 0;
    const uint64_t riff_end = 8 + static_cast<uint64_t>(riff_size);

    bool have_format = false;
    bool have_data = false;
    uint64_t pos = 12;
    while (pos + 8 <= riff_end) {
        uint8_t ck[8];
        if (file->seek(static_cast<int64_t>(pos), SEEK_SET) < 0 || file->read(ck, 8) != 8)
            break; // the file ends before the RIFF size says: take what came so far
        const uint32_t id = get32(ck);
        const uint32_t size = get32(ck + 4);
        const uint64_t body = pos + 8;
        const uint64_t end = body + size;
        if (end > riff_end)
            return 0;

        if (id == fourcc("fmt ") && !have_format) {
            if (size < 16)
                return 0;
            const size_t want = std::min<size_t>(size, kMaxFormatRead);
            source.format.assign(std::max<size_t>(want, 18), 0);
            if (file->read(source.format.data(), static_cast<int64_t>(want)) !=
                static_cast<int64_t>(want))
                return 0;
            source.format_chunk_size = size;
            have_format = true;
        } else if (id == fourcc("data") && !have_data) {
            source.data_offset = body;
            const uint64_t held = file_length > body ? file_length - body : 0;
            source.data_size = static_cast<uint32_t>(std::min<uint64_t>(size, held));
            have_data = true;
        } else if (id == fourcc("fact") && !source.has_fact && size >= 4) {
            uint8_t count[4];
            if (file->read(count, 4) != 4)
                return 0;
            source.fact = get32(count);
            source.has_fact = true;
        } else if (id == kel::riff::kList && !source.has_info && size >= 4) {
            uint8_t type[4];
            if (file->read(type, 4) != 4)
                return 0;
            if (get32(type) == fourcc("INFO")) {
                source.info = {id, pos, size};
                source.has_info = true;
                // A damaged list keeps the items before the damage; a refused one ends here.
                if (info_read(*file, size, source.info_items) == kInfoRefused)
                    return 0;
            }
        } else if ((id == fourcc("DISP") || id == fourcc("plst")) && end <= file_length &&
                   source.copy_chunks.size() < kMaxCopyChunks) {
            source.copy_chunks.push_back({id, pos, size});
        }
        pos = end + (size & 1);
    }

    if (!have_format || !have_data)
        return 0;
    if (!source.has_fact) {
        if (source.format_tag() == 1) {
            source.fact = source.block_align() ? source.data_size / source.block_align() : 0;
        } else {
            const int answer = kel::ui().message_box(kNoFactText, "wioFileOpen",
                                                     kel::Buttons::YesNo, kel::Icon::Exclamation);
            if (answer != kel::kIdYes)
                return 0;
            source.fact = 0;
        }
    }
    return 1;
}
