#pragma once
// Sound file types by extension, as the open and save dialogs list them.
#include <string>

enum FileTypeCode {
    kTypeWave = 0,
    kTypeFirstConverted = 1,
    kTypeLastConverted = 15,
    kTypeAvi = 16,
    kTypeRealMedia = 17,
    kTypeMp3 = 18,
    kTypeOcw = 19,
    kTypeUnknown = 20,
};

// By the extension after the last dot, without regard to case.
int file_type_code(const std::string& name);
// "Microsoft PCM Files (*.wav)" and so on; "All Files (*.*)" for 20.
const char* file_type_filter_text(int code);
// "*.wav"; "*.*" for 20.
std::string file_type_pattern(int code);
// The open dialog's list (0-16, 19, all files) and the save dialog's (0-19, all files),
// as "text|pattern|text|pattern...".
std::string open_dialog_filter();
std::string save_dialog_filter();
// Shown as "Type:" in the open dialog for a file that is not a wave file.
const char* type_name_for_extension(const std::string& extension);
// The name with the extension after its last dot replaced (or added).
std::string with_extension(const std::string& name, const std::string& extension);
