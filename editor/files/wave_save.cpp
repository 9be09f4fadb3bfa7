// The wave save: header, then the samples in blocks, converted on the way when asked.
#include "editor/files/wave_save.h"

#include "common/host_services.h"
#include "editor/document/markers.h"
#include "editor/edit/format_converter.h"
#include "editor/files/cue_chunk.h"
#include "platform/riff.h"
#include "platform/safe_write.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>
#include <vector>

SaveFormat save_format_of(const CChildFrame& doc)
{
    return SaveFormat{doc.wave_format.channels, doc.wave_format.bits_per_sample,
                      static_cast<long>(doc.wave_format.sample_rate)};
}

namespace {

constexpr unsigned long kBlock = 32768;

struct Progress
{
    int handle;
    kel::Cursor cursor;
    explicit Progress(const char* text)
        : handle(display_message_dialog(text, 1)), cursor(kel::ui().set_cursor(kel::Cursor::Wait))
    {
        show_percent_done(handle, 0);
    }
    ~Progress()
    {
        terminate_message_dialog(handle);
        kel::ui().set_cursor(cursor);
    }
};

// Reads count bytes at offset unless the file ends or fails first; the bytes read.
ssize_t read_fully(int fd, uint8_t* buffer, size_t count, off_t offset)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd, buffer + done, count - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// The document's markers as points of the file written: frames from the first frame
// written, at the rate written; markers outside what is written stay out.
std::vector<CuePoint> points_for_file(const CChildFrame& doc, long offset_frames, long frame_count,
                                      long rate_from, long rate_to)
{
    std::vector<CuePoint> out;
    const MarkerTable* table = markers_if_any(doc);
    if (!table)
        return out;
    auto scale = [&](uint64_t f) {
        return rate_from == rate_to ? f
                                    : f * static_cast<uint64_t>(rate_to) /
                                          static_cast<uint64_t>(std::max(1L, rate_from));
    };
    for (CuePoint c : cue_points_of(*table, doc.wave_format.channels)) {
        const long start = static_cast<long>(c.frame);
        if (start < offset_frames || start > offset_frames + frame_count)
            continue;
        const long end =
            std::min<long>(start + static_cast<long>(c.length), offset_frames + frame_count);
        c.frame = static_cast<uint32_t>(scale(static_cast<uint64_t>(start - offset_frames)));
        c.length =
            static_cast<uint32_t>(scale(static_cast<uint64_t>(end - offset_frames))) - c.frame;
        c.id = static_cast<uint32_t>(out.size() + 1);
        out.push_back(std::move(c));
    }
    return out;
}

// The header written while this lives carries the points.
struct PointsForHeader
{
    explicit PointsForHeader(std::vector<CuePoint> points)
    {
        cue_points_for_save = std::move(points);
    }
    ~PointsForHeader() { cue_points_for_save.clear(); }
    PointsForHeader(const PointsForHeader&) = delete;
    PointsForHeader& operator=(const PointsForHeader&) = delete;
};

bool valid_format(const SaveFormat& format)
{
    return (format.channels == 1 || format.channels == 2) &&
           (format.bits == 8 || format.bits == 16) && format.rate > 0;
}

// Writes the wave file at `path`, a new file nobody else looks at yet. 1 on success; on
// failure the message has been shown and `path` may hold part of the file.
int write_wave_file(CChildFrame& doc, const std::string& path, bool highlighted_only,
                    const SaveFormat& format)
{
    const SaveFormat own = save_format_of(doc);
    const bool convert =
        format.channels != own.channels || format.bits != own.bits || format.rate != own.rate;
    auto out = kel::riff::File::open(path, kel::riff::File::Mode::Create);
    const int open_error = errno;
    int in = ::open(doc.current.file_name, O_RDONLY | O_CLOEXEC);
    if (!out || in < 0) {
        if (in >= 0)
            ::close(in);
        NewErrMsg(5009, out ? std::string() : kel::file_error_text(open_error));
        return 0;
    }
    auto fail = [&]() {
        ::close(in);
        out.reset();
        return 0;
    };
    // The reason of a failed write, taken before anything else can change errno.
    auto write_failed = [&](int message) {
        const int e = errno;
        NewErrMsg(message, kel::file_error_text(e));
        return fail();
    };

    // Whole frames only: a section that begins or ends inside a frame would shift the
    // channels of everything after it.
    const long bps = doc.bytes_per_sample();
    const long frame = std::max<long>(1, bps * doc.wave_format.channels);
    const long total = std::max(0L, doc.current.total_samples) * bps / frame * frame;
    long offset = 0;
    unsigned long count = static_cast<unsigned long>(total);
    if (highlighted_only) {
        const long end = std::clamp(doc.current.select_end * bps / frame * frame, 0L, total);
        offset = std::clamp(doc.current.select_start * bps / frame * frame, 0L, end);
        count = static_cast<unsigned long>(end - offset);
    }
    last_format.format_tag = 1;
    last_format.channels = static_cast<uint16_t>(format.channels);
    last_format.sample_rate = static_cast<uint32_t>(format.rate);
    last_format.avg_bytes_per_sec =
        static_cast<uint32_t>(format.channels * format.bits * format.rate / 8);
    last_format.block_align = static_cast<uint16_t>(format.channels * format.bits / 8);
    last_format.bits_per_sample = static_cast<uint16_t>(format.bits);
    PointsForHeader points(points_for_file(doc, offset / frame, static_cast<long>(count) / frame,
                                           own.rate, format.rate));
    errno = 0;
    if (!create_waveform_format_header(out.get(), 0))
        return write_failed(5031);

    std::unique_ptr<FrameConverter> converter;
    if (convert)
        converter = std::make_unique<FrameConverter>(
            ClipboardFormat{own.channels, own.bits, own.rate},
            ClipboardFormat{format.channels, format.bits, format.rate}, doc.compute_channel_mode());
    const unsigned long block = std::min(kBlock, std::max(count, 1UL));
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[block]);
    std::unique_ptr<uint8_t[]> converted(
        convert ? new (std::nothrow) uint8_t[converter->max_output_bytes(block) + 8] : nullptr);
    if (!buffer || (convert && !converted)) {
        NewErrMsg(5001);
        return fail();
    }

