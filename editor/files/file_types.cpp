#include "editor/files/file_types.h"

#include <cctype>
#include <cstring>

namespace {

struct TypeRow
{
    const char* extension;
    const char* filter_text;
    const char* type_name;
};

const TypeRow kTypes[] = {
    {"wav", "Microsoft PCM Files (*.wav)", ""},
    {"8sv", "Apple/Amiga (*.8svx)", "Apple/Amiga"},
    {"aif", "Mac/SGI (*.aiff)", "Mac/SGI"},
    {"au", "NeXT/SPARC (*.au)", "NeXT/SPARC"},
    {"iff", "Amiga (*.iff)", "Amiga"},
    {"raw", "Raw PCM Files (*.raw)", "Raw PCM File"},
    {"sb", "Signed binary (8bit) files (*.sb)", "8Bit Signed Binary"},
    {"sf", "IRCAM Sound File files (*.sf)", "IRCAM Sound File"},
    {"smp", "SampleVision/Turtle Beach (*.smp)", "Sample Vision /Turtle Beach"},
    {"snd", "Sound Tool SND files (*.snd)", "Sound Tool SND File"},
    {"sou", "Unigned binary files (*.sou)", "Unsigned Binary File"},
    {"sw", "Signed word (16bit) files (*.sw)", "Signed 16Bit File"},
    {"ub", "Unigned binary (8bit) files (*.ub)", "Unsigned Binary 16Bit File"},
    {"ul", "U-LAW (8bit) byte raw files (*.ul)", "U-LAW 8Bit Raw File"},
    {"uw", "Unigned word (16bit) files (*.uw)", "Unsigned Word 16Bit File"},
    {"voc", "Creative Labs VOC (*.voc)", "Creative Labs VOC File"},
    {"avi", "Video For Windows files (*.avi)", "Video For Windows AVI File"},
    {"rm", "RealMedia files (*.rm, *.ra)", ""},
    {"mp3", "MPEG3 files (*.mp3)", ""},
    {"ocw", "OCW files (*.ocw)", ""},
};
constexpr int kCount = sizeof kTypes / sizeof kTypes[0];

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string extension_of(const std::string& name)
{
    auto slash = name.find_last_of("/\\");
    auto dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return lower(name.substr(dot + 1));
}

} // namespace

int file_type_code(const std::string& name)
{
    const std::string ext = extension_of(name);
    for (int i = 0; i < kCount; ++i)
        if (ext == kTypes[i].extension)
            return i;
    // The long spellings the filter texts show mean the same types.
    if (ext == "8svx")
        return 1;
    if (ext == "aiff")
        return 2;
    if (ext == "ra")
        return kTypeRealMedia;
    return kTypeUnknown;
}

const char* file_type_filter_text(int code)
{
    return code >= 0 && code < kCount ? kTypes[code].filter_text : "All Files (*.*)";
}

std::string file_type_pattern(int code)
{
    return code >= 0 && code < kCount ? std::string("*.") + kTypes[code].extension : "*.*";
}

static std::string filter_of(const int* codes, int n)
{
    std::string f;
    for (int i = 0; i < n; ++i) {
        if (!f.empty())
            f += "|";
        f += std::string(file_type_filter_text(codes[i])) + "|" + file_type_pattern(codes[i]);
    }
    return f;
}

std::string open_dialog_filter()
{
    static const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 19, 20};
    return filter_of(codes, sizeof codes / sizeof codes[0]);
}

std::string save_dialog_filter()
{
    static const int codes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                                11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    return filter_of(codes, sizeof codes / sizeof codes[0]);
}

const char* type_name_for_extension(const std::string& extension)
{
    const std::string ext = lower(extension);
    for (int i = 1; i <= kTypeAvi; ++i)
        if (ext == kTypes[i].extension)
            return kTypes[i].type_name;
    return "";
}

std::string with_extension(const std::string& name, const std::string& extension)
{
    auto slash = name.find_last_of("/\\");
    auto dot = name.rfind('.');
    std::string stem = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                           ? name
                           : name.substr(0, dot);
    return stem + "." + extension;
}
