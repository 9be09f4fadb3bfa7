#include "common/preset_values.h"

#include "common/host_services.h"
#include "editor/modules/presets.h"
#include "editor/strings.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/safe_write.h"

#include <cstdlib>

namespace {

std::string text(int id)
{
    const char* s = string_table_text(id);
    return s ? s : "";
}

} // namespace

PresetFamily preset_family(PresetKind kind)
{
    switch (kind) {
    case PresetKind::Echo:
        return {"KVSECHO.INI", "Select Echo / Reverb File", "Echo Presets", "Echo Preset", "Echo",
                "Echo Values", "Save Echo / Reverb Values"};
    case PresetKind::Reverb:
        return {"KVSECHO.INI",
                "Select Echo / Reverb File",
                "Reverb Presets",
                "Reverb Preset",
                "Reverb",
                "Reverb Values",
                "Save Echo / Reverb Values"};
    case PresetKind::Compressor:
        return {"KVSECHO.INI",
                text(5056),
                text(5057),
                text(5058),
                text(5059),
                text(5060),
                "Save Compressor / Expander Values"};
    case PresetKind::Equalizer:
        return {"KVSEQUAL.INI",
                "Select Equalization File",
                "Equalization Values",
                "Equalize",
                "Equalize",
                "FGW",
                "Save Equalization Values"};
    case PresetKind::Flange:
        return {"KVSFLNGE.INI",
                "Select Flange Parameters",
                "Flange Presets",
                "Flange Preset",
                "Flange",
                "Flange Values",
                "Save Flange Preset Values"};
    case PresetKind::Filter:
        return {"KVSFILTR.INI",
                "Select Filter Parameters",
                "Filter Presets",
                "Filter Preset",
                "Filter",
                "Filter Values",
                "Save Filter Preset Values"};
    case PresetKind::Tones:
        return {"KVSTONES.INI",
                "Select Special Effects Parameters",
                "Effects Presets",
                "Effects Preset",
                "Effects",
                "Effects Values",
                "Save Effects Preset Values"};
    }
    return {};
}

void set_preset_context_for(const PresetFamily& family, const std::string& directory)
{
    set_preset_context(family.ini_file, family.select_title, family.list_section,
                       family.list_prefix, family.values_section, family.value_prefix);
    g_preset.ini_path = kel::paths::with_slash(directory) + family.ini_file;
}

std::vector<int> parse_preset_values(const std::string& text)
{
    std::vector<int> out;
    size_t start = 0;
    for (;;) {
        size_t blank = text.find(' ', start);
        std::string piece =
            text.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
        out.push_back(piece.empty() ? 0
                                    : static_cast<int>(std::strtol(piece.c_str(), nullptr, 10)));
        if (blank == std::string::npos)
            break;
        start = blank + 1;
    }
    return out;
}

std::string format_preset_values(const std::vector<int>& values)
{
    std::string s;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            s += " ";
        s += std::to_string(values[i]);
    }
    return s;
}

bool read_preset_values(const PresetFamily& family, const std::string& ini_path,
                        const std::string& preset, int key_index, std::vector<int>& values)
{
    auto v =
        kel::profile::lookup(preset, family.value_prefix + std::to_string(key_index), ini_path);
    if (!v || v->empty())
        return false;
    values = parse_preset_values(*v);
    return true;
}

int save_preset_values(const PresetFamily& family, const std::string& ini_path,
                       const std::vector<std::vector<int>>& values_per_key)
{
    // The values to save, in one write of the file.
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i < values_per_key.size(); ++i)
        entries.emplace_back(family.value_prefix + std::to_string(i + 1),
                             format_preset_values(values_per_key[i]));
    if (!kel::profile::replace_section(family.values_section, entries, ini_path)) {
        ErrMsgDetail("Cannot save preset values.",
                     kel::file_error_text(kel::profile::last_error()));
        return 0;
    }
    int r = new_save_process(family.ini_file.c_str(), family.save_title.c_str(),
                             family.list_section.c_str(), family.list_prefix.c_str(),
                             family.values_section.c_str(), family.value_prefix.c_str());
    return r;
}
