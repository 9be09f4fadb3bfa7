// The ADPCM converter's job: read the source in block units, code each unit, write it.
#include "editor/files/wave_convert.h"

#include "common/host_services.h"
#include "editor/files/wave_conv_format.h"
#include "editor/files/wave_conv_reader.h"
#include "formats/msadpcm.h"
#include "platform/riff.h"
#include "platform/ui.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>
#include <sys/stat.h>

using kel::riff::Chunk;
using kel::riff::File;
using kel::riff::fourcc;

int ocw_rate_marker_mode = 0;
const char* const kWaveConverterName = "Kelvara Wave Converter";

namespace {

constexpr const char* kProgressTitle = "Kelvara File Conversion";

void converter_box(const std::string& text, kel::Icon icon = kel::Icon::Exclamation)
{
    kel::ui().message_box(text, kWaveConverterName, kel::Buttons::Ok, icon);
}

struct WaveConvJob
{
    std::string source_name;
    std::string destination_name;
    WaveConvSource source;
    ConvPlan plan;
    std::unique_ptr<File> in;
    std::unique_ptr<File> out;
    Chunk riff;
    Chunk chunk;
    std::unique_ptr<uint8_t[]> source_buffer;
    std::unique_ptr<uint8_t[]> destination_buffer;
    std::unique_ptr<int16_t[]> frames; // one block as 16-bit samples
    uint32_t frames_left = 0;          // the destination's "fact" still to fill
    int progress = 0;
    bool cancelled = false;
    // Bytes of output for `bytes` of input in source_buffer, or -1 when the data are broken.
    long (*codec)(WaveConvJob& job, size_t bytes) = nullptr;
};

long encode_unit(WaveConvJob& job, size_t bytes)
{
    const ConvPlan& p = job.plan;
    const int count = static_cast<int>(bytes / static_cast<size_t>(p.source_align));
    if (count == 0)
        return 0;
    const uint8_t* s = job.source_buffer.get();
    int16_t* x = job.frames.get();
    const size_t words = static_cast<size_t>(count) * static_cast<size_t>(p.channels);
    if (p.source_align == p.channels * 2) {
        for (size_t i = 0; i < words; ++i)
            x[i] = static_cast<int16_t>(static_cast<uint16_t>(s[2 * i] | (s[2 * i + 1] << 8)));
    } else {
        for (size_t i = 0; i < words; ++i)
            x[i] = static_cast<int16_t>((s[i] - 128) * 256);
    }
    return static_cast<long>(kel::msadpcm::encode_blocks(x, count, p.channels, p.samples_per_block,
                                                         job.destination_buffer.get()));
}

long decode_unit(WaveConvJob& job, size_t bytes)
{
    const ConvPlan& p = job.plan;
    int count = kel::msadpcm::decode_block(job.source_buffer.get(), bytes, p.channels,
                                           p.samples_per_block, job.frames.get());
    if (count < 0)
        return -1;
    count = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(count), job.frames_left));
    job.frames_left -= static_cast<uint32_t>(count);
    const int16_t* x = job.frames.get();
    uint8_t* d = job.destination_buffer.get();
    const size_t words = static_cast<size_t>(count) * static_cast<size_t>(p.channels);
    for (size_t i = 0; i < words; ++i)
        d[i] = static_cast<uint8_t>((x[i] >> 8) + 128);
    return static_cast<long>(words);
}

bool write_all(File& f, const void* data, size_t bytes)
{
    return f.write(data, static_cast<int64_t>(bytes)) == static_cast<int64_t>(bytes);
}

// Copies a whole chunk of the source, header and body, with a pad byte of our own.
bool copy_chunk(WaveConvJob& job, const WaveConvChunk& c)
{
    if (job.in->seek(static_cast<int64_t>(c.offset), SEEK_SET) < 0)
        return false;
    uint64_t left = 8 + static_cast<uint64_t>(c.size);
    const size_t room = job.plan.source_unit;
    while (left > 0) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, room));
        if (job.in->read(job.source_buffer.get(), static_cast<int64_t>(n)) !=
                static_cast<int64_t>(n) ||
            !write_all(*job.out, job.source_buffer.get(), n))
            return false;
        left -= n;
    }
    const uint8_t pad = 0;
    return (c.size & 1) == 0 || write_all(*job.out, &pad, 1);
}

bool write_small_chunk(File& f, uint32_t id, const void* body, uint32_t size)
{
    Chunk c;
    c.id = id;
    c.size = size;
    return f.create_chunk(c, 0) == kel::riff::kOk && write_all(f, body, size) &&
           f.ascend(c) == kel::riff::kOk;
}

