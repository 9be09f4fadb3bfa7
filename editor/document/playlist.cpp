#include "editor/document/playlist.h"

#include "common/child_frame.h"
#include "editor/document/markers.h"
#include "editor/document/repaint.h"
#include "editor/document/undo_preferences.h"
#include "editor/edit/combine_engine.h"
#include "editor/view/view_state.h"

#include <algorithm>
#include <cstdio>

Playlist& playlist()
{
    static Playlist list;
    return list;
}

std::string playlist_line(const char* file_title, const std::string& marker_name)
{
    char text[128];
    std::snprintf(text, sizeof text, " %-27s %s", file_title ? file_title : "",
                  marker_name.c_str());
    return text;
}

int Playlist::add(const CChildFrame& source, long start, long end, const std::string& marker_name)
{
    if (count() >= kPlaylistEntries || end <= start || !source.window)
        return 0;
    PlaylistEntry e;
    e.source = source.window;
    e.start = std::max(0L, start);
    e.end = std::min(end, source.current.total_samples);
    e.text = playlist_line(source.file_title, marker_name);
    entries_.push_back(std::move(e));
    return 1;
}

int Playlist::add_selection(const CChildFrame& source)
{
    if (!source.current.has_selection)
        return 0;
    // Labelled with the marker the passage starts at: a pair chosen from the cue list
    // highlights from its start marker.
    std::string name;
    if (const MarkerTable* table = markers_if_any(source))
        for (const Marker& m : table->entries)
            if (m.position == source.current.select_start) {
                name = m.name;
                break;
            }
    return add(source, source.current.select_start, source.current.select_end, name);
}

int Playlist::remove(int index)
{
    if (index < 0 || index >= count())
        return 0;
    entries_.erase(entries_.begin() + index);
    first_index = std::min(first_index, std::max(0, count() - 1));
    return 1;
}

void Playlist::forget_window(HWND source)
{
    std::erase_if(entries_, [source](const PlaylistEntry& e) { return e.source == source; });
    first_index = std::min(first_index, std::max(0, count() - 1));
}

namespace {

// Byte positions rounded down to whole 4-byte groups, back in sample words.
long aligned_words(long words, int bytes_per_sample)
{
    const long bps = std::max(1, bytes_per_sample);
    return words * bps / 4 * 4 / bps;
}

// Puts "Backup for undo" back however the build ends.
struct BackupOff
{
    bool saved = undo_preferences().backup_for_undo;
    BackupOff() { undo_preferences().backup_for_undo = false; }
    ~BackupOff() { undo_preferences().backup_for_undo = saved; }
};

} // namespace

CChildFrame* build_composite(Playlist& list, const CreateDestination& create_destination)
{
    if (list.count() == 0 || !create_destination)
        return nullptr;
    CChildFrame* dest = create_destination();
    if (!dest)
        return nullptr;
    {
        BackupOff off;
        bool first_paste = true;
        for (int i = list.count() - 1; i >= 0; --i) {
            const PlaylistEntry& e = list.entry(i);
            CChildFrame* source = documents::find_by_window(e.source);
            if (!source || source == dest)
                break;
            documents::set_active(source);
            FileSlot& s = source->current;
            s.select_start =
                std::clamp(aligned_words(e.start, source->bytes_per_sample()), 0L, s.total_samples);
            s.select_end = std::clamp(aligned_words(e.end, source->bytes_per_sample()),
                                      s.select_start, s.total_samples);
            s.has_selection = 1;
            source->left_active = source->right_active = 1;
            sync_selection_x(*source);
            // The first paste takes the place of the new file's few words of silence;
            // each later one goes in front, so the entries end up in list order.
            FileSlot& d = dest->current;
            d.select_start = 0;
            d.select_end = first_paste ? d.total_samples : 0;
            d.has_selection = first_paste ? 1 : 0;
            if (!combine_selection(source, *dest, 1, 11305))
                break;
            first_paste = false;
        }
    }
    documents::set_active(dest);
    repaint_document(dest);
    return dest;
}

int play_playlist_entry(Playlist& list, int index)
{
    if (index < 0 || index >= list.count())
        return 0;
    const PlaylistEntry& e = list.entry(index);
    CChildFrame* source = documents::find_by_window(e.source);
    if (!source)
        return 0;
    FileSlot& s = source->current;
    s.select_start = std::clamp(e.start, 0L, s.total_samples);
    s.select_end = std::clamp(e.end, s.select_start, s.total_samples);
    s.has_selection = 1;
    sync_selection_x(*source);
    return source->play_the_wavefile();
}
