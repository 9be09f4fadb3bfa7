#include "editor/files/adpcm_files.h"

#include "common/host_services.h"
#include "editor/files/outside_program.h"
#include "editor/files/wave_convert.h"
#include "platform/paths.h"
#include "platform/ui.h"

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
    std::remove(target.c_str());
    if (!move_file(out_adpcm_file().c_str(), target)) {
        std::remove(out_adpcm_file().c_str());
        return ErrMsg("Failed to rename file");
    }
    pcm_path = target;
    return 1;
}

int compress_saved_wave(const std::string& path)
{
    // Saved under the converter's own output name: the converter refuses it, so keep it
    // until then.
    if (!same_file(path, out_adpcm_file().c_str()))
        std::remove(out_adpcm_file().c_str());
    if (!convert_wave_file(nullptr, path.c_str(), out_adpcm_file().c_str())) {
        std::remove(out_adpcm_file().c_str());
        std::remove(path.c_str());
        return 0;
    }
    std::remove(path.c_str());
    if (!move_file(out_adpcm_file().c_str(), path)) {
        std::remove(out_adpcm_file().c_str());
        return ErrMsg("Failed to rename file");
    }
    return 1;
}
