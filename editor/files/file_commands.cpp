#include "editor/files/file_commands.h"

#include "common/host_services.h"
#include "editor/document/recovery.h"
#include "editor/files/adpcm_files.h"
#include "editor/files/file_types.h"
#include "editor/files/foreign_save.h"
#include "editor/files/info_chunk.h"
#include "editor/files/ocw_encoder.h"
#include "editor/files/ocw_import.h"
#include "editor/files/outside_program.h"
#include "editor/files/realmedia.h"
#include "editor/files/video_files.h"
#include "editor/files/wave_convert.h"
#include "editor/files/wave_header.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/run_dir.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The wave header written during a save carries these items; they are the document's,
// so a save never drops what the file came with.
class InfoForSave
{
  public:
    explicit InfoForSave(const InfoState& state)
    {
        info_fields = info_fields_of(state);
        write_info_list = 1;
    }
    ~InfoForSave()
    {
        info_fields.clear();
        write_info_list = 0;
    }
    InfoForSave(const InfoForSave&) = delete;
    InfoForSave& operator=(const InfoForSave&) = delete;
};

bool regular_file(const std::string& name)
{
    struct stat st
    {
    };
    return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string current_directory()
{
    char buf[PATH_MAX];
    std::string d = getcwd(buf, sizeof buf) ? buf : ".";
    if (d.empty() || d.back() != '/')
        d += '/';
    return d;
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string g_last_saved;

// What the open command can read back from a saved file.
bool reopenable(int code)
{
    return code == kTypeWave || code == kTypeUnknown || code == kTypeOcw ||
           (code >= kTypeFirstConverted && code <= kTypeLastConverted);
}

// Staying in the old folder when this fails only moves where a later Save goes.
bool enter_folder_of(const std::string& file)
{
    const auto slash = file.rfind('/');
    return slash != std::string::npos && chdir(file.substr(0, slash + 1).c_str()) == 0;
}

void record_saved(int ok, const std::string& name)
{
    g_last_saved = ok && reopenable(file_type_code(name)) ? name : std::string();
}

} // namespace

const std::string& last_saved_file()
{
    return g_last_saved;
}

std::string import_name_for(const std::string& input)
{
    // In this run's folder: a wave file beside the input (often the user's master) is
    // never in the way.
    return run_directory() + kel::paths::file_part(with_extension(input, "WAV"));
}

int run_converter(const std::string& input, const std::string& output)
{
    delete_signal_files();
    const long process = start_outside_program("nvacnvrt", {input, output}, false);
    if (!process)
        return 0;
    // The converter gets a second before the first look.
    kel::clock::sleep_ms(1000);
    wait_for_finished(process);
    if (!file_exists(out_adpcm_file().c_str()))
        return 0;
    std::remove(out_adpcm_file().c_str());
    return 1;
}

std::unique_ptr<CChildFrame> open_sound_file(const std::string& name)
{
    if (!regular_file(name)) {
        ErrMsg("Cannot find file %s", name.c_str());
        return nullptr;
    }
    const int code = file_type_code(name);
    const std::string title = kel::paths::file_part(name);
    last_format_tag = 0;
    if (ReadInputWaveformHeader(name.c_str(), 0) && last_format_tag != kWaveFormatAdpcm) {
        auto doc = CChildFrame::create_from_file(name.c_str());
        // An interrupted recording opens with what it holds, and says so.
        if (doc)
            show_truncated_warning();
        return doc;
    }

    if (code == kTypeWave || (code == kTypeUnknown && last_format_tag != 0)) {
        if (last_format_tag == kWaveFormatAdpcm) {
            std::string pcm;
            if (!open_compressed_adpcm(name, pcm))
                return nullptr;
            return CChildFrame::create_from_file(pcm.c_str());
        }
        if (last_format_tag != 0 && last_format_tag != kWaveFormatPcm) {
            char text[400];
            std::snprintf(text, sizeof text, "%s has an unknown (non-PCM) format.", title.c_str());
            kel::ui().message_box(text, "Unknown File Format", kel::Buttons::Ok,
                                  kel::Icon::Exclamation);
            return nullptr;
        }
        // A PCM wave file that the reader refused: say why.
        ReadInputWaveformHeader(name.c_str(), 1);
        return nullptr;
    }
    if (code >= kTypeFirstConverted && code <= kTypeLastConverted) {
        const std::string wav = import_name_for(name);
        if (!run_converter(name, wav)) {
            std::remove(wav.c_str());
            ErrMsg("Could not convert %s.", title.c_str());
            return nullptr;
        }
        // The document has its samples; its Save asks where to write the wave file.
        auto doc = CChildFrame::create_from_file(wav.c_str());
        std::remove(wav.c_str());
        return doc;
    }
    if (code == kTypeOcw) {
        // Decoded in this run's folder; the document keeps the OCW's name, and Save asks
        // where and in which format to write it.
        std::string wav = name;
        if (!ocw_to_wave(wav))
            return nullptr;
        auto doc = CChildFrame::create_from_file(wav.c_str());
        std::remove(wav.c_str());
        if (doc) {
            doc->remember_file(name);
            std::snprintf(doc->file_title, sizeof doc->file_title, "%s", title.c_str());
            recovery::note(*doc);
        }
        return doc;
    }
    if (is_video_file_name(name))
        return open_video_file(name);
    char text[400];
    std::snprintf(text, sizeof text, "%s has an unknown (non-PCM) format.", title.c_str());
    kel::ui().message_box(text, "Unknown File Format", kel::Buttons::Ok, kel::Icon::Exclamation);
    return nullptr;
}

namespace {

int save_by_type(CChildFrame& doc, const std::string& name, SaveScope scope,
                 const SaveFormat& format, bool compressed_adpcm)
{
    const bool part = scope == SaveScope::Highlighted;
    const int code = file_type_code(name);
    int ok = 0;
    if (is_video_file_name(name)) {
        // The whole sound beside the pictures of the document's video source.
        ok = save_AVI_file(doc, name);
    } else if (code == kTypeWave || code == kTypeUnknown) {
        if (!compressed_adpcm) {
            ok = save_wave_file(doc, name, part, format);
        } else {
            ok = save_compressed_adpcm(doc, name, part, format);
        }
    } else if (code >= kTypeFirstConverted && code <= kTypeLastConverted) {
        return save_converted_file(doc, name, part, format);
    } else if (code == kTypeMp3) {
        return save_mp3_file(doc, name, part, format);
    } else if (code == kTypeRealMedia) {
        return save_realmedia_file(doc, name, part);
    } else if (code == kTypeOcw) {
        // The encoder works from the document's selection, whatever the scope.
        return compress_to_ocw(doc, name);
    } else {
        ErrMsg("%s: this format needs a module that is not installed.",
               kel::paths::file_part(name).c_str());
        return 0;
    }
    if (ok && !part) {
        std::snprintf(doc.file_title, sizeof doc.file_title, "%s",
                      upper(kel::paths::file_part(name)).c_str());
    }
    return ok;
}

// Save can write the document's own file only when it is a wave file that is still the
// one the document came from or went to; anything else goes through Save As.
bool saves_in_place(const CChildFrame& doc)
{
    const std::string& file = doc.file_path;
    const std::string run = kel::run_dir::current();
    if (file.empty() || (!run.empty() && file.compare(0, run.size(), run) == 0))
        return false;
    const int code = file_type_code(file);
    return (code == kTypeWave || code == kTypeUnknown) && doc.file_is_unchanged();
}

// Where Save As starts: the document's own folder when it has one, else the current one.
std::string start_folder(const CChildFrame& doc)
{
    const std::string& file = doc.file_path;
    const std::string run = kel::run_dir::current();
    const auto slash = file.rfind('/');
    if (slash == std::string::npos || (!run.empty() && file.compare(0, run.size(), run) == 0))
        return current_directory();
    const std::string folder = file.substr(0, slash + 1);
    struct stat st
    {
    };
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? folder : current_directory();
}

} // namespace

int save_to_named_file(CChildFrame& doc, const std::string& name, SaveScope scope,
                       const SaveFormat& format, bool compressed_adpcm)
{
    const int ok = save_by_type(doc, name, scope, format, compressed_adpcm);
    record_saved(ok, name);
    // The document now belongs to the file it was saved as.
    if (ok && scope == SaveScope::Whole)
        doc.remember_file(name);
    return ok;
}

int save_document_as(CChildFrame& doc, SaveScope scope)
{
    SaveAsDialog dialog;
    // "&Add comments..." edits a copy; the document takes it when the save succeeds.
    dialog.info = info_state_of(doc);
    dialog.filter = save_dialog_filter();
    dialog.directory = start_folder(doc);
    dialog.rate = doc.wave_format.sample_rate;
    dialog.bits = doc.wave_format.bits_per_sample;
    dialog.channels = doc.wave_format.channels;
    if (kel::ui().run_modal(dialog) != kel::kIdOk || dialog.file_name.empty())
        return 0;
    // As the system's save dialog does, the chosen folder becomes the current one.
    enter_folder_of(dialog.file_name);
    SaveFormat f{dialog.channels, dialog.bits, dialog.rate};
    int r;
    {
        InfoForSave info(dialog.info);
        r = save_to_named_file(doc, dialog.file_name, scope, f, dialog.compressed_adpcm);
    }
    if (r)
        info_state_of(doc) = dialog.info;
    return r;
}

int save_document(CChildFrame& doc)
{
    const std::string title = doc.file_title;
    // A document of a video file goes back into it while that file is still the one it
    // came from.
    if (doc.video_source && doc.file_path == doc.video_file && doc.file_is_unchanged()) {
        const int ok = save_AVI_file(doc, doc.file_path);
        record_saved(ok, doc.file_path);
        return ok;
    }
    if (title.find("SAMPLE") != std::string::npos || doc.video_source || !saves_in_place(doc))
        return save_document_as(doc, SaveScope::Whole);
    const std::string target = doc.file_path;
    InfoForSave info(info_state_of(doc));
    const int ok = save_wave_file(doc, target, false, save_format_of(doc));
    record_saved(ok, target);
    if (ok) {
        doc.remember_file(target);
        std::snprintf(doc.file_title, sizeof doc.file_title, "%s",
                      upper(kel::paths::file_part(target)).c_str());
    }
    return ok;
}

int delete_file_command()
{
    kel::FileDialogRequest request;
    request.title = "Delete Waveform File";
    request.filter = open_dialog_filter();
    request.directory = current_directory();
    const std::string name = kel::ui().file_dialog(request);
    if (name.empty())
        return 0;
    return std::remove(name.c_str()) == 0 ? 1 : 0;
}

FileSpecs describe_file_for_open_dialog(const std::string& name)
{
    FileSpecs s;
    if (name.empty())
        return s;
    struct stat st
    {
    };
    const bool exists = stat(name.c_str(), &st) == 0;
    char buf[128];
    std::snprintf(buf, sizeof buf, "%ld bytes", exists ? static_cast<long>(st.st_size) : 0L);
    s.length = buf;
    if (exists) {
        std::tm tm{};
        localtime_r(&st.st_mtime, &tm);
        std::strftime(buf, sizeof buf, "%d/%m/%Y %H:%M", &tm);
        s.date = buf;
    }
    auto dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::string head = ext.substr(0, 3);
    for (char& c : head)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head != "wav") {
        s.type = type_name_for_extension(ext);
        s.format = " ";
        return s;
    }
    s.buttons_enabled = true;
    last_format_tag = 0;
    if (!ReadInputWaveformHeader(name.c_str(), 0) && last_format_tag == 0)
        return s;
    s.type = last_format_tag == kWaveFormatPcm     ? "MS RIFF Wave PCM"
             : last_format_tag == kWaveFormatAdpcm ? "MS RIFF Wave ADPCM"
                                                   : "Unknown Format";
    std::snprintf(buf, sizeof buf, "%ld kHz %d bits %s", static_cast<long>(last_format.sample_rate),
                  last_format.bits_per_sample, last_format.channels == 2 ? "Stereo" : "Mono");
    s.format = buf;
    return s;
}
