#pragma once
// The File menu's commands: open (wave files directly, foreign formats through the
// outside programs), save, save as, save the highlighted area, delete a file.
#include "common/child_frame.h"
#include "editor/files/info_chunk.h"
#include "editor/files/wave_save.h"
#include "platform/ui.h"

#include <functional>
#include <memory>
#include <string>

// Opens any sound file the editor knows into a new document. Null when it did not open
// (the reason has been shown).
std::unique_ptr<CChildFrame> open_sound_file(const std::string& name);

// The name an imported file gets: its extension replaced by "WAV", or stem + "x.wav"
// when that file exists already.
std::string import_name_for(const std::string& input);

// Runs the converter program on input -> output and waits for it. 1 on success.
int run_converter(const std::string& input, const std::string& output);

// "Save Waveform To Disk": the file name and the Attributes group.
class SaveAsDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "SAVEWAVEFORM"; }
    std::string title = "Save Waveform To Disk";
    std::string filter;    // save_dialog_filter()
    std::string directory; // where the dialog starts
    std::string file_name; // what the user chose (full path)
    long rate = 22050;     // 11025, 22050 or 44100
    int bits = 16;
    int channels = 2;
    bool compressed_adpcm = false;
    bool add_comments = false; // "&Add comments..." was used
    InfoState info;            // the document's items, as the comments editor leaves them
    void save() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }
};

enum class SaveScope { Whole, Highlighted };

// Save: over the wave file the document was opened from or last saved as. New ("SAMPLE")
// documents, those made from a video file or another format, and those whose file has
// been renamed, deleted or replaced meanwhile go through save as.
int save_document(CChildFrame& doc);
int save_document_as(CChildFrame& doc, SaveScope scope);
// Saves to a chosen name by its type code; what save as does after its dialog.
int save_to_named_file(CChildFrame& doc, const std::string& name, SaveScope scope,
                       const SaveFormat& format, bool compressed_adpcm);

// The file the last successful save wrote, for the recent-file list; empty when that
// save made no file that the open command reads back (MP3, RealMedia, video).
const std::string& last_saved_file();

// "Delete Waveform File": the chosen file is deleted. 1 when a file was deleted.
int delete_file_command();

// The open dialog's "  File specs   " panel for the file now selected.
struct FileSpecs
{
    bool buttons_enabled = false; // "&Play." and "&More..."
    std::string date;             // "Date:"
    std::string length;           // "Length:"
    std::string format;           // "Format:"
    std::string type;             // "Type:"
};
FileSpecs describe_file_for_open_dialog(const std::string& name);
