#pragma once
// The preset files every effect family shares: names of each family, and the values
// written as blank-separated integers. The modules read and write their presets
// through these.
#include <string>
#include <vector>

// A preset list holds up to this many names; new_select_process fills a buffer of
// kMaxPresetName + 1 characters.
inline constexpr int kMaxPresets = 100;
inline constexpr int kMaxPresetName = 99;

enum class PresetKind { Echo, Reverb, Compressor, Equalizer, Flange, Filter, Tones };

struct PresetFamily
{
    std::string ini_file;
    std::string select_title;
    std::string list_section;
    std::string list_prefix;
    std::string values_section;
    std::string value_prefix;
    std::string save_title;
};

// The names of a family; the compressor's come from the string table.
PresetFamily preset_family(PresetKind kind);

// Makes the family the preset context of the next selection dialog, with the file
// resolved against the given directory (the program's or the module's own).
void set_preset_context_for(const PresetFamily& family, const std::string& directory);

// "12 -3 7" -> {12, -3, 7}; pieces are split at single blanks, an empty piece is 0.
std::vector<int> parse_preset_values(const std::string& text);
// {12, -3, 7} -> "12 -3 7"
std::string format_preset_values(const std::vector<int>& values);

// Values under value key index (1-based) of the named preset in the file at ini_path.
// False when the section or the key is missing or empty.
bool read_preset_values(const PresetFamily& family, const std::string& ini_path,
                        const std::string& preset, int key_index, std::vector<int>& values);

// Puts the values (one list per value key, from key 1) into the values section, then asks
// for a name through the save dialog. Returns the dialog's result (1 saved, 2 cancelled).
int save_preset_values(const PresetFamily& family, const std::string& ini_path,
                       const std::vector<std::vector<int>>& values_per_key);
