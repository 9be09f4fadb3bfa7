// Moving samples between files and memory in blocks of at most 32768 bytes.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/document/fd_io.h"
#include "editor/document/working_files.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

int channel_mode = 1;
int single_channel_copy = 0;
unsigned char* pSaveBuffer = nullptr;
unsigned long pSaveBuffer_size = 0;

namespace {

using fd_io::Fd;
using fd_io::read_some;
using fd_io::write_all;

constexpr unsigned long kBlock = 32768;
constexpr unsigned long kKernelPiece = 64UL << 20;

// Restores the cursor and closes the progress window on every way out.
struct CopyUi
{
    kel::Cursor previous;
    int progress = 0;
    CopyUi() : previous(kel::ui().set_cursor(kel::Cursor::Wait)) {}
    ~CopyUi()
    {
        if (progress)
            terminate_message_dialog(progress);
        kel::ui().set_cursor(previous);
    }
};

// Writes the active channel of every stereo frame into the other channel too.
void duplicate_channel(unsigned char* data, size_t bytes, int bytes_per_sample, int mode)
{
    const size_t frame = static_cast<size_t>(bytes_per_sample) * 2;
    const size_t frames = bytes / frame;
    for (size_t i = 0; i < frames; ++i) {
        unsigned char* f = data + i * frame;
        if (mode == 2)
            std::memcpy(f + bytes_per_sample, f, static_cast<size_t>(bytes_per_sample));
        else
            std::memcpy(f, f + bytes_per_sample, static_cast<size_t>(bytes_per_sample));
    }
}

// Every copy writes into a working file, so a failed write is the data directory's
// problem (a full disk, most often) and the user hears which.
int write_failed(int error)
{
    working_file_message(5031, error ? error : EIO);
    return 0;
}

bool disk_refused(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS;
}

} // namespace

int CChildFrame::compute_channel_mode() const
{
    if (wave_format.channels == 2 && (left_active != 0) != (right_active != 0))
        return left_active ? 2 : 3;
    return 1;
}

int CChildFrame::copy_file_to_file(const char* destination, const char* source,
                                   unsigned long byte_count, unsigned long source_offset,
                                   long destination_offset, int force_progress,
                                   const char* progress_text)
{
    if (!destination || !source)
        return 0;
    if (std::strcmp(destination, source) == 0)
        return 1;

    const unsigned long block = std::min(kBlock, byte_count);
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kBlock]());
    if (!buffer) {
        NewErrMsg(5026);
        return 0;
    }
    CopyUi guard;

    Fd in(::open(source, O_RDONLY | O_CLOEXEC));
    if (!in.ok())
        return 0;
    Fd out(::open(destination, O_RDWR | O_CLOEXEC));
    if (!out.ok())
        return 0;
    posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    if (::lseek(in.get(), static_cast<off_t>(source_offset), SEEK_SET) < 0)
        return 0;
    off_t at = destination_offset == -1
                   ? ::lseek(out.get(), 0, SEEK_END)
                   : ::lseek(out.get(), std::max(0L, destination_offset), SEEK_SET);
    if (at < 0)
        return 0;

    const unsigned long rate = wave_format.sample_rate ? wave_format.sample_rate : 1;
    if (byte_count > 0 && (byte_count / rate >= 6 || force_progress)) {
        guard.progress =
            display_message_dialog(progress_text ? progress_text : "Updating buffers ...", 1);
        show_percent_done(guard.progress, 0);
    }

    channel_mode = single_channel_copy ? compute_channel_mode() : 1;
    const bool duplicate = channel_mode != 1;

    unsigned long done = 0;
    unsigned long want = block;
    // Without channel duplication the kernel copies each block itself, sparing a trip
    // through our buffer; where it cannot (another file system), read and write it is.
    bool in_kernel = !duplicate;
    const unsigned long kernel_piece =
        std::clamp(byte_count / 16 / kBlock * kBlock, kBlock, kKernelPiece);
    while (done < byte_count) {
        want = std::min(want, byte_count - done);
        if (in_kernel) {
            // Each call has a fixed cost in the kernel, so long copies go in pieces of
            // many blocks: still whole blocks, and still a hundred or more progress steps.
            const unsigned long piece = std::min(kernel_piece, byte_count - done);
            ssize_t n = ::copy_file_range(in.get(), nullptr, out.get(), nullptr, piece, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                in_kernel = false;
                continue;
            }
            if (n < 0)
                return disk_refused(errno) ? write_failed(errno) : 0;
            if (n == 0)
                return 0; // the source ended before the count: a short copy is a failure
            done += static_cast<unsigned long>(n);
            if (guard.progress) {
                if (cancel_button_pressed(guard.progress))
                    return 0;
                show_percent_done(guard.progress, static_cast<int>(done * 100 / (byte_count + 1)));
            }
            continue;
        }
        ssize_t n = read_some(in.get(), buffer.get(), want);
        if (n < 1)
            return 0;
        if (duplicate)
            duplicate_channel(buffer.get(), static_cast<size_t>(n), bytes_per_sample(),
                              channel_mode);
        errno = 0;
        if (!write_all(out.get(), buffer.get(), static_cast<size_t>(n)))
            return write_failed(errno);
        done += static_cast<unsigned long>(n);
        if (guard.progress) {
            if (cancel_button_pressed(guard.progress))
                return 0;
            show_percent_done(guard.progress, static_cast<int>(done * 100 / (byte_count + 1)));
        }
    }
    return 1;
}

