// Trim: everything outside the highlighted section becomes silence; the length stays.
#include "common/host_services.h"
#include "editor/edit/combine_engine.h"
#include "editor/edit/edit_commands.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr long kPiece = 32768;

bool silence_range(int fd, long from, long to, int bytes_per_sample)
{
    unsigned char piece[kPiece];
    std::memset(piece, bytes_per_sample == 1 ? 128 : 0, sizeof piece);
    while (from < to) {
        const long n = std::min(kPiece, to - from);
        ssize_t w = ::pwrite(fd, piece, static_cast<size_t>(n), from);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        from += w;
    }
    return true;
}

} // namespace

int edit_trim(CChildFrame& doc)
{
    if (!has_highlighted_section(doc)) {
        kel::ui().beep();
        return 0;
    }
    if (!doc.setup_for_undo(doc.window, 0))
        return 0;
    auto fail = [&doc]() {
        doc.abandon_undo_setup();
        return 0;
    };
    if (!doc.copy_selected_area_to_pseudo_clipboard(doc.window))
        return fail();

    const char* redo = doc.redo_file();
    ::unlink(redo);
    int fd = ::open(redo, O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0644);
    if (fd < 0) {
        char text[400];
        std::snprintf(text, sizeof text, "Files 624: Cannot create output file %s", redo);
        kel::ui().message_box(text, "Oops...", kel::Buttons::Ok, kel::Icon::Exclamation);
        return fail();
    }
    ::close(fd);

    const long bps = doc.bytes_per_sample();
    const long total = doc.current.total_samples * bps;
    if (total > 0 &&
        !doc.copy_file_to_file(redo, doc.working_file(), static_cast<unsigned long>(total), 0, 0, 1,
                               "Saving file ..."))
        return fail();
    const long s = std::clamp(doc.current.select_start * bps, 0L, total);
    const long e = std::clamp(doc.current.select_end * bps, s, total);
    fd = ::open(redo, O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && silence_range(fd, 0, s, static_cast<int>(bps)) &&
              silence_range(fd, e, total, static_cast<int>(bps));
    if (fd >= 0)
        ok = ::close(fd) == 0 && ok;
    if (!ok) {
        NewErrMsg(5031);
        return fail();
    }
    return doc.setup_for_redo(doc.window, 1881, 0);
}
