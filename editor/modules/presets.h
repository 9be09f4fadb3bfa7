#pragma once
// The preset context and the two preset dialogs every effect shares.
#include "common/preset_values.h"
#include "platform/ui.h"

#include <string>
#include <vector>

struct PresetContext
{
    std::string ini_file;       // file name in the program directory
    std::string ini_path;       // resolved full path
    std::string title;          // caption of the dialogs
    std::string list_section;   // section listing the preset names
    std::string list_prefix;    // list keys: prefix + 1, 2, ...
    std::string values_section; // where a module puts the current values
    std::string value_prefix;   // value keys: prefix + 1, 2, ...
    std::string chosen;         // last picked preset name
    int count = 0;              // entries in the list section
    int picked = 0;
};

extern PresetContext g_preset;

// Sets the context of the next preset dialog (the menu command does this).
void set_preset_context(const std::string& ini_file, const std::string& title,
                        const std::string& list_section, const std::string& list_prefix,
                        const std::string& values_section, const std::string& value_prefix);
// Names under list keys 1, 2, ... up to the first missing or empty one (at most 100).
std::vector<std::string> read_preset_list(const PresetContext& context);

// "NEWSELECT": pick, view, create or delete a preset.
class PresetSelectDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "NEWSELECT"; }
    void on_open() override;
    void select(int index);       // a click on an entry
    void double_click(int index); // picks and acts as OK
    void ok();
    void view();
    void create() { end_dialog(373); }
    void cancel() { end_dialog(2); }
    void help();
    void picture();
    void delete_preset();

    std::string title;
    std::vector<std::string> entries;
    int selected = -1;
    std::string picked_name; // static 260, shown red on white

  private:
    void refill();
};

// "SAVE": store the current values under a name.
class PresetSaveDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "SAVE"; }
    void on_open() override;
    void select(int index);
    void set_name(const std::string& text) { name = text; }
    void save();
    void cancel() { end_dialog(2); }
    void help();

    std::string title;
    std::vector<std::string> entries;
    int selected = -1;
    std::string name; // edit 260

  private:
    void refill();
    bool copy_values(const std::string& preset);
};
