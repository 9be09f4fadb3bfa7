#include "editor/files/video_files.h"

#include "common/host_services.h"
#include "editor/document/recovery.h"
#include "editor/files/outside_program.h"
#include "editor/files/wave_save.h"
#include "platform/paths.h"
#include "platform/safe_write.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>

namespace {

constexpr int kNoSoundStream = 3;

std::string extension_of(const std::string& name)
{
    const std::string file = kel::paths::file_part(name);
    const auto dot = file.rfind('.');
    std::string ext = dot == std::string::npos ? "" : file.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// Runs the program and waits for it; its exit status, -1 when it did not end by itself.
int run_video_program(const std::vector<std::string>& args, const char* progress_text)
{
    if (!outside_program_exists(kVideoProgram)) {
        ErrMsg("The video program %s is missing.", outside_program_path(kVideoProgram).c_str());
        return -1;
    }
    const long process = start_outside_program(kVideoProgram, args, false);
    if (!process)
        return -1;
    int status = -1;
    wait_for_program(process, progress_text, nullptr, &status);
    return status;
}

} // namespace

bool is_video_file_name(const std::string& name)
{
    const std::string ext = extension_of(name);
    for (const char* v : {"avi", "mp4", "m4v", "mkv", "webm", "mov"})
        if (ext == v)
            return true;
    return false;
}

int make_wave_file_from_AVI_file(const char* video, const char* wave)
{
    const std::string title = kel::paths::file_part(video);
    std::remove(wave);
    const int status = run_video_program({"--extract", video, wave}, "Reading video file...");
    if (status == 0)
        return 1;
    std::remove(wave);
    if (status == kNoSoundStream)
        ErrMsg("%s has no sound stream.", title.c_str());
    else if (status > 0)
        ErrMsg("Could not read the sound of %s.", title.c_str());
    return 0;
}

std::unique_ptr<CChildFrame> open_video_file(const std::string& name)
{
    const std::string folder = run_directory();
    if (folder.empty())
        return nullptr;
    const std::string wave = folder + "video-sound.wav";
    if (!make_wave_file_from_AVI_file(name.c_str(), wave.c_str()))
        return nullptr;
    auto doc = CChildFrame::create_from_file(wave.c_str());
    std::remove(wave.c_str());
    if (!doc)
        return nullptr;
    doc->video_source = 1;
    std::snprintf(doc->video_file, sizeof doc->video_file, "%s", name.c_str());
    doc->remember_file(name);
    std::snprintf(doc->file_title, sizeof doc->file_title, "%s",
                  kel::paths::file_part(name).c_str());
    recovery::note(*doc);
    return doc;
}

int save_AVI_file(CChildFrame& doc, const std::string& name)
{
    const std::string title = kel::paths::file_part(name);
    if (!doc.video_source || !doc.video_file[0]) {
        ErrMsg("%s: only a document opened from a video file can be saved as one.", title.c_str());
        return 0;
    }
    const std::string folder = run_directory();
    kel::SafeWrite out(name);
    std::string detail = folder.empty() ? kel::file_error_text(errno) : out.error_text();
    if (folder.empty() || !out.ok()) {
        ErrMsgDetail("Could not write " + title + ".", detail);
        return 0;
    }
    // The program tells the container by the extension of what it writes.
    const std::string sound = folder + "TESTAVI.wav";
    const std::string made = folder + "TESTAVI." + extension_of(name);
    IntermediateFiles remove{sound, made};
    if (!save_wave_intermediate(doc, sound, false, save_format_of(doc)))
        return 0;
    if (run_video_program({"--save", doc.video_file, sound, made}, "Writing video file...") != 0) {
        ErrMsg("Could not write %s.", title.c_str());
        return 0;
    }
    int error = 0;
    if (!move_into(made, out, error)) {
        ErrMsgDetail("Could not write " + title + ".", kel::file_error_text(error));
        return 0;
    }
    if (!out.commit()) {
        ErrMsgDetail("Could not write " + title + ".", out.error_text());
        return 0;
    }
    return 1;
}
