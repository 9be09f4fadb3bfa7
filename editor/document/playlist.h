#pragma once
// The playlist of the "  Multitrack List" window: highlighted sections of open
// documents, built into one composite document.
#include "common/window.h"

#include <functional>
#include <string>
#include <vector>

class CChildFrame;

inline constexpr int kPlaylistEntries = 10;
inline constexpr int kBuildCompositeCommand = 298;
inline constexpr int kDeleteEntryCommand = 370;
inline constexpr int kPlaylistListBox = 357;
inline constexpr const char* kPlaylistTitle = "  Multitrack List";
inline constexpr const char* kPlaylistHeader = " Source file                 Marker name";

struct PlaylistEntry
{
    HWND source = nullptr; // the source document's window
    long start = 0;        // sample words
    long end = 0;
    std::string text; // the line of the list
};

class Playlist
{
  public:
    // 1 when added; 0 when the list is full or the range is empty.
    int add(const CChildFrame& source, long start, long end, const std::string& marker_name);
    // The source's highlighted section (a drop on the window).
    int add_selection(const CChildFrame& source);
    // 370: 1 when an entry went.
    int remove(int index);
    int count() const { return static_cast<int>(entries_.size()); }
    const PlaylistEntry& entry(int index) const { return entries_[index]; }
    // Entries whose document closed are dropped.
    void forget_window(HWND source);

    int first_index = 0;
    HWND window = nullptr;

  private:
    std::vector<PlaylistEntry> entries_;
};

// The process's playlist.
Playlist& playlist();

// The list line of an entry: source file and marker name under their headings.
std::string playlist_line(const char* file_title, const std::string& marker_name);

// Makes the destination document of a build (the create-new-file command); null when
// it was cancelled or failed.
using CreateDestination = std::function<CChildFrame*()>;

// 298: pastes every entry's section, last to first, into a new document through the
// combining engine, with "Backup for undo" off meanwhile. The destination, or null
// when nothing was built (no entries, no destination). A failure stops the build and
// leaves what was pasted so far.
CChildFrame* build_composite(Playlist& list, const CreateDestination& create_destination);

// Play (11401) with an entry chosen: the entry's section of its document plays.
int play_playlist_entry(Playlist& list, int index);
