// Head, middle and tail of a combined working file, with the lengths each operation gives:
//
//   code                 tail from          tail length   new length
//   11303 cut            e                  T - e         s + (T - e), at least 4
//   11304 insert, 11518  s                  T - s         T + L
//   11305 paste          e                  T - e         s + L + (T - e)
//   11306/11307          min(s + L, T)      T - that      s + L + tail
//   11311 cross-fade     (none)             0             s + L
//   11302 crop           the clipboard whole              L
#include "editor/edit/combine_engine.h"

#include "common/host_services.h"
#include "editor/edit/clipboard_files.h"
#include "editor/edit/format_converter.h"
#include "editor/edit/mixing.h"
#include "editor/files/wave_header.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long kPiece = 32768;
constexpr long kMinimumBytes = 4;

long length_of(const std::string& name)
{
    struct stat st = {};
    if (::stat(name.c_str(), &st) != 0)
        return -1;
    return static_cast<long>(st.st_size);
}

// Appends `count` bytes of silence (128 for 8-bit data, 0 for 16-bit) to the file.
bool append_silence(const char* file, long count, int bytes_per_sample)
{
    int fd = ::open(file, O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char piece[kPiece];
    std::memset(piece, bytes_per_sample == 1 ? 128 : 0, sizeof piece);
    bool ok = true;
    while (count > 0 && ok) {
        const long n = std::min(count, kPiece);
        ssize_t w = ::write(fd, piece, static_cast<size_t>(n));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            ok = false;
            break;
        }
        count -= w;
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

bool known_code(int code)
{
    switch (code) {
    case 11302:
    case 11303:
    case 11304:
    case 11305:
    case 11306:
    case 11307:
    case 11311:
    case 11518:
        return true;
    default:
        return false;
    }
}

int converter_channel_mode(const CChildFrame& doc)
{
    if ((doc.left_active != 0) != (doc.right_active != 0))
        return doc.left_active ? 2 : 3;
    return 1;
}

// Bytes of clipboard data the operation will take, in the destination's format, as the
// clipboard copy and the conversion will make them; -1 when that cannot be known before
// the work (no clipboard), which the work itself then reports.
long planned_clipboard_bytes(CChildFrame* source, CChildFrame& d, int copy_first)
{
    ClipboardFormat from;
    long bytes = 0;
    if (copy_first) {
        from = document_format(*source);
        const long bps = source->bytes_per_sample();
        const long align = std::max<long>(1, source->wave_format.block_align);
        const long end = std::clamp(source->current.select_end, 0L, source->current.total_samples);
        const long start = std::clamp(source->current.select_start, 0L, end);
        bytes = end * bps / align * align - start * bps / align * align;
    } else {
        from = read_clipboard_format();
        bytes = length_of(clipboard_data_path());
        if (!from.valid() || bytes < 0)
            return -1;
    }
    const ClipboardFormat to = document_format(d);
    if (!(from == to))
        bytes = static_cast<long>(FrameConverter(from, to, converter_channel_mode(d))
                                      .output_bytes_for(static_cast<uint64_t>(bytes)));
    const long align = std::max<long>(1, d.wave_format.block_align);
    return bytes / align * align;
}

// The new length by the table above.
long combined_length(int code, long total, long s, long e, long length)
{
    switch (code) {
    case 11303:
        return s + (total - e);
    case 11304:
    case 11518:
        return total + length;
    case 11305:
        return s + length + (total - e);
    case 11306:
    case 11307:
        return std::max(s + length, total);
    case 11311:
        return s + length;
    default:
        return length;
    }
}

// Refuses a result that no wave file could hold, before anything is done.
bool fits_a_wave_file(long bytes)
{
    if (bytes < 0 || static_cast<uint64_t>(bytes) <= kMaxWaveDataBytes)
        return true;
    char text[400];
    std::snprintf(text, sizeof text,
                  "This edit would make the sound longer than a WAVE file can hold.\n%llu bytes "
                  "of samples; a WAVE file holds at most %llu (4 GiB). Nothing was changed.",
                  static_cast<unsigned long long>(bytes),
                  static_cast<unsigned long long>(kMaxWaveDataBytes));
    kel::ui().message_box(text, "Kelvara", kel::Buttons::Ok, kel::Icon::Exclamation);
    return false;
}

} // namespace

bool has_highlighted_section(const CChildFrame& doc)
{
    return doc.current.has_selection && doc.current.select_end > doc.current.select_start;
}

bool clipboard_for_destination(CChildFrame& destination, std::string& file, long& length_bytes)
{
    // The recorded format alone decides: the document it came from may be gone.
    const ClipboardFormat from = read_clipboard_format();
    if (!from.valid()) {
        NewErrMsg(5070);
        return false;
    }
    const ClipboardFormat to = document_format(destination);
    g_clipboard.destination_format = format_text(to);
    const long align = std::max<long>(1, destination.wave_format.block_align);
    if (from == to) {
        file = clipboard_data_path();
        const long n = length_of(file);
        if (n < 0) {
            NewErrMsg(5070);
            return false;
        }
        length_bytes = n / align * align;
        return true;
    }
    const long n = convert_clipboard(from, to, converter_channel_mode(destination));
    if (n < 0)
        return false;
    file = converted_clipboard_path();
    length_bytes = n / align * align;
    return true;
}

int combine_selection(CChildFrame* source, CChildFrame& destination, int copy_first, int code)
{
    CChildFrame& d = destination;
    if (!known_code(code))
        return 0;
    if (code == 11302 && (!source || !has_highlighted_section(*source)))
        return 0;
    if (copy_first && !source)
        return 0;
    const bool uses_clipboard = code != 11303 && code != 11518;
    if (uses_clipboard && !copy_first && !clipboard_has_data()) {
        kel::ui().beep();
        return 0;
    }

    const long bps = d.bytes_per_sample();
    const long align = std::max<long>(1, d.wave_format.block_align);
    const long total = d.current.total_samples * bps;
    const long e = std::clamp(d.current.select_end * bps / align * align, 0L, total);
    const long s = std::clamp(d.current.select_start * bps / align * align, 0L, e);
    long length = 0;
    if (code == 11518) {
        length = g_clipboard.silence_samples * bps / align * align;
        if (length <= 0)
            return 0;
    }

    // A result past what a wave file holds could never be saved: refuse it first.
    if (code != 11303 && code != 11302) {
        const long planned =
            uses_clipboard ? planned_clipboard_bytes(source, d, copy_first) : length;
        if (planned >= 0 && !fits_a_wave_file(combined_length(code, total, s, e, planned)))
            return 0;
    }

    if (!d.setup_for_undo(d.window, 0))
        return 0;
    auto fail = [&d]() {
        d.abandon_undo_setup();
        return 0;
    };
    // Everything before the section stays as it is, except after a crop.
    if (code != 11302)
        d.keep_overview_head(s);
    if (copy_first && !copy_to_clipboard(*source))
        return fail();

    std::string clip;
    if (uses_clipboard && !clipboard_for_destination(d, clip, length))
        return fail();

    const char* redo = d.redo_file();
    const char* work = d.working_file();
    long new_length = 0;
    if (code == 11302) {
        if (length > 0 &&
            !d.copy_file_to_file(redo, clip.c_str(), static_cast<unsigned long>(length), 0, -1, 0,
                                 "Copying file..."))
            return fail();
        new_length = length;
    } else {
        long tail_from = 0;
        long tail_length = 0;
        switch (code) {
        case 11303:
            tail_from = e;
            tail_length = total - e;
            new_length = s + tail_length;
            break;
        case 11304:
        case 11518:
            tail_from = s;
            tail_length = total - s;
            new_length = total + length;
            break;
        case 11305:
            tail_from = e;
            tail_length = total - e;
            new_length = s + length + tail_length;
            break;
        case 11306:
        case 11307:
            tail_from = std::min(s + length, total);
            tail_length = total - tail_from;
            new_length = s + length + tail_length;
            break;
        case 11311:
            // The result ends where the clipboard data end.
            new_length = s + length;
            break;
        }
        // The tail is the current file's; its overview is taken while the rest is copied.
        if (tail_length > 0)
            d.keep_overview_tail(tail_from, new_length - tail_length);
        if (s > 0 && !d.copy_file_to_file(redo, work, static_cast<unsigned long>(s), 0, 0, 0,
                                          "Copying file..."))
            return fail();
        switch (code) {
        case 11304:
        case 11305:
        case 11306:
            if (length > 0 &&
                !d.copy_file_to_file(redo, clip.c_str(), static_cast<unsigned long>(length), 0, -1,
                                     0, "Copying file..."))
                return fail();
            break;
        case 11307:
        case 11311: {
            MixSettings mix;
            mix.code = code;
            mix.source_gain = g_clipboard.source_gain;
            mix.destination_gain = g_clipboard.destination_gain;
            mix.exponential = g_clipboard.crossfade_exponential != 0;
            if (code == 11307 && (g_clipboard.mix_left != 0) != (g_clipboard.mix_right != 0))
                mix.target = g_clipboard.mix_left ? MixTarget::Left : MixTarget::Right;
            if (!mix_into_redo(d, clip.c_str(), length, s, mix))
                return fail();
            break;
        }
        case 11518:
            if (!append_silence(redo, length, static_cast<int>(bps))) {
                NewErrMsg(5031);
                return fail();
            }
            break;
        default:
            break;
        }

        if (tail_length > 0 &&
            !d.copy_file_to_file(redo, work, static_cast<unsigned long>(tail_length),
                                 static_cast<unsigned long>(tail_from), -1, 0, "Copying file..."))
            return fail();
    }

    // The length tells the truth about every piece written.
    if (length_of(redo) != new_length) {
        NewErrMsg(5031);
        return fail();
    }
    if (!fits_a_wave_file(new_length))
        return fail();
    if (new_length < kMinimumBytes) {
        if (!append_silence(redo, kMinimumBytes - new_length, static_cast<int>(bps))) {
            NewErrMsg(5031);
            return fail();
        }
        new_length = kMinimumBytes;
    }
    d.redo.total_samples = new_length / bps;

    if (code == 11303) {
        // What was cut leaves a caret where it began.
        d.current.select_start = d.current.select_end = s / bps;
        d.current.has_selection = 0;
    } else if (code == 11302) {
        d.current.select_start = 0;
        d.current.select_end = d.redo.total_samples;
        d.current.has_selection = 0;
    }
    return d.setup_for_redo(d.window, code, 0);
}
