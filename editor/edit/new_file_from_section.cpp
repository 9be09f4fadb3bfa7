// A highlighted section dropped on the main window's empty area becomes a new document.
#include "common/host_services.h"
#include "editor/document/recovery.h"
#include "editor/document/working_files.h"
#include "editor/edit/edit_commands.h"
#include "editor/files/new_file.h"
#include "platform/riff.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

struct SingleChannelCopy
{
    SingleChannelCopy() { single_channel_copy = 1; }
    ~SingleChannelCopy() { single_channel_copy = 0; }
};

} // namespace

std::unique_ptr<CChildFrame> new_file_from_section(CChildFrame& source)
{
    last_format = source.wave_format;
    // Made in the run's folder, so that no file of the user's is in the way.
    const std::string dir = run_directory();
    char name[64];
    std::snprintf(name, sizeof name, "SAMPLE%d.WAV", g_new_file_counter++);
    const std::string path = dir + name;

    auto file = dir.empty() ? nullptr : kel::riff::File::open(path, kel::riff::File::Mode::Create);
    if (!file) {
        const int error = dir.empty() ? data_directory_error() : errno;
        kel::ui().beep();
        ErrMsg("Can't create new wave file %s\n%s", name, working_file_problem(error).c_str());
        return nullptr;
    }
    auto give_up = [&]() -> std::unique_ptr<CChildFrame> {
        if (file)
            file->close();
        ::unlink(path.c_str());
        return nullptr;
    };
    if (!create_waveform_format_header(file.get(), 0))
        return give_up();
    if (!file->close()) {
        NewErrMsg(5031);
        return give_up();
    }
    file.reset();

    const long bps = source.bytes_per_sample();
    const long align = std::max<long>(1, source.wave_format.block_align);
    const long end = std::clamp(source.current.select_end, 0L, source.current.total_samples);
    const long start = std::clamp(source.current.select_start, 0L, end);
    const long first = start * bps / align * align;
    const long last = end * bps / align * align;
    int copied;
    {
        SingleChannelCopy single;
        copied = last <= first || source.copy_file_to_file(path.c_str(), source.working_file(),
                                                           static_cast<unsigned long>(last - first),
                                                           static_cast<unsigned long>(first), -1, 0,
                                                           "Creating new file...");
    }
    if (!copied)
        return give_up();

    file = kel::riff::File::open(path, kel::riff::File::Mode::ReadWrite);
    if (!file || file->seek(0, SEEK_END) < 0 ||
        ascend_and_update_waveform_file(file.get()) != kel::riff::kOk || !file->close()) {
        NewErrMsg(5031);
        return give_up();
    }
    file.reset();

    auto doc = CChildFrame::create_from_file(path.c_str());
    ::unlink(path.c_str());
    if (!doc)
        return nullptr;
    doc->is_modified = 1;
    std::snprintf(doc->file_title, sizeof doc->file_title, "%.19s", name);
    doc->remember_file("");
    recovery::note(*doc);
    return doc;
}
