// Reading and writing RIFF/WAVE headers: the one place that knows the layout.
#include "editor/files/wave_header.h"

#include "common/host_services.h"
#include "platform/riff.h"
#include "platform/wave_device.h"

#include <cstring>

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

namespace {

int fail(int report, int message)
{
    header_read_ok = 0;
    if (report)
        NewErrMsg(message);
    return 0;
}

} // namespace

int ReadInputWaveformHeader(const char* file_name, int report)
{
    using namespace kel::wave_device;
    const Caps caps = selected_input_caps();

    auto file = File::open(file_name ? file_name : "", File::Mode::Read);
    if (!file)
        return fail(report, 5032);

    Chunk riff;
    int r = file->descend(riff, nullptr, 0);
    // A RIFF size past the end is a truncated file; too few bytes for a header is the end.
    if (r == kel::riff::kTruncated && file->length() >= 12)
        return fail(report, 5038);
    if (r != kel::riff::kOk)
        return fail(report, 5034);
    if (riff.id != kel::riff::kRiff || riff.type != fourcc("WAVE"))
        return fail(report, 5035);

    Chunk fmt;
    fmt.id = fourcc("fmt ");
    r = file->descend(fmt, &riff, kel::riff::kFindChunk);
    if (r == kel::riff::kTruncated)
        return fail(report, 5038);
    if (r != kel::riff::kOk)
        return fail(report, 5036);
    if (fmt.size < 16)
        return fail(report, 5037);
    uint8_t body[16];
    if (file->read(body, 16) != 16)
        return fail(report, 5038);
    WaveFormat format = WaveFormat::from_bytes(body);
    if (file->ascend(fmt) != kel::riff::kOk)
        return fail(report, 5038);

    last_format = format;
    last_format_tag = format.format_tag;
    if (format.format_tag != kWaveFormatPcm)
        return fail(report, 5039);
    // Nothing downstream can work with these; refuse them here rather than divide by zero.
    if (format.channels < 1 || format.channels > 2 || format.sample_rate == 0 ||
        format.block_align == 0)
        return fail(report, 5035);
    if (format.bits_per_sample != 8 && format.bits_per_sample != 16)
        return fail(report, 5016);

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
        return fail(report, 5043);
    Chunk data;
    data.id = fourcc("data");
    r = file->descend(data, &riff, kel::riff::kFindChunk);
    if (r == kel::riff::kTruncated)
        return fail(report, 5038);
    if (r != kel::riff::kOk)
        return fail(report, 5042);

    data_size = data.size;
    data_offset = data.data_offset;
    file->close();
    header_read_ok = 1;
    return 1;
}

int write_info_list_chunk(HMMIO file)
{
    bool any = false;
    for (const InfoField& f : info_fields)
        any = any || !f.text.empty();
    if (!any)
        return 1;
    Chunk list;
    list.type = fourcc("INFO");
    if (file->create_chunk(list, kel::riff::kCreateList) != kel::riff::kOk)
        return 0;
    for (const InfoField& f : info_fields) {
        if (f.text.empty())
            continue;
        Chunk sub;
        sub.id = f.id;
        sub.size = static_cast<uint32_t>(f.text.size() + 1);
        if (file->create_chunk(sub, 0) != kel::riff::kOk)
            return 0;
        if (file->write(f.text.c_str(), static_cast<int64_t>(f.text.size() + 1)) !=
            static_cast<int64_t>(f.text.size() + 1))
            return 0;
        if (file->ascend(sub) != kel::riff::kOk)
            return 0;
    }
    return file->ascend(list) == kel::riff::kOk ? 1 : 0;
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
