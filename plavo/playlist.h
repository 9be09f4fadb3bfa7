#pragma once
// Playlists in "OCWCNVRT.INI": the current one in section "Playlist" (File1 .. FileN), the
// names of saved ones in "Playlists" (Playlist1 .. PlaylistN) and one section per saved list.
#include "platform/ui.h"

#include <string>
#include <vector>

namespace plavo {

inline constexpr int kMaxEntries = 100;
inline constexpr const char* kCurrentSection = "Playlist";
inline constexpr const char* kNamesSection = "Playlists";

// $XDG_CONFIG_HOME/Kelvara/OCWCNVRT.INI
std::string playlist_file();

// "File%d" / "Playlist%d"
std::string file_key(int index);

// File1 .. File100 of a section, stopping at the first missing key. `dropped`, when
// given, gets the number of entries past the hundredth that were left out.
std::vector<std::string> read_list(const std::string& section, int* dropped = nullptr);
// Says how many entries did not fit in a playlist (nothing for 0).
void tell_dropped(int dropped);
// Rewrites the section whole.
bool write_list(const std::string& section, const std::vector<std::string>& paths);
// Entry `index` (1-based) of "Playlist"; empty when the key is missing.
std::string current_entry(int index);

std::vector<std::string> saved_names();
// Saves under `name`: a new name is appended to "Playlists"; then File1 .. File100 of
// "Playlist" are copied into the section of that name.
bool save_current_as(const std::string& name);
// Removes a saved playlist: its section, its name, the later names renumbered down.
bool delete_saved(const std::string& name);

// "Select Playlist": the names in "Playlists"; Delete (3009) removes the selected one.
class SelectPlaylistDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "NewSelect"; }
    void on_open() override;
    void on_delete();
    void on_ok() { end_dialog(kel::kIdOk); }
    void on_cancel() { end_dialog(kel::kIdCancel); }
    std::string title = "Select Playlist";
    std::vector<std::string> names;
    int selected = -1;
};

// "Save": asks for the name a playlist is saved under.
class SavePlaylistDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "Save"; }
    void on_ok() { end_dialog(kel::kIdOk); }
    void on_cancel() { end_dialog(kel::kIdCancel); }
    std::string label = "Save-file name:";
    std::string name;
};

// The playlist part of the Open dialog (group "Playlist Selections").
class PlaylistPanel
{
  public:
    // The file the Open dialog has selected now; empty before the user picked one.
    std::string selected_file;
    // The current folder of the Open dialog.
    std::string folder;
    std::vector<std::string> entries; // list 3000 "File Names to Play:"
    std::vector<int> selection;       // selected rows of the list
    bool playlist_mode = false;
    std::string file_name_field; // what the Open dialog's name field should show

    void add_items();    // 3001
    void add_all();      // 3002
    void delete_items(); // 3003
    void delete_all();   // 3004
    void load_prev();    // 3005
    void save();         // 3006
    // OK of the Open dialog: "Playlist" is rewritten from the list, or with only the
    // chosen file when the list is empty; playlist mode goes on.
    void accept(const std::string& chosen);
};

// The Open dialog with its playlist template: title "Open File", extension "ocw".
class OpenDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "146"; }
    void on_ok(const std::string& chosen)
    {
        path = chosen;
        panel.accept(chosen);
        end_dialog(kel::kIdOk);
    }
    void on_cancel() { end_dialog(kel::kIdCancel); }
    std::string title = "Open File";
    std::string default_extension = "ocw";
    std::string filter = "OCW Files (*.ocw)|*.ocw";
    std::string initial_name = "*.ocw";
    std::string path; // the chosen file, at most 260 characters
    PlaylistPanel panel;
};

} // namespace plavo
