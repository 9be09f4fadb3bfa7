// Clipboard format conversion: read a block, convert frame by frame (channels, rate,
// size), append it to "convclip.clp".
#include "editor/edit/format_converter.h"

#include "common/host_services.h"
#include "editor/document/fd_io.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

using fd_io::Fd;
using fd_io::read_full;
using fd_io::write_all;

constexpr size_t kInputBlock = 32768;

} // namespace

FrameConverter::FrameConverter(const ClipboardFormat& source, const ClipboardFormat& destination,
                               int channel_mode)
    : src_channels_(source.channels), src_bytes_(source.bits / 8),
      dst_channels_(destination.channels), dst_bytes_(destination.bits / 8),
      channel_mode_(channel_mode),
      ratio_(static_cast<double>(destination.rate) / static_cast<double>(source.rate))
{
}

size_t FrameConverter::max_output_bytes(size_t input_bytes) const
{
    // One more frame for the one a previous block may have begun.
    const size_t frames = input_bytes / static_cast<size_t>(source_frame_bytes()) + 1;
    const size_t per_frame = ratio_ == 4.0 ? 4 : ratio_ == 2.0 ? 2 : 1;
    return frames * per_frame * static_cast<size_t>(destination_frame_bytes());
}

uint64_t FrameConverter::output_bytes_for(uint64_t input_bytes) const
{
    const uint64_t frames = input_bytes / static_cast<uint64_t>(source_frame_bytes());
    uint64_t out = frames;
    if (ratio_ == 4.0)
        out = frames * 4;
    else if (ratio_ == 2.0)
        out = frames * 2;
    else if (ratio_ == 0.5)
        out = (frames + 1) / 2;
    else if (ratio_ == 0.25)
        out = (frames + 3) / 4;
    return out * static_cast<uint64_t>(destination_frame_bytes());
}

void FrameConverter::put(int value, uint8_t*& out) const
{
    if (src_bytes_ == 2 && dst_bytes_ == 1)
        value >>= 8; // the high byte
    else if (src_bytes_ == 1 && dst_bytes_ == 2)
        value *= 256;
    if (dst_bytes_ == 1) {
        *out++ = static_cast<uint8_t>(value + 128);
    } else {
        const auto word = static_cast<uint16_t>(static_cast<int16_t>(value));
        *out++ = static_cast<uint8_t>(word & 0xFF);
        *out++ = static_cast<uint8_t>(word >> 8);
    }
}

void FrameConverter::put_frame(const int* frame, uint8_t*& out) const
{
    put(frame[0], out);
    if (dst_channels_ == 2)
        put(frame[1], out);
}

void FrameConverter::convert_frame(const uint8_t* f, uint8_t*& out)
{
    auto read_sample = [&](const uint8_t* p) {
        if (src_bytes_ == 1)
            return static_cast<int>(p[0]) - 128;
        return static_cast<int>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))));
    };
    const int left = read_sample(f);
    const int right = src_channels_ == 2 ? read_sample(f + src_bytes_) : left;
    const uint64_t index = frame_index_++;
    int current[2];
    if (dst_channels_ == 1) {
        current[0] = channel_mode_ == 2 ? left : channel_mode_ == 3 ? right : (left + right) / 2;
        current[1] = current[0];
    } else {
        current[0] = left;
        current[1] = right;
    }
    if (ratio_ == 0.5) {
        if (index % 2 != 0)
            return;
        put_frame(current, out);
    } else if (ratio_ == 0.25) {
        if (index % 4 != 0)
            return;
        put_frame(current, out);
    } else if (ratio_ == 2.0) {
        int mid[2];
        for (int c = 0; c < 2; ++c)
            mid[c] = (previous_[c] + current[c]) / 2;
        put_frame(mid, out);
        put_frame(current, out);
    } else if (ratio_ == 4.0) {
        int a[2], b[2], d[2];
        for (int c = 0; c < 2; ++c) {
            a[c] = (current[c] + 2 * previous_[c]) / 3;
            b[c] = (previous_[c] + current[c]) / 2;
            d[c] = (2 * current[c] + previous_[c]) / 3;
        }
        put_frame(a, out);
        put_frame(b, out);
        put_frame(d, out);
        put_frame(current, out);
    } else {
        put_frame(current, out);
    }
    previous_[0] = current[0];
    previous_[1] = current[1];
}

