// Reading and writing RIFF/WAVE headers: the one place that knows the layout.
#include "editor/files/wave_header.h"

#include "common/host_services.h"
#include "editor/files/cue_chunk.h"
#include "editor/files/info_chunk.h"
#include "editor/strings.h"
#include "platform/riff.h"
#include "platform/ui.h"
#include "platform/wave_device.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using kel::riff::Chunk;
using kel::riff::File;
using kel::riff::fourcc;

WaveFormat last_format;
uint32_t data_size = 0;
uint64_t data_offset = 0;
uint16_t last_format_tag = 1;
PlayFormat play_format;
int header_read_ok = 0;
Chunk riff_chunk_out;
Chunk data_chunk_out;
std::vector<InfoField> info_fields;
int write_info_list = 0;

void WaveFormat::to_bytes(uint8_t out[16]) const
{
    auto put16 = [&](int at, uint16_t v) {
        out[at] = static_cast<uint8_t>(v);
        out[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put16(0, format_tag);
    put16(2, channels);
    put32(4, sample_rate);
    put32(8, avg_bytes_per_sec);
    put16(12, block_align);
    put16(14, bits_per_sample);
}

WaveFormat WaveFormat::from_bytes(const uint8_t in[16])
{
    auto get16 = [&](int at) { return static_cast<uint16_t>(in[at] | (in[at + 1] << 8)); };
    auto get32 = [&](int at) {
        return static_cast<uint32_t>(in[at]) | (static_cast<uint32_t>(in[at + 1]) << 8) |
               (static_cast<uint32_t>(in[at + 2]) << 16) |
               (static_cast<uint32_t>(in[at + 3]) << 24);
    };
    WaveFormat f;
    f.format_tag = get16(0);
    f.channels = get16(2);
    f.sample_rate = get32(4);
    f.avg_bytes_per_sec = get32(8);
    f.block_align = get16(12);
    f.bits_per_sample = get16(14);
    return f;
}

uint32_t data_declared_size = 0;
bool riff_truncated = false;

namespace {

int fail(int report, int message, const std::string& detail = std::string())
{
    header_read_ok = 0;
    if (report)
        show_reader_message(message, detail);
    return 0;
}

std::string printf_text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string printf_text(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// Four bytes of a chunk id as they can be shown.
std::string id_text(uint32_t id)
{
    std::string s;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((id >> (8 * i)) & 0xFF);
        s += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return s;
}

const char* format_tag_name(unsigned tag)
{
    switch (tag) {
    case 2:
        return "Microsoft ADPCM";
    case 3:
        return "IEEE float";
    case 6:
        return "A-law";
    case 7:
        return "mu-law";
    case 0x11:
        return "IMA ADPCM";
    case 0x31:
        return "GSM 6.10";
    case 0x50:
        return "MPEG";
    case 0x55:
        return "MPEG layer 3";
    case 0xFFFE:
        return "extensible";
    default:
        return nullptr;
    }
}

std::string open_failure(const char* name)
{
    struct stat st
    {
    };
    if (::stat(name, &st) != 0)
        return std::strerror(errno);
    if (!S_ISREG(st.st_mode))
        return "not a plain file";
    return ::access(name, R_OK) != 0 ? std::strerror(errno) : std::string();
}

} // namespace

void show_reader_message(int message, const std::string& detail)
{
    const char* s = string_table_text(message);
    std::string text = s ? s : "Message " + std::to_string(message);
    if (!detail.empty())
        text += "\n" + detail;
    kel::ui().message_box(text, "Kelvara", kel::Buttons::Ok, kel::Icon::None);
}

void show_truncated_warning()
{
    std::string detail;
    if (data_declared_size != 0) {
        const unsigned align = std::max<unsigned>(1, last_format.block_align);
        detail = printf_text("the file ends inside its samples: %u of %u bytes are there; the "
                             "%u whole frames among them are opened",
                             data_size, data_declared_size, data_size / align);
    } else if (riff_truncated) {
        detail = "the file ends before its RIFF chunk does; the samples are all there";
    } else {
        return;
    }
    show_reader_message(5038, detail);
}

int ReadInputWaveformHeader(const char* file_name, int report)
{
    using namespace kel::wave_device;
    const Caps caps = selected_input_caps();
    data_declared_size = 0;
    riff_truncated = false;

    const char* name = file_name ? file_name : "";
    auto file = File::open(name, File::Mode::Read);
    if (!file)
        return fail(report, 5032, open_failure(name));

    // An interrupted recording leaves sizes that run past the end: the RIFF and data
    // chunks are taken with what the file holds of them.
    Chunk riff;
    int r = file->descend(riff, nullptr, kel::riff::kAcceptShort);
    const uint64_t length = file->length();
    if (r == kel::riff::kTruncated && length >= 12)
        return fail(report, 5038, "the RIFF chunk is too small to hold its type");
    if (r != kel::riff::kOk)
        return fail(report, 5034,
                    printf_text("%llu bytes; a wave file begins with a 12-byte RIFF header",
                                static_cast<unsigned long long>(length)));
    if (riff.id != kel::riff::kRiff)
        return fail(report, 5035,
                    printf_text("not a RIFF file: it begins with '%s'", id_text(riff.id).c_str()));
    if (riff.type != fourcc("WAVE"))
        return fail(
            report, 5035,
            printf_text("a RIFF file of type '%s', not 'WAVE'", id_text(riff.type).c_str()));

    Chunk fmt;
    fmt.id = fourcc("fmt ");
    r = file->descend(fmt, &riff, kel::riff::kFindChunk);
    if (r == kel::riff::kTruncated)
        return fail(report, 5038, "the file ends before its format is complete");
    if (r != kel::riff::kOk)
        return fail(report, 5036);
    if (fmt.size < 16)
        return fail(report, 5037, printf_text("%u bytes; 16 are needed", fmt.size));
    uint8_t body[16];
    if (file->read(body, 16) != 16)
        return fail(report, 5038, "the file ends inside its 'fmt ' chunk");
    WaveFormat format = WaveFormat::from_bytes(body);
    if (file->ascend(fmt) != kel::riff::kOk)
        return fail(report, 5038, "the file ends inside its 'fmt ' chunk");

    last_format = format;
    last_format_tag = format.format_tag;
    if (format.format_tag != kWaveFormatPcm) {
        const char* kind = format_tag_name(format.format_tag);
        return fail(
            report, 5039,
            kind ? printf_text("format tag %u (%s); Orlo edits PCM, tag 1", format.format_tag, kind)
                 : printf_text("format tag %u; Orlo edits PCM, tag 1", format.format_tag));
    }
    // Nothing downstream can work with these; refuse them here rather than divide by zero.
    if (format.channels < 1 || format.channels > 2)
        return fail(report, 5035,
                    printf_text("%u channels; Orlo edits mono and stereo", format.channels));
    if (format.sample_rate == 0)
        return fail(report, 5035, "sample rate 0");
    if (format.block_align == 0)
        return fail(report, 5035, "block alignment 0");
    if (format.bits_per_sample != 8 && format.bits_per_sample != 16)
        return fail(report, 5016,
                    printf_text("%u bits per sample; Orlo edits 8 and 16", format.bits_per_sample));

    if (report) {
        if (format.bits_per_sample == 16 && (!(caps.formats & k1M16) || !(caps.formats & k1S16)))
            NewErrMsg(5040);
        if (format.sample_rate > 44000 && !(caps.formats & k4M08))
            NewErrMsg(5041);
    }

    play_format.format_tag = format.format_tag;
    play_format.channels = format.channels;
    play_format.bits = format.bits_per_sample;
    play_format.bytes_per_sample = format.bits_per_sample / 8;
    play_format.sample_rate = format.sample_rate;

    // Back to the start of the form, so "data" is found wherever it stands.
    if (file->seek(static_cast<int64_t>(riff.data_offset + 4), SEEK_SET) < 0)
        return fail(report, 5043, std::strerror(errno));
    Chunk data;
    data.id = fourcc("data");
    r = file->descend(data, &riff, kel::riff::kFindChunk | kel::riff::kAcceptShort);
    if (r == kel::riff::kTruncated)
        return fail(report, 5038, "the file ends before its 'data' chunk");
    if (r != kel::riff::kOk)
        return fail(report, 5042);

    data_size = data.size;
    data_offset = data.data_offset;
    if (data.truncated)
        data_declared_size = data.declared_size;
    riff_truncated = riff.truncated;
    file->close();
    header_read_ok = 1;
    if (report)
        show_truncated_warning();
    return 1;
}

int write_info_list_chunk(HMMIO file)
{
    return file && info_write(*file, info_fields) == kInfoOk ? 1 : 0;
}

int create_waveform_format_header(HMMIO file, unsigned long data_size_in_bytes)
{
    if (!file) {
        NewErrMsg(5031);
        return 0;
    }
    riff_chunk_out = Chunk();
    riff_chunk_out.type = fourcc("WAVE");
    if (file->create_chunk(riff_chunk_out, kel::riff::kCreateRiff) != kel::riff::kOk) {
        NewErrMsg(5031);
        return 0;
    }
    if (write_info_list && !write_info_list_chunk(file)) {
        NewErrMsg(5031);
        return 0;
    }
    Chunk fmt;
    fmt.id = fourcc("fmt ");
    fmt.size = 16;
    uint8_t body[16];
    last_format.to_bytes(body);
    if (file->create_chunk(fmt, 0) != kel::riff::kOk || file->write(body, 16) != 16 ||
        file->ascend(fmt) != kel::riff::kOk) {
        NewErrMsg(5031);
        return 0;
    }
    if (cue_write(*file, cue_points_for_save) != kel::riff::kOk) {
        NewErrMsg(5031);
        return 0;
    }
    data_chunk_out = Chunk();
    data_chunk_out.id = fourcc("data");
    // Sizes beyond 32 bits are fixed (or refused) when the chunk is closed.
    data_chunk_out.size = static_cast<uint32_t>(data_size_in_bytes);
    if (file->create_chunk(data_chunk_out, 0) != kel::riff::kOk) {
        NewErrMsg(5031);
        return 0;
    }
    return 1;
}

int ascend_and_update_waveform_file(HMMIO file)
{
    if (!file)
        return kel::riff::kCannotWrite;
    int r = file->ascend(data_chunk_out);
    if (r != kel::riff::kOk)
        return r;
    return file->ascend(riff_chunk_out);
}
