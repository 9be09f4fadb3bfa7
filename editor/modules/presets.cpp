// Preset selection and saving over the list/values layout of the preset INI files.
#include "editor/modules/presets.h"

#include "common/host_services.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/safe_write.h"

#include <cstring>

namespace profile = kel::profile;

PresetContext g_preset;

static std::string key(const std::string& prefix, int n)
{
    return prefix + std::to_string(n);
}

static std::string resolve_path(const std::string& ini_file)
{
    return kel::paths::program_dir() + kel::paths::file_part(ini_file);
}

void set_preset_context(const std::string& ini_file, const std::string& title,
                        const std::string& list_section, const std::string& list_prefix,
                        const std::string& values_section, const std::string& value_prefix)
{
    g_preset.ini_file = ini_file;
    g_preset.ini_path = resolve_path(ini_file);
    g_preset.title = title;
    g_preset.list_section = list_section;
    g_preset.list_prefix = list_prefix;
    g_preset.values_section = values_section;
    g_preset.value_prefix = value_prefix;
}

std::vector<std::string> read_preset_list(const PresetContext& context)
{
    std::vector<std::string> names;
    for (int n = 1; n <= kMaxPresets; ++n) {
        std::string v = profile::read_string(context.list_section, key(context.list_prefix, n), " ",
                                             context.ini_path);
        if (v.empty())
            break;
        if (v.size() > kMaxPresetName)
            v.resize(kMaxPresetName);
        names.push_back(v);
    }
    return names;
}

// ---- selection ----

void PresetSelectDialog::refill()
{
    entries = read_preset_list(g_preset);
    g_preset.count = static_cast<int>(entries.size());
    selected = entries.empty() ? -1 : 0;
}

void PresetSelectDialog::on_open()
{
    g_preset.picked = 0;
    title = g_preset.title;
    refill();
}

void PresetSelectDialog::select(int index)
{
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return;
    selected = index;
    g_preset.chosen = entries[index];
    picked_name = entries[index];
    g_preset.picked = 1;
}

void PresetSelectDialog::double_click(int index)
{
    select(index);
    ok();
}

void PresetSelectDialog::ok()
{
    if (g_preset.picked)
        end_dialog(1);
    else
        kel::ui().beep();
}

void PresetSelectDialog::view()
{
    if (g_preset.picked)
        end_dialog(1880);
    else
        kel::ui().beep();
}

void PresetSelectDialog::help()
{
    new_show_context_help(nullptr, 366);
}

void PresetSelectDialog::picture()
{
    kel::ui().play_sound("select", false);
}

void PresetSelectDialog::delete_preset()
{
    if (picked_name.empty())
        return;
    int found = 0;
    for (int n = 1; n <= g_preset.count; ++n) {
        if (profile::read_string(g_preset.list_section, key(g_preset.list_prefix, n), "",
                                 g_preset.ini_path) == picked_name) {
            found = n;
            break;
        }
    }
    if (!found)
        return;
    // The list is rewritten in one piece, the later names moved down by one; a failure
    // part-way can then not cut the list short.
    std::vector<std::pair<std::string, std::string>> list;
    for (int n = 1; n <= kMaxPresets; ++n) {
        auto v =
            profile::lookup(g_preset.list_section, key(g_preset.list_prefix, n), g_preset.ini_path);
        if (!v)
            break;
        if (n != found)
            list.emplace_back(key(g_preset.list_prefix, static_cast<int>(list.size()) + 1), *v);
    }
    const bool ok =
        (list.empty() ? profile::delete_section(g_preset.list_section, g_preset.ini_path)
                      : profile::replace_section(g_preset.list_section, list, g_preset.ini_path)) &&
        profile::delete_section(picked_name, g_preset.ini_path);
    if (!ok)
        ErrMsgDetail("Cannot delete preset " + picked_name + ".",
                     kel::file_error_text(profile::last_error()));
    refill();
    picked_name.clear();
}

int new_select_process(char* chosen_name)
{
    PresetSelectDialog dialog;
    int result = kel::ui().run_modal(dialog);
    if (chosen_name) {
        std::strncpy(chosen_name, g_preset.chosen.c_str(), kMaxPresetName);
        chosen_name[kMaxPresetName] = '\0';
    }
    return result;
}

// ---- saving ----

void PresetSaveDialog::refill()
{
    entries = read_preset_list(g_preset);
    g_preset.count = static_cast<int>(entries.size());
    selected = entries.empty() ? -1 : 0;
}

void PresetSaveDialog::on_open()
{
    g_preset.ini_path = resolve_path(g_preset.ini_file);
    title = g_preset.title;
    refill();
}

void PresetSaveDialog::select(int index)
{
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return;
    selected = index;
    name = entries[index];
}

void PresetSaveDialog::help()
{
    new_show_context_help(nullptr, 367);
}

bool PresetSaveDialog::copy_values(const std::string& preset)
{
    // One write of the file: replacing a preset never leaves it half old, half new.
    std::vector<std::pair<std::string, std::string>> values;
    for (int n = 1; n <= kMaxPresets; ++n) {
        auto v = profile::lookup(g_preset.values_section, key(g_preset.value_prefix, n),
                                 g_preset.ini_path);
        if (!v)
            break;
        values.emplace_back(key(g_preset.value_prefix, n), *v);
    }
    const bool ok = profile::replace_section(preset, values, g_preset.ini_path);
    if (!ok)
        ErrMsgDetail("Cannot save preset " + preset + ".",
                     kel::file_error_text(profile::last_error()));
    refill();
    return ok;
}

void PresetSaveDialog::save()
{
    std::string preset = name.substr(0, kMaxPresetName);
    if (preset.empty())
        return;
    int found = 0;
    for (int n = 1; n <= g_preset.count; ++n) {
        if (profile::read_string(g_preset.list_section, key(g_preset.list_prefix, n), "",
                                 g_preset.ini_path) == preset) {
            found = n;
            break;
        }
    }
    if (!found) {
        // The values first, so the list never names a preset that has none.
        if (!copy_values(preset))
            return;
        if (!profile::write_string(g_preset.list_section,
                                   key(g_preset.list_prefix, g_preset.count + 1), preset,
                                   g_preset.ini_path)) {
            ErrMsgDetail("Cannot save preset " + preset + ".",
                         kel::file_error_text(profile::last_error()));
            profile::delete_section(preset, g_preset.ini_path);
            refill();
            return;
        }
        refill();
        end_dialog(1);
        return;
    }
    int answer = kel::ui().message_box("Replace existing file?", "FILE ALREADY EXISTS",
                                       kel::Buttons::YesNoCancel, kel::Icon::Question);
    if (answer != kel::kIdYes) {
        name.clear();
        return;
    }
    copy_values(preset);
}

int new_save_process(const char* ini_file, const char* title, const char* list_section,
                     const char* list_key_prefix, const char* values_section,
                     const char* value_key_prefix)
{
    set_preset_context(ini_file ? ini_file : "", title ? title : "",
                       list_section ? list_section : "", list_key_prefix ? list_key_prefix : "",
                       values_section ? values_section : "",
                       value_key_prefix ? value_key_prefix : "");
    PresetSaveDialog dialog;
    return kel::ui().run_modal(dialog);
}