size_t FrameConverter::convert_block(const uint8_t* input, size_t input_bytes, uint8_t* output)
{
    const size_t frame_bytes = static_cast<size_t>(source_frame_bytes());
    uint8_t* out = output;
    if (partial_bytes_ > 0) {
        const size_t take = std::min(frame_bytes - partial_bytes_, input_bytes);
        std::copy(input, input + take, partial_ + partial_bytes_);
        partial_bytes_ += take;
        input += take;
        input_bytes -= take;
        if (partial_bytes_ < frame_bytes)
            return 0;
        convert_frame(partial_, out);
        partial_bytes_ = 0;
    }
    const size_t frames = input_bytes / frame_bytes;
    for (size_t i = 0; i < frames; ++i)
        convert_frame(input + i * frame_bytes, out);
    partial_bytes_ = input_bytes - frames * frame_bytes;
    std::copy(input + frames * frame_bytes, input + input_bytes, partial_);
    return static_cast<size_t>(out - output);
}

long convert_clipboard(const ClipboardFormat& source, const ClipboardFormat& destination,
                       int channel_mode)
{
    const std::string input_name = clipboard_data_path();
    const std::string output_name = converted_clipboard_path();
    if (!source.valid() || !destination.valid()) {
        NewErrMsg(5070);
        return -1;
    }
    Fd in(::open(input_name.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) {
        NewErrMsg(5070);
        return -1;
    }
    ::unlink(output_name.c_str());
    Fd out(::open(output_name.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644));
    if (out.fd < 0) {
        NewErrMsg(5070);
        return -1;
    }
    const off_t length = ::lseek(in.fd, 0, SEEK_END);
    if (length < 0 || ::lseek(in.fd, 0, SEEK_SET) < 0) {
        NewErrMsg(5070);
        return -1;
    }
    FrameConverter converter(source, destination, channel_mode);
    const size_t frame_bytes = static_cast<size_t>(converter.source_frame_bytes());
    size_t block = std::min<size_t>(kInputBlock, static_cast<size_t>(length));
    block = std::max(block / frame_bytes * frame_bytes, frame_bytes);
    std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[block]());
    std::unique_ptr<uint8_t[]> output(new (std::nothrow)
                                          uint8_t[converter.max_output_bytes(block) + 16]());
    if (!input || !output) {
        NewErrMsg(5071);
        ::unlink(output_name.c_str());
        return -1;
    }

    const int progress = display_message_dialog("Reformating waveform ...", 1);
    show_percent_done(progress, 0);
    long written = 0;
    long done = 0;
    bool ok = true;
    while (done < length) {
        const ssize_t n = read_full(in.fd, input.get(), block);
        if (n < 0) {
            NewErrMsg(5070);
            ok = false;
            break;
        }
        if (n == 0)
            break;
        const size_t whole = static_cast<size_t>(n) / frame_bytes * frame_bytes;
        const size_t produced = converter.convert_block(input.get(), whole, output.get());
        if (!write_all(out.fd, output.get(), produced)) {
            NewErrMsg(5031);
            ok = false;
            break;
        }
        written += static_cast<long>(produced);
        done += n;
        show_percent_done(progress, static_cast<int>(done * 100 / (length + 1)));
        if (cancel_button_pressed(progress)) {
            ok = false;
            break;
        }
        if (static_cast<size_t>(n) < block)
            break;
    }
    terminate_message_dialog(progress);
    if (!ok) {
        ::unlink(output_name.c_str());
        return -1;
    }
    return written;
}
