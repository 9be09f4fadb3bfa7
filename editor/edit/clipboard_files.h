#pragma once
// The pseudo clipboard: files in this run's folder shared by every document of the run, so
// copied audio of any length never sits in memory.
#include "common/child_frame.h"

#include <string>

struct ClipboardFormat
{
    int channels = 0;
    int bits = 0;
    long rate = 0;

    bool valid() const;
    bool operator==(const ClipboardFormat&) const = default;
};

// Process-wide state of the clipboard and of the combine dialog's choices.
struct ClipboardState
{
    int has_data = 0;
    HWND source_window = nullptr; // the document last copied or cut from
    std::string source_format;    // "2 16 22050"
    std::string destination_format;
    int combine_mode = 11305;
    float source_gain = 1.0f; // 0.0 .. 2.0
    float destination_gain = 1.0f;
    int mix_left = 0;
    int mix_right = 0;
    int crossfade_exponential = 0;
    long silence_samples = 0; // sample words
    int silence_seconds = 10; // the time the silence dialog offers
};

extern ClipboardState g_clipboard;

// "clipbord.clp", "cliptext.clp" and "convclip.clp" in this run's folder.
std::string clipboard_data_path();
std::string clipboard_text_path();
std::string converted_clipboard_path();

// The format text: channels, bits and rate separated by blanks.
std::string format_text(const WaveFormat& format);
std::string format_text(const ClipboardFormat& format);
ClipboardFormat document_format(const CChildFrame& doc);
// Parses a format text; the result is not valid() when the text is not one.
ClipboardFormat parse_format_text(const std::string& text);
// The format recorded beside the clipboard data (invalid when missing or damaged).
ClipboardFormat read_clipboard_format();

// True when the clipboard holds data that can be pasted.
bool clipboard_has_data();

// Copies the source's highlighted section (select_start .. select_end, whole frames)
// into the clipboard and makes the source the clipboard source. The previous clipboard
// stays intact when the copy fails or is cancelled. 1 on success.
int copy_to_clipboard(CChildFrame& source);

// Deletes the data and format files and clears the clipboard flags.
void erase_clipboard();
