#include "editor/files/plugin_command.h"

#include "common/host_services.h"
#include "common/wave_format.h"
#include "editor/edit/combine_engine.h"
#include "editor/files/plugin_host.h"
#include "editor/files/wave_header.h"
#include "editor/files/wave_save.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int kSelectPluginsCommand = 181;

long file_bytes(const char* name)
{
    struct stat st;
    return stat(name, &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// Both exchange files go when the command ends, however it ends.
struct ExchangeFiles
{
    std::string in = plugin_input_file(), out = plugin_output_file();
    ExchangeFiles() { remove_both(); }
    ~ExchangeFiles() { remove_both(); }
    void remove_both()
    {
        std::remove(in.c_str());
        std::remove(out.c_str());
    }
};

} // namespace

std::string plugin_input_file()
{
    return run_directory() + "DRXIN.WAV";
}

std::string plugin_output_file()
{
    return run_directory() + "DRXOUT.WAV";
}

int select_plugins_command(CChildFrame& doc, HWND window)
{
    if (run_directory().empty())
        return 0;
    ExchangeFiles files;
    const bool highlighted = has_highlighted_section(doc);
    if (!save_wave_intermediate(doc, files.in.c_str(), highlighted, save_format_of(doc)))
        return 0;
    if (!PlugInProcessFile(files.in.c_str(), files.out.c_str(), window))
        return 0;

    // The result must be the document's own format: its bytes go in as they are.
    if (!ReadInputWaveformHeader(files.out.c_str(), 1))
        return 0;
    const WaveFormat& f = doc.wave_format;
    if (last_format_tag != 1 || last_format.channels != f.channels ||
        last_format.sample_rate != f.sample_rate ||
        last_format.bits_per_sample != f.bits_per_sample || data_declared_size != 0) {
        ErrMsg("%s", "The plug-in's result is not in the format of the sound; the sound is "
                     "unchanged.");
        return 0;
    }
    const long bps = std::max(1, doc.bytes_per_sample());
    const long frame = bps * std::max<int>(1, f.channels);
    const unsigned long result_bytes = data_size / frame * frame;
    const unsigned long result_offset = static_cast<unsigned long>(data_offset);

    // The same whole-frame section the input file was written from.
    const long total = std::max(0L, doc.current.total_samples) * bps / frame * frame;
    long start = 0, end = total;
    if (highlighted) {
        end = std::clamp(doc.current.select_end * bps / frame * frame, 0L, total);
        start = std::clamp(doc.current.select_start * bps / frame * frame, 0L, end);
    }
    if (static_cast<unsigned long long>(total - (end - start)) + result_bytes > kMaxWaveDataBytes) {
        ErrMsg("%s", "The plug-in's result would make the file longer than a wave file can hold.");
        return 0;
    }

    if (!doc.setup_for_undo(window, 0))
        return 0;
    auto fail = [&]() {
        doc.abandon_undo_setup();
        return 0;
    };
    const char* out = files.out.c_str();
    if (start > 0 && !doc.copy_file_to_file(doc.redo_file(), doc.working_file(), start, 0, -1, 0,
                                            "Copying file...")) {
        ErrMsg("Orlo line 1565: failed to copy szFileName = %s to szRedoFileName = %s",
               doc.working_file(), doc.redo_file());
        return fail();
    }
    if (result_bytes > 0 && !doc.copy_file_to_file(doc.redo_file(), out, result_bytes,
                                                   result_offset, -1, 0, "Copying file...")) {
        ErrMsg("%s", "Orlo line 1545: Failed to copy converted file to szRedoFileName");
        return fail();
    }
    if (total > end && !doc.copy_file_to_file(doc.redo_file(), doc.working_file(), total - end, end,
                                              -1, 0, "Copying file...")) {
        ErrMsg("Orlo line 1565: failed to copy szFileName = %s to szRedoFileName = %s",
               doc.working_file(), doc.redo_file());
        return fail();
    }
    const long want = start + static_cast<long>(result_bytes) + (total - end);
    if (file_bytes(doc.redo_file()) != want) {
        NewErrMsg(5031);
        return fail();
    }
    doc.current.total_samples = want / bps;
    doc.redo.total_samples = doc.current.total_samples;
    if (highlighted) {
        doc.current.select_start = start / bps;
        doc.current.select_end = (start + static_cast<long>(result_bytes)) / bps;
    }
    doc.is_modified = 1;
    doc.keep_overview_head(start);
    return doc.setup_for_redo(window, kSelectPluginsCommand, 0);
}
