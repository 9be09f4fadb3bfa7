#include "editor/files/foreign_save.h"

#include "common/host_services.h"
#include "editor/files/file_commands.h"
#include "editor/files/outside_program.h"
#include "platform/paths.h"
#include "platform/safe_write.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace {

// What follows the last dot of the file's name, or "" without one.
std::string extension_of(const std::string& name)
{
    const std::string file = kel::paths::file_part(name);
    const auto dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot + 1);
}

long long file_size(const std::string& name)
{
    struct stat st
    {
    };
    return ::stat(name.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

// Every intermediate goes, whatever way the save ends.
struct Intermediates
{
    std::vector<std::string> names;
    ~Intermediates()
    {
        for (const std::string& n : names)
            std::remove(n.c_str());
    }
};

// Puts a finished result in place of the user's file; the reason when it cannot.
bool install(const std::string& result, kel::SafeWrite& out, std::string& detail)
{
    int error = 0;
    if (!move_into(result, out, error)) {
        detail = kel::file_error_text(error);
        return false;
    }
    if (!out.commit()) {
        detail = out.error_text();
        return false;
    }
    return true;
}

} // namespace

int save_converted_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                        const SaveFormat& format)
{
    const std::string title = kel::paths::file_part(name);
    const std::string folder = run_directory();
    kel::SafeWrite out(name);
    std::string detail = folder.empty() ? kel::file_error_text(errno) : out.error_text();
    if (folder.empty() || !out.ok()) {
        ErrMsgDetail("Could not convert to " + title + ".", detail);
        return 0;
    }
    const std::string pcm = folder + "NVACNVRT.WAV";
    // The converter tells the output's format by its extension.
    const std::string converted = folder + "converted." + extension_of(name);
    Intermediates made{{pcm, converted}};
    if (!save_wave_intermediate(doc, pcm, highlighted_only, format))
        return 0;
    if (!run_converter(pcm, converted) || !install(converted, out, detail)) {
        ErrMsgDetail("Could not convert to " + title + ".", detail);
        return 0;
    }
    return 1;
}

int save_mp3_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                  const SaveFormat& format)
{
    if (!outside_program_exists("bladeenc")) {
        ErrMsg("BLADEENC.EXE missing.");
        return 0;
    }
    const std::string title = kel::paths::file_part(name);
    const std::string folder = run_directory();
    kel::SafeWrite out(name);
    std::string detail = folder.empty() ? kel::file_error_text(errno) : out.error_text();
    if (folder.empty() || !out.ok()) {
        ErrMsgDetail("Could not encode " + title + ".", detail);
        return 0;
    }
    const std::string wav = folder + "bladeenc.wav";
    const std::string mp3 = folder + "bladeenc.mp3";
    Intermediates made{{wav, mp3}};
    std::remove(mp3.c_str());
    if (!save_wave_intermediate(doc, wav, highlighted_only, format))
        return 0;
    const long process = start_outside_program("bladeenc", {"-320", "-quit", wav}, true);
    if (!process) {
        ErrMsg("BLADEENC.EXE missing.");
        return 0;
    }
    // At 320 kbit/s the MP3 grows by 40000 bytes a second of sound.
    const long long pcm_bytes = file_size(wav) - 44;
    const long long per_second =
        static_cast<long long>(format.rate) * format.channels * format.bits / 8;
    const long long expected = per_second > 0 ? pcm_bytes * 40000 / per_second + 1 : 1;
    const ProgramEnd end = wait_for_program(process, "Saving file ...", [&] {
        return static_cast<int>(file_size(mp3) * 100 / expected);
    });
    if (end == ProgramEnd::Cancelled)
        return 0;
    if (end != ProgramEnd::Done || !file_exists(mp3) || !install(mp3, out, detail)) {
        ErrMsgDetail("Could not encode " + title + ".", detail);
        return 0;
    }
    return 1;
}
