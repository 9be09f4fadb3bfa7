// Reading an OCW file back into a 16-bit wave file in this run's private folder: the
// outside ADPCM program decodes it to 8-bit PCM in "outadpcm.wav", and we restore the rate
// the marker names. Nothing is written beside the OCW file, where the master it was made
// from may lie.
#include "editor/files/ocw_import.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/files/outside_program.h"
#include "editor/files/wave_header.h"
#include "formats/ocw_rate.h"
#include "platform/riff.h"
#include "platform/wave_device.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

using kel::riff::Chunk;
using kel::riff::File;
using kel::riff::fourcc;

static_assert(std::endian::native == std::endian::little, "samples are written as they lie");

namespace {

constexpr size_t kInputBlock = 131072;
constexpr size_t kReadBytes = 32768;

int refuse(int message)
{
    NewErrMsg(message);
    return 0;
}

// The OCW file's own header: a RIFF WAVE with an ADPCM "fmt " and a "data" chunk.
int check_ocw_header(const std::string& path, WaveFormat& format)
{
    auto file = File::open(path, File::Mode::Read);
    if (!file)
        return refuse(5032);
    Chunk riff;
    int r = file->descend(riff, nullptr, 0);
    if (r != kel::riff::kOk)
        return refuse(r == kel::riff::kTruncated ? 5038 : 5034);
    if (riff.id != kel::riff::kRiff || riff.type != fourcc("WAVE"))
        return refuse(5035);
    Chunk fmt;
    fmt.id = fourcc("fmt ");
    r = file->descend(fmt, &riff, kel::riff::kFindChunk);
    if (r != kel::riff::kOk)
        return refuse(r == kel::riff::kTruncated ? 5038 : 5036);
    if (fmt.size < 16)
        return refuse(5037);
    uint8_t body[16];
    if (file->read(body, 16) != 16)
        return refuse(5038);
    format = WaveFormat::from_bytes(body);
    if (format.format_tag != kWaveFormatAdpcm)
        return refuse(5039);
    if (file->seek(static_cast<int64_t>(riff.data_offset + 4), SEEK_SET) < 0)
        return refuse(5043);
    Chunk data;
    data.id = fourcc("data");
    r = file->descend(data, &riff, kel::riff::kFindChunk);
    if (r != kel::riff::kOk)
        return refuse(r == kel::riff::kTruncated ? 5038 : 5042);

    using namespace kel::wave_device;
    const unsigned caps = selected_input_caps().formats;
    if (format.bits_per_sample == 16 && (!(caps & k2M16) || !(caps & k2S16)))
        NewErrMsg(5040);
    if (format.sample_rate > 44000 && !(caps & k4M08))
        NewErrMsg(5041);
    return 1;
}

struct ImportFiles
{
    std::unique_ptr<File> in;
    std::unique_ptr<File> out;
    std::string out_name;
    Chunk riff;
    Chunk data;
    int progress = 0;
    bool keep_output = false;

    ~ImportFiles()
    {
        if (progress)
            terminate_message_dialog(progress);
        if (out) {
            if (data.dirty)
                out->ascend(data);
            if (riff.dirty)
                out->ascend(riff);
            out->close();
        }
        if (!keep_output && !out_name.empty())
            std::remove(out_name.c_str());
    }
};

// The rate factor the OCW header's marker names; 0 when it is out of range.
float restore_factor(const WaveFormat& ocw)
{
    const float r = kel::ocw::restore_ratio(ocw.avg_bytes_per_sec);
    // The output block holds eight times the input: a marker outside this range would
    // overrun it (or shrink the sound to nothing).
    return r >= 0.5f && r <= 8.0f ? r : 0.0f;
}

// Deletes the decoder's result on every way out.
struct DecodedFile
{
    ~DecodedFile() { std::remove(out_adpcm_file().c_str()); }
};

// The 16-bit wave in the run's folder, open at its "data" chunk.
int create_output(ImportFiles& f, const WaveFormat& format)
{
    f.out = File::open(f.out_name, File::Mode::Create);
    f.riff.type = fourcc("WAVE");
    if (!f.out || f.out->create_chunk(f.riff, kel::riff::kCreateRiff) != kel::riff::kOk)
        return ErrMsg("Can't create RIFF chunk, nf 1512");
    Chunk fmt;
    fmt.id = fourcc("fmt ");
    fmt.size = 16;
    if (f.out->create_chunk(fmt, 0) != kel::riff::kOk)
        return ErrMsg("Can't create info chunk, nf 1521");
    uint8_t body[16];
    format.to_bytes(body);
    if (f.out->write(body, 16) != 16 || f.out->ascend(fmt) != kel::riff::kOk)
        return ErrMsg("Can't mmioWrite, nf 1538");
    f.data.id = fourcc("data");
    if (f.out->create_chunk(f.data, 0) != kel::riff::kOk)
        return ErrMsg("Can't write wave data chunk, nf 1551");
    return 1;
}

} // namespace

