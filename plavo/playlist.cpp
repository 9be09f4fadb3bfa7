#include "plavo/playlist.h"

#include "platform/paths.h"
#include "platform/profile.h"
#include "plavo/texts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace plavo {

namespace pf = kel::profile;

namespace {

std::string name_key(int index)
{
    return "Playlist" + std::to_string(index);
}

bool same_name(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// A list may not be saved over the sections the player itself keeps.
bool reserved(const std::string& name)
{
    return same_name(name, kCurrentSection) || same_name(name, kNamesSection);
}

bool ends_with_ocw(const std::string& name)
{
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".ocw") == 0;
}

} // namespace

std::string playlist_file()
{
    return kel::paths::config_dir() + "OCWCNVRT.INI";
}

std::string file_key(int index)
{
    return "File" + std::to_string(index);
}

std::vector<std::string> read_list(const std::string& section, int* dropped)
{
    std::vector<std::string> list;
    const std::string file = playlist_file();
    for (int i = 1; i <= kMaxEntries; ++i) {
        auto v = pf::lookup(section, file_key(i), file);
        if (!v)
            break;
        list.push_back(*v);
    }
    if (dropped) {
        // Entries past the hundredth, counted as far as they run without a gap.
        int more = 0;
        if (static_cast<int>(list.size()) == kMaxEntries) {
            const std::vector<std::string> keys = pf::key_names(section, file);
            std::vector<bool> present(keys.size() + 2, false);
            for (const std::string& k : keys) {
                if (k.size() <= 4 || strncasecmp(k.c_str(), "File", 4) != 0)
                    continue;
                char* end = nullptr;
                const long n = std::strtol(k.c_str() + 4, &end, 10);
                if (*end == '\0' && n > kMaxEntries && n < static_cast<long>(present.size()))
                    present[static_cast<size_t>(n)] = true;
            }
            while (kMaxEntries + more + 1 < static_cast<int>(present.size()) &&
                   present[static_cast<size_t>(kMaxEntries + more + 1)])
                ++more;
        }
        *dropped = more;
    }
    return list;
}

void tell_dropped(int dropped)
{
    if (dropped <= 0)
        return;
    char text[160];
    std::snprintf(text, sizeof text, "A playlist holds at most %d entries; %d %s dropped.",
                  kMaxEntries, dropped, dropped == 1 ? "entry was" : "entries were");
    kel::ui().message_box(text, kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
}

bool write_list(const std::string& section, const std::vector<std::string>& paths)
{
    if (paths.empty())
        return pf::delete_section(section, playlist_file());
    // One write of the file for the whole list: a failure leaves the earlier list.
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i < paths.size(); ++i)
        entries.emplace_back(file_key(static_cast<int>(i) + 1), paths[i]);
    return pf::replace_section(section, entries, playlist_file());
}

std::string current_entry(int index)
{
    if (index < 1)
        return {};
    return pf::lookup(kCurrentSection, file_key(index), playlist_file()).value_or("");
}

std::vector<std::string> saved_names()
{
    std::vector<std::string> names;
    const std::string file = playlist_file();
    for (int i = 1; i <= kMaxEntries; ++i) {
        auto v = pf::lookup(kNamesSection, name_key(i), file);
        if (!v)
            break;
        names.push_back(*v);
    }
    return names;
}

bool save_current_as(const std::string& name)
{
    if (name.empty() || reserved(name))
        return false;
    const std::string file = playlist_file();
    const std::vector<std::string> names = saved_names();
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&](const std::string& n) { return same_name(n, name); });
    if (!known &&
        !pf::write_string(kNamesSection, name_key(static_cast<int>(names.size()) + 1), name, file))
        return false;
    return write_list(name, read_list(kCurrentSection));
}

bool delete_saved(const std::string& name)
{
    const std::string file = playlist_file();
    std::vector<std::string> names = saved_names();
    auto it = std::find_if(names.begin(), names.end(),
                           [&](const std::string& n) { return same_name(n, name); });
    if (it == names.end() || reserved(name))
        return false;
    pf::delete_section(*it, file);
    names.erase(it);
    if (names.empty())
        return pf::delete_section(kNamesSection, file);
    std::vector<std::pair<std::string, std::string>> entries;
    for (size_t i = 0; i < names.size(); ++i)
        entries.emplace_back(name_key(static_cast<int>(i) + 1), names[i]);
    return pf::replace_section(kNamesSection, entries, file);
}

void SelectPlaylistDialog::on_open()
{
    names = saved_names();
    selected = names.empty() ? -1 : 0;
}

void SelectPlaylistDialog::on_delete()
{
    if (selected < 0 || selected >= static_cast<int>(names.size()))
        return;
    delete_saved(names[selected]);
    names = saved_names();
    selected = std::min(selected, static_cast<int>(names.size()) - 1);
}

void PlaylistPanel::add_items()
{
    if (selected_file.empty())
        return;
    if (entries.size() >= static_cast<size_t>(kMaxEntries))
        tell_dropped(1);
    else
        entries.push_back(selected_file);
}

void PlaylistPanel::add_all()
{
    std::vector<std::string> found;
    const std::string dir = kel::paths::with_slash(folder.empty() ? "." : folder);
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            struct stat st
            {
            };
            if (ends_with_ocw(name) && stat((dir + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                found.push_back(dir + name);
        }
        closedir(d);
    }
    std::sort(found.begin(), found.end());
    int dropped = 0;
    for (const std::string& f : found) {
        if (entries.size() < static_cast<size_t>(kMaxEntries))
            entries.push_back(f);
        else
            ++dropped;
    }
    tell_dropped(dropped);
}

void PlaylistPanel::delete_items()
{
    std::vector<int> rows = selection;
    std::sort(rows.rbegin(), rows.rend());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(entries.size()))
            entries.erase(entries.begin() + r);
    selection.clear();
}

void PlaylistPanel::delete_all()
{
    entries.clear();
    selection.clear();
    playlist_mode = false;
}

void PlaylistPanel::load_prev()
{
    SelectPlaylistDialog select;
    if (kel::ui().run_modal(select) != kel::kIdOk || select.selected < 0 ||
        select.selected >= static_cast<int>(select.names.size()))
        return;
    int dropped = 0;
    entries = read_list(select.names[select.selected], &dropped);
    tell_dropped(dropped);
    selection.clear();
    if (!entries.empty()) {
        file_name_field = entries.front();
        playlist_mode = true;
    }
}

void PlaylistPanel::save()
{
    if (entries.empty()) {
        kel::ui().beep();
        return;
    }
    write_list(kCurrentSection, entries);
    SavePlaylistDialog dialog;
    if (kel::ui().run_modal(dialog) != kel::kIdOk || dialog.name.empty())
        return;
    if (reserved(dialog.name)) {
        kel::ui().beep();
        return;
    }
    const std::vector<std::string> names = saved_names();
    const bool exists = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
        return same_name(n, dialog.name);
    });
    if (exists &&
        kel::ui().message_box("Replace existing file?", "FILE ALREADY EXISTS",
                              kel::Buttons::YesNoCancel, kel::Icon::Question) != kel::kIdYes)
        return;
    save_current_as(dialog.name);
}

void PlaylistPanel::accept(const std::string& chosen)
{
    if (entries.empty())
        write_list(kCurrentSection, {chosen});
    else
        write_list(kCurrentSection, entries);
    playlist_mode = true;
}

} // namespace plavo
