// Filling and emptying the pseudo clipboard.
#include "editor/edit/clipboard_files.h"

#include "common/host_services.h"
#include "editor/document/working_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

ClipboardState g_clipboard;

namespace {

// Switches single-channel copying on for exactly one copy.
struct SingleChannelCopy
{
    SingleChannelCopy() { single_channel_copy = 1; }
    ~SingleChannelCopy() { single_channel_copy = 0; }
};

bool create_truncated(const std::string& name)
{
    int fd = ::open(name.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool write_text_file(const std::string& name, const std::string& text)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

} // namespace

bool ClipboardFormat::valid() const
{
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate > 0 &&
           rate <= 1000000;
}

std::string clipboard_data_path()
{
    return run_directory() + "clipbord.clp";
}

std::string clipboard_text_path()
{
    return run_directory() + "cliptext.clp";
}

std::string converted_clipboard_path()
{
    return run_directory() + "convclip.clp";
}

std::string format_text(const ClipboardFormat& format)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d%s%d%s%ld", format.channels, " ", format.bits, " ",
                  format.rate);
    return text;
}

std::string format_text(const WaveFormat& format)
{
    return format_text(ClipboardFormat{format.channels, format.bits_per_sample,
                                       static_cast<long>(format.sample_rate)});
}

ClipboardFormat document_format(const CChildFrame& doc)
{
    return ClipboardFormat{doc.wave_format.channels, doc.wave_format.bits_per_sample,
                           static_cast<long>(doc.wave_format.sample_rate)};
}

ClipboardFormat parse_format_text(const std::string& text)
{
    ClipboardFormat f;
    std::istringstream in(text);
    if (!(in >> f.channels >> f.bits >> f.rate))
        return ClipboardFormat{};
    return f;
}

ClipboardFormat read_clipboard_format()
{
    std::ifstream in(clipboard_text_path(), std::ios::binary);
    if (!in)
        return ClipboardFormat{};
    std::string line;
    std::getline(in, line);
    return parse_format_text(line);
}

bool clipboard_has_data()
{
    return g_clipboard.has_data && ::access(clipboard_data_path().c_str(), R_OK) == 0;
}

int copy_to_clipboard(CChildFrame& source)
{
    channel_mode = source.compute_channel_mode();
    const std::string data_name = clipboard_data_path();
    const std::string text_name = clipboard_text_path();
    // Built beside the real files and put in place only when complete, so a failed copy
    // cannot leave data of one document under the format of another.
    const std::string data_part = run_directory() + "clipbord.part";
    const std::string text_part = run_directory() + "cliptext.part";

    if (run_directory().empty() || !create_truncated(data_part)) {
        working_file_message(5031, run_directory().empty() ? data_directory_error() : errno);
        return 0;
    }
    const long bps = source.bytes_per_sample();
    const long align = std::max<long>(1, source.wave_format.block_align);
    const long end = std::clamp(source.current.select_end, 0L, source.current.total_samples);
    const long start = std::clamp(source.current.select_start, 0L, end);
    const long first = start * bps / align * align;
    const long last = end * bps / align * align;
    int ok;
    {
        SingleChannelCopy single;
        ok = last <= first ||
             source.copy_file_to_file(data_part.c_str(), source.working_file(),
                                      static_cast<unsigned long>(last - first),
                                      static_cast<unsigned long>(first), 0, 0, "Copying file...");
    }
    const std::string text = format_text(source.wave_format);
    if (!ok || !write_text_file(text_part, text)) {
        ::unlink(data_part.c_str());
        ::unlink(text_part.c_str());
        return 0;
    }
    if (std::rename(data_part.c_str(), data_name.c_str()) != 0) {
        ::unlink(data_part.c_str());
        ::unlink(text_part.c_str());
        return 0;
    }
    if (std::rename(text_part.c_str(), text_name.c_str()) != 0) {
        // Data without its format would be read wrongly; better no clipboard at all.
        ::unlink(text_part.c_str());
        erase_clipboard();
        return 0;
    }
    g_clipboard.has_data = 1;
    g_clipboard.source_window = source.window;
    g_clipboard.source_format = text;
    return 1;
}

void erase_clipboard()
{
    ::unlink(clipboard_data_path().c_str());
    ::unlink(clipboard_text_path().c_str());
    g_clipboard.has_data = 0;
    g_clipboard.source_window = nullptr;
    g_clipboard.source_format.clear();
}
