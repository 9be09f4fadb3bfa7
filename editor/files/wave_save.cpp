// The wave save: header, then the samples in blocks, converted on the way when asked.
#include "editor/files/wave_save.h"

#include "common/host_services.h"
#include "editor/document/format_converter.h"
#include "platform/riff.h"
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

} // namespace

int save_wave_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                   const SaveFormat& format)
{
    const SaveFormat own = save_format_of(doc);
    const bool convert =
        format.channels != own.channels || format.bits != own.bits || format.rate != own.rate;
    if ((format.channels != 1 && format.channels != 2) || (format.bits != 8 && format.bits != 16) ||
        format.rate <= 0) {
        NewErrMsg(5009);
        return 0;
    }
    const std::string part = name + ".part";
    auto out = kel::riff::File::open(part, kel::riff::File::Mode::Create);
    int in = ::open(doc.current.file_name, O_RDONLY | O_CLOEXEC);
    if (!out || in < 0) {
        if (in >= 0)
            ::close(in);
        out.reset();
        std::remove(part.c_str());
        NewErrMsg(5009);
        return 0;
    }
    auto fail = [&]() {
        ::close(in);
        out.reset();
        std::remove(part.c_str());
        return 0;
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
    if (!create_waveform_format_header(out.get(), 0))
        return fail();

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
        ssize_t n = ::pread(in, buffer.get(), want, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            NewErrMsg(5009);
            return fail();
        }
        const uint8_t* data = buffer.get();
        size_t bytes = static_cast<size_t>(n);
        if (convert) {
            bytes = converter->convert_block(buffer.get(), bytes, converted.get());
            data = converted.get();
        }
        if (out->write(data, static_cast<int64_t>(bytes)) != static_cast<int64_t>(bytes)) {
            NewErrMsg(5031);
            return fail();
        }
        done += static_cast<unsigned long>(n);
        if (cancel_button_pressed(progress.handle))
            return fail();
        show_percent_done(progress.handle, static_cast<int>(done * 100 / (count + 1)));
    }
    ::close(in);
    const bool sized = ascend_and_update_waveform_file(out.get()) == 0;
    const bool closed = out->close();
    out.reset();
    if (!sized || !closed || std::rename(part.c_str(), name.c_str()) != 0) {
        std::remove(part.c_str());
        ErrMsg("Failed to close output file");
        return 0;
    }
    if (!highlighted_only)
        doc.is_modified = 0;
    return 1;
}
