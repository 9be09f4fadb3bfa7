#include "editor/files/adpcm_files.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/files/outside_program.h"
#include "editor/files/wave_convert.h"
#include "platform/paths.h"
#include "platform/safe_write.h"
#include "platform/ui.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace {

bool same_file(const std::string& a, const std::string& b)
{
    struct stat sa
    {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string folder_of(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

int open_compressed_adpcm(const std::string& adpcm_path, std::string& pcm_path)
{
    const std::string title = kel::paths::file_part(adpcm_path);
    const std::string question = title + " is a compressed ADPCM file.\nConvert to PCM?";
    if (kel::ui().message_box(question, "File Conversion", kel::Buttons::YesNo,
                              kel::Icon::Question) != kel::kIdYes)
        return 0;

    kel::FileDialogRequest request;
    request.save = true;
    request.title = "Compress Waveform File";
    request.directory = folder_of(adpcm_path);
    request.filter = "Microsoft PCM Files (*.wav)|*.wav|All Files (*.*)|*.*";
    const std::string target = kel::ui().file_dialog(request);
    if (target.empty())
        return 0;
    // Clearing the signal files first would delete the very file to convert.
    if (same_file(adpcm_path, out_adpcm_file().c_str()))
        return ErrMsg("Failed to decompress file");

    delete_signal_files();
    const long program = start_outside_program(kWaveconvProgram, {adpcm_path, "0"}, true);
    if (!program)
        return ErrMsg("Compression algorithm not found. Returning.");
    wait_for_finished(program);
    if (!file_exists(out_adpcm_file().c_str()))
        return ErrMsg("Failed to decompress file");
    // The decoded file replaces the chosen one only once it is complete and on disk.
    kel::SafeWrite out(target);
    int error = 0;
    if (!move_into(out_adpcm_file(), out, error) || !out.commit())
        return ErrMsgDetail("Failed to rename file",
                            kel::file_error_text(error ? error : out.error()));
    pcm_path = target;
    return 1;
}

int compress_wave_file(const std::string& pcm_path, const std::string& target)
{
    kel::SafeWrite out(target);
    if (!out.ok()) {
        NewErrMsg(5031, out.error_text());
        return 0;
    }
    // The converter writes the temporary file beside the target; a failure or Cancel there
    // drops it, and the earlier file stays as it was.
    if (!convert_wave_file(nullptr, pcm_path.c_str(), out.temp_path().c_str()))
        return 0;
    if (!out.commit())
        return ErrMsgDetail("Failed to rename file", out.error_text());
    return 1;
}

int save_compressed_adpcm(CChildFrame& doc, const std::string& target, bool highlighted_only,
                          const SaveFormat& format)
{
    const std::string folder = run_directory();
    if (folder.empty()) {
        NewErrMsg(5009, kel::file_error_text(errno));
        return 0;
    }
    const std::string pcm = folder + "adpcmsave.wav";
    if (!save_wave_intermediate(doc, pcm, highlighted_only, format))
        return 0;
    const int ok = compress_wave_file(pcm, target);
    std::remove(pcm.c_str());
    if (ok && !highlighted_only)
        doc.is_modified = 0;
    return ok;
}