int read_ocw_header(const std::string& path, WaveFormat& format)
{
    return check_ocw_header(path, format);
}

int ocw_to_wave(std::string& path)
{
    WaveFormat ocw;
    if (!read_ocw_header(path, ocw))
        return ErrMsg("Can't read header");
    if (!restore_factor(ocw))
        return ErrMsg("Unknown resample rate. Returning.");
    const std::string folder = run_directory();
    if (folder.empty())
        return refuse(5031);

    delete_signal_files();
    const long program = start_outside_program(kWaveconvProgram, {path, "0"}, true);
    if (!program)
        return ErrMsg("Decompression algorithm not found. Returning.");
    wait_for_finished(program);
    DecodedFile decoded;
    if (!file_exists(out_adpcm_file().c_str()))
        return ErrMsg("Failed to decompress file");
    const std::string output = folder + "ocwimport.wav";
    if (!ocw_restore_rate(ocw, out_adpcm_file(), output))
        return 0;
    path = output;
    return 1;
}

int ocw_restore_rate(const WaveFormat& ocw, const std::string& decoded, const std::string& output)
{
    const float r = restore_factor(ocw);
    if (!r)
        return ErrMsg("Unknown resample rate. Returning.");
    ImportFiles files;
    std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[kInputBlock]);
    if (!input)
        return refuse(5026);
    if (!ReadInputWaveformHeader(decoded.c_str(), 0))
        return ErrMsg("Can't read header");
    const int channels = last_format.channels;
    const int in_bytes = last_format.bits_per_sample / 8;
    const uint32_t pcm_size = data_size;
    const uint64_t pcm_offset = data_offset;

    WaveFormat format = last_format;
    format.format_tag = kWaveFormatPcm;
    format.bits_per_sample = 16;
    format.block_align = static_cast<uint16_t>(channels * 2);
    format.avg_bytes_per_sec = format.sample_rate * format.block_align;

    files.in = File::open(decoded, File::Mode::Read);
    if (!files.in)
        return ErrMsg("Can't read header");
    files.out_name = output;
    if (!create_output(files, format))
        return 0;
    if (files.in->seek(static_cast<int64_t>(pcm_offset), SEEK_SET) < 0)
        return refuse(5043);

    files.progress = display_message_dialog("Decompressing waveform ...", 1);
    show_percent_done(files.progress, 0);
    const size_t frame_bytes = static_cast<size_t>(channels * in_bytes);
    const size_t unit = kReadBytes / frame_bytes * frame_bytes;
    int16_t* words = reinterpret_cast<int16_t*>(input.get() + kReadBytes);
    kel::ocw::Stretcher stretcher(r, channels);
    std::vector<int16_t> stretched;
    try {
        stretched.resize(stretcher.room_for(unit / frame_bytes) * channels);
    } catch (...) {
        return refuse(5026);
    }
    auto put = [&](size_t frames) {
        const int64_t bytes = static_cast<int64_t>(frames * channels * 2);
        return files.out->write(stretched.data(), bytes) == bytes;
    };
    uint64_t done = 0;
    while (done < pcm_size) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(unit, pcm_size - done));
        const int64_t got = files.in->read(input.get(), static_cast<int64_t>(want));
        if (got < 0)
            return refuse(5043);
        const size_t frames = static_cast<size_t>(got) / frame_bytes;
        if (frames == 0)
            break;
        const size_t count = frames * channels;
        for (size_t i = 0; i < count; ++i)
            words[i] = in_bytes == 1 ? static_cast<int16_t>((input[i] - 128) * 256)
                                     : static_cast<int16_t>(input[2 * i] | (input[2 * i + 1] << 8));
        if (!put(stretcher.push(words, frames, stretched.data())))
            return refuse(5031);
        done += static_cast<uint64_t>(got);
        show_percent_done(files.progress, static_cast<int>(done * 100 / pcm_size));
        if (cancel_button_pressed(files.progress))
            return 0;
    }
    if (!put(stretcher.finish(stretched.data())))
        return refuse(5031);

    if (files.out->ascend(files.data) != kel::riff::kOk ||
        files.out->ascend(files.riff) != kel::riff::kOk || !files.out->close())
        return refuse(5031);
    files.out.reset();
    files.keep_output = true;
    return 1;
}
