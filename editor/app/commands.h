#pragma once
// The layout of the editor's two menus and of its bars: which commands, in which order.
// What each command is (its text, keys, availability and handler) is its row in the
// command table (editor/commands/command_table.h).
#include "editor/commands/command_ids.h"

#include <string>
#include <vector>

namespace app {

struct MenuNode
{
    std::string text; // empty with id 0: a separator
    int id = 0;       // 0 for a pop-up
    std::vector<MenuNode> items;
    bool is_separator() const { return text.empty() && id == 0 && items.empty(); }
};

// Menu 128 (no document open) and menu 129 (the document windows'); each a list of
// top-level pop-ups.
const std::vector<MenuNode>& frame_menu();
const std::vector<MenuNode>& document_menu();
// Where the recent files go in a File menu: after the item with this id.
inline constexpr int kRecentFilesAfter = cmd::kDeleteFile;

// Every command id that the menus hold, once each.
std::vector<int> menu_command_ids(const std::vector<MenuNode>& menu);
// The menu text of a command in the document menu (or the frame menu), or "".
std::string menu_text(int id);

enum class Dock { TopOnly, RightOnly, Any };

enum class BarKind { Buttons, Cuelist, VolumeIndicator, DbMeter, Spectrum };

struct BarInfo
{
    int number; // internal number 0..10, used by the preferences
    const char* title;
    BarKind kind;
    std::vector<int> buttons; // 0 is a separator
    Dock dock;
};

// In creation order: the two level bars, the spectrum bar, Files, Edit, Transport,
// Cursor, Effects, Undo, Timemark; the cue list with them.
const std::vector<BarInfo>& bars();
const BarInfo* bar_by_number(int number);

// Status line text and tool tip of a command, from the string table entry
// "status text\ntip". Both empty when the table has no entry.
struct Prompt
{
    std::string status;
    std::string tip;
};
Prompt command_prompt(int id);

} // namespace app