    Progress progress("Saving file ...");
    unsigned long done = 0;
    while (done < count) {
        const size_t want = std::min<unsigned long>(block, count - done);
        // A working file shorter than the document says is a failure, not a shorter file.
        const ssize_t n = read_fully(in, buffer.get(), want, static_cast<off_t>(offset + done));
        if (n != static_cast<ssize_t>(want)) {
            NewErrMsg(5009);
            return fail();
        }
        const uint8_t* data = buffer.get();
        size_t bytes = static_cast<size_t>(n);
        if (convert) {
            bytes = converter->convert_block(buffer.get(), bytes, converted.get());
            data = converted.get();
        }
        errno = 0;
        if (out->write(data, static_cast<int64_t>(bytes)) != static_cast<int64_t>(bytes))
            return write_failed(5031);
        done += static_cast<unsigned long>(n);
        if (cancel_button_pressed(progress.handle))
            return fail();
        show_percent_done(progress.handle, static_cast<int>(done * 100 / (count + 1)));
    }
    ::close(in);
    errno = 0;
    const bool sized = ascend_and_update_waveform_file(out.get()) == 0;
    const bool closed = out->close() && sized;
    const int e = errno;
    out.reset();
    if (!closed) {
        ErrMsgDetail("Failed to close output file", kel::file_error_text(e));
        return 0;
    }
    return 1;
}

} // namespace

int save_wave_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                   const SaveFormat& format)
{
    if (!valid_format(format)) {
        NewErrMsg(5009);
        return 0;
    }
    kel::SafeWrite target(name);
    if (!target.ok()) {
        NewErrMsg(5009, target.error_text());
        return 0;
    }
    if (!write_wave_file(doc, target.temp_path(), highlighted_only, format))
        return 0;
    if (!target.commit()) {
        ErrMsgDetail("Failed to close output file", target.error_text());
        return 0;
    }
    if (!highlighted_only)
        doc.is_modified = 0;
    return 1;
}

int save_wave_intermediate(CChildFrame& doc, const std::string& path, bool highlighted_only,
                           const SaveFormat& format)
{
    if (!valid_format(format)) {
        NewErrMsg(5009);
        return 0;
    }
    if (write_wave_file(doc, path, highlighted_only, format))
        return 1;
    ::unlink(path.c_str());
    return 0;
}