// Buffers, destination file and every chunk up to the open "data".
bool begin_job(WaveConvJob& job)
{
    ConvPlan& p = job.plan;
    const size_t frames = static_cast<size_t>(p.samples_per_block) *
                          static_cast<size_t>(p.blocks_per_unit) * static_cast<size_t>(p.channels);
    job.source_buffer.reset(new (std::nothrow) uint8_t[p.source_unit]);
    job.destination_buffer.reset(new (std::nothrow) uint8_t[p.destination_unit + 8]);
    job.frames.reset(new (std::nothrow) int16_t[frames + 2]);
    if (!job.source_buffer || !job.destination_buffer || !job.frames) {
        NewErrMsg(5026);
        return false;
    }
    job.codec = p.direction == ConvDirection::PcmToAdpcm ? encode_unit : decode_unit;
    job.frames_left = p.fact;

    job.in = File::open(job.source_name, File::Mode::Read);
    if (!job.in)
        return false;
    job.out = File::open(job.destination_name, File::Mode::Create);
    if (!job.out)
        return false;

    job.riff = Chunk();
    job.riff.type = fourcc("WAVE");
    if (job.out->create_chunk(job.riff, kel::riff::kCreateRiff) != kel::riff::kOk)
        return false;
    for (const WaveConvChunk& c : job.source.copy_chunks)
        if (!copy_chunk(job, c))
            return false;
    if (job.source.has_info &&
        info_write(*job.out, info_fields_of(job.source.info_items)) != kInfoOk)
        return false;
    if (job.in->seek(static_cast<int64_t>(job.source.data_offset), SEEK_SET) < 0)
        return false;

    uint8_t fact[4];
    for (int i = 0; i < 4; ++i)
        fact[i] = static_cast<uint8_t>(p.fact >> (8 * i));
    if (!write_small_chunk(*job.out, fourcc("fmt "), p.destination_format.get(),
                           static_cast<uint32_t>(p.destination_format_size)) ||
        !write_small_chunk(*job.out, fourcc("fact"), fact, 4))
        return false;
    job.chunk = Chunk();
    job.chunk.id = fourcc("data");
    return job.out->create_chunk(job.chunk, 0) == kel::riff::kOk;
}

bool cancel_pressed(WaveConvJob& job)
{
    if (!job.cancelled && cancel_button_pressed(job.progress))
        job.cancelled = true;
    return job.cancelled;
}

bool run_loop(WaveConvJob& job)
{
    const uint64_t total = job.source.data_size;
    uint64_t done = 0;
    int shown = -1;
    while (done < total) {
        const int percent = static_cast<int>(done * 100 / total);
        if (percent != shown) {
            show_percent_done(job.progress, percent);
            shown = percent;
        }
        if (cancel_pressed(job))
            return false;
        const size_t want =
            static_cast<size_t>(std::min<uint64_t>(job.plan.source_unit, total - done));
        const int64_t got = job.in->read(job.source_buffer.get(), static_cast<int64_t>(want));
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (cancel_pressed(job))
            return false;
        const long made = job.codec(job, static_cast<size_t>(got));
        if (made < 0 || cancel_pressed(job))
            return false;
        if (!write_all(*job.out, job.destination_buffer.get(), static_cast<size_t>(made)))
            return false;
        done += static_cast<uint64_t>(got);
    }
    return true;
}

// Closes what was begun; a destination keeps correct chunk sizes whatever happened.
bool end_job(WaveConvJob& job)
{
    bool ok = true;
    if (job.in)
        job.in->close();
    if (job.out) {
        if (job.chunk.dirty)
            ok = job.out->ascend(job.chunk) == kel::riff::kOk && ok;
        if (job.riff.dirty)
            ok = job.out->ascend(job.riff) == kel::riff::kOk && ok;
        ok = job.out->close() && ok;
    }
    job.source_buffer.reset();
    job.destination_buffer.reset();
    job.frames.reset();
    return ok;
}

bool same_file(const char* a, const char* b)
{
    struct stat sa
    {
    }, sb{};
    return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

int convert_wave_file(HWND owner, const char* source_name, const char* destination_name)
{
    (void)owner;
    WaveConvJob job;
    job.source_name = source_name ? source_name : "";
    job.destination_name = destination_name ? destination_name : "";

    if (!wave_conv_read_source(job.source_name, job.source)) {
        converter_box(job.source_name + " is not a valid wave file.");
        ErrMsg("WaveConvFileOpen failed, waveconv line 221");
        return 0;
    }
    // Creating the destination would wipe the very samples we are about to read.
    if (same_file(job.source_name.c_str(), job.destination_name.c_str())) {
        converter_box("The destination is the source file itself!");
        return 0;
    }
    const int planned = make_conv_plan(job.source, ocw_rate_marker_mode, job.plan);
    if (planned != kConvOk) {
        converter_box(conv_plan_message(planned));
        return 0;
    }

    job.progress = display_message_dialog(kProgressTitle, 1);
    bool ok = begin_job(job) && run_loop(job);
    ok = end_job(job) && ok;
    terminate_message_dialog(job.progress);
    if (ok)
        converter_box("Conversion completed successfully!", kel::Icon::Information);
    else
        converter_box("Conversion aborted--destination file is corrupt!");
    return ok ? 1 : 0;
}
