// Filling a new document's working file from its wave file in one pass: each piece is
// copied (by the kernel where it can) and its overview groups are taken at once, while
// the piece is still in the processor's cache, instead of a second walk over the file.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/document/fd_io.h"
#include "editor/document/overview_survey.h"
#include "editor/document/working_files.h"
#include "platform/mapped_file.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

using fd_io::Fd;

constexpr long kLargestPiece = 256 * 1024;
constexpr long kSmallestPiece = 32 * 1024;
static_assert(kLargestPiece % kSurveyGroupBytes == 0 && kSmallestPiece % kSurveyGroupBytes == 0);

struct FillUi
{
    kel::Cursor previous;
    int progress = 0;
    FillUi() : previous(kel::ui().set_cursor(kel::Cursor::Wait)) {}
    ~FillUi()
    {
        if (progress)
            terminate_message_dialog(progress);
        kel::ui().set_cursor(previous);
    }
};

bool disk_refused(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS;
}

} // namespace

long fill_piece_bytes(long total_bytes)
{
    return std::clamp(total_bytes / 16 / kSurveyGroupBytes * kSurveyGroupBytes, kSmallestPiece,
                      kLargestPiece);
}

int CChildFrame::fill_working_file(const char* source, unsigned long source_offset,
                                   unsigned long bytes, const char* progress_text)
{
    FileSlot& slot = current;
    slot.clear_levels();
    const int bps = std::max(1, bytes_per_sample());
    const int channels = wave_format.channels == 2 ? 2 : 1;
    slot.total_samples = static_cast<long>(bytes / static_cast<unsigned long>(bps));
    set_levels(slot);
    const long total = slot.total_samples * bps;
    const bool overview = total >= 9 && slot.level_count >= 2;
    const long piece = fill_piece_bytes(total);

    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[piece]);
    if (!buffer) {
        NewErrMsg(5026);
        return 0;
    }
    if (overview && !make_overview_store(slot, SlotRole::Current))
        return 0;
    void* store = overview ? slot.mapping[1]->data() : nullptr;

    FillUi guard;
    Fd in(::open(source, O_RDONLY | O_CLOEXEC));
    if (!in.ok())
        return 0;
    Fd out(::open(slot.file_name, O_RDWR | O_CLOEXEC));
    if (!out.ok())
        return 0;
    posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    if (::lseek(in.get(), static_cast<off_t>(source_offset), SEEK_SET) < 0)
        return 0;
    if (total > 0) {
        guard.progress =
            display_message_dialog(progress_text ? progress_text : "Updating buffers ...", 1);
        show_percent_done(guard.progress, 0);
    }

    long done = 0;     // bytes in the working file
    long surveyed = 0; // bytes whose groups are in the overview (a group boundary)
    long written = 0;  // words in the overview
    // Takes the groups up to `limit` from the working file, where the copy left them.
    auto survey_copied = [&](long limit) {
        while (surveyed < limit) {
            const long n = std::min(piece, limit - surveyed);
            if (fd_io::pread_full(out.get(), buffer.get(), n, surveyed) != n)
                return false;
            written = survey_groups(buffer.get(), n, channels, bps, store, written);
            surveyed += n;
        }
        return true;
    };
    bool in_kernel = true;
    while (done < total) {
        const long want = std::min(piece, total - done);
        long got = 0;
        bool from_buffer = false;
        if (in_kernel) {
            const ssize_t n = ::copy_file_range(in.get(), nullptr, out.get(), nullptr,
                                                static_cast<size_t>(want), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                in_kernel = false;
                continue;
            }
            if (n < 0) {
                if (disk_refused(errno))
                    working_file_message(5031, errno);
                return 0;
            }
            if (n == 0)
                return 0; // the source ended before its data did
            got = n;
        } else {
            const ssize_t n = fd_io::read_full(in.get(), buffer.get(), static_cast<size_t>(want));
            if (n < 1)
                return 0;
            errno = 0;
            if (!fd_io::write_all(out.get(), buffer.get(), static_cast<size_t>(n))) {
                working_file_message(5031, errno ? errno : EIO);
                return 0;
            }
            got = n;
            // A whole piece from a group boundary (or the last one) is surveyed as it is.
            from_buffer = overview && surveyed == done && (got == want || done + got == total);
        }
        if (overview) {
            if (from_buffer) {
                written = survey_groups(buffer.get(), got, channels, bps, store, written);
                surveyed += got;
            } else {
                const long end = done + got;
                const long limit = end == total ? end : end / kSurveyGroupBytes * kSurveyGroupBytes;
                if (!survey_copied(limit)) {
                    ErrMsg("%s", "Get Access violation");
                    return 0;
                }
            }
        }
        done += got;
        if (guard.progress) {
            if (cancel_button_pressed(guard.progress))
                return 0;
            show_percent_done(guard.progress, static_cast<int>(static_cast<unsigned long>(done) *
                                                               100 / (bytes + 1)));
        }
    }
    if (overview && !survey_copied(total)) {
        ErrMsg("%s", "Get Access violation");
        return 0;
    }

    if (total < 9)
        return 1;
    if (!map_top_level(slot))
        return 0;
    if (overview) {
        slot.level_samples[1] = written;
        slot.zoom_factor = slot.base_factor;
        slot.zoom_level = slot.level_count;
    }
    return 1;
}