int copy_file_to_memory(const char* file_name, void* buffer, long buffer_offset, long byte_count,
                        long file_offset, int wait_cursor)
{
    if (!file_name || !buffer)
        return 0;
    // The count read must fit the result, or a short read could pass for a whole one.
    if (byte_count > INT_MAX)
        return -1;
    buffer_offset = std::max(0L, buffer_offset);
    file_offset = std::max(0L, file_offset);
    kel::Cursor previous{};
    if (wait_cursor)
        previous = kel::ui().set_cursor(kel::Cursor::Wait);
    int result;
    {
        Fd fd(::open(file_name, O_RDONLY | O_CLOEXEC));
        if (!fd.ok()) {
            result = 0;
        } else {
            unsigned char* dst = static_cast<unsigned char*>(buffer) + buffer_offset;
            long done = 0;
            result = 0;
            while (done < byte_count) {
                ssize_t n = ::pread(fd.get(), dst + done, static_cast<size_t>(byte_count - done),
                                    file_offset + done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    done = -1;
                    break;
                }
                if (n == 0)
                    break;
                done += n;
            }
            result = static_cast<int>(done);
        }
    }
    if (wait_cursor)
        kel::ui().set_cursor(previous);
    return result;
}

int copy_memory_to_file(const char* file_name, const char* buffer, long buffer_offset,
                        unsigned long byte_count, long file_offset, int wait_cursor)
{
    if (!file_name || !buffer)
        return 0;
    buffer_offset = std::max(0L, buffer_offset);
    file_offset = std::max(0L, file_offset);
    Fd fd(::open(file_name, O_WRONLY | O_CLOEXEC));
    if (!fd.ok()) {
        kel::ui().beep();
        kel::ui().message_box(std::string("CMTF: Was not able to open file ") + file_name,
                              "Record File", kel::Buttons::Ok, kel::Icon::Exclamation);
        return 0;
    }
    kel::Cursor previous{};
    if (wait_cursor)
        previous = kel::ui().set_cursor(kel::Cursor::Wait);
    const char* src = buffer + buffer_offset;
    unsigned long done = 0;
    bool ok = true;
    errno = 0;
    while (done < byte_count) {
        ssize_t n = ::pwrite(fd.get(), src + done, byte_count - done,
                             static_cast<off_t>(file_offset + static_cast<long>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<unsigned long>(n);
    }
    const int error = ok ? 0 : (errno ? errno : EIO);
    if (wait_cursor)
        kel::ui().set_cursor(previous);
    if (!ok)
        write_failed(error);
    return ok ? 1 : 0;
}

unsigned long compute_sample_length(unsigned long total, unsigned long alignment,
                                    unsigned long largest_block)
{
    if (alignment == 0)
        alignment = 1;
    if (largest_block == 0)
        return 0;
    unsigned long block;
    if (total <= largest_block) {
        block = total;
    } else {
        const unsigned long q = total / largest_block;
        block = largest_block;
        if (q * largest_block != total) {
            while ((q + 1) * block > total && block > largest_block / 2)
                block -= 2;
        }
    }
    return block / alignment * alignment;
}

void shitcan_pSaveBuffer()
{
    delete[] pSaveBuffer;
    pSaveBuffer = nullptr;
    pSaveBuffer_size = 0;
}

unsigned char* CChildFrame::make_pSaveBuffer_single_display(unsigned long offset_in_selection,
                                                            unsigned long* file_position,
                                                            int frame_count)
{
    shitcan_pSaveBuffer();
    const unsigned long size =
        static_cast<unsigned long>(std::max(frame_count, 0)) * wave_format.block_align;
    pSaveBuffer = new (std::nothrow) unsigned char[size ? size : 1]();
    if (!pSaveBuffer) {
        NewErrMsg(5001);
        return nullptr;
    }
    pSaveBuffer_size = size;
    const unsigned long position =
        static_cast<unsigned long>(current.select_start) * bytes_per_sample() + offset_in_selection;
    if (file_position)
        *file_position = position;
    copy_file_to_memory(current.file_name, pSaveBuffer, 0, static_cast<long>(size),
                        static_cast<long>(position), 0);
    return pSaveBuffer;
}
