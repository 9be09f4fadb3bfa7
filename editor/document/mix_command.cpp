// Mix: the clipboard is mixed into both channels from the selection start, at the gains
// last chosen in the combine dialog.
#include "editor/document/clipboard_files.h"
#include "editor/document/combine_engine.h"
#include "editor/document/edit_commands.h"

int edit_mix(CChildFrame& doc)
{
    // The menu item names no channel; a left or right choice belongs to a drop.
    g_clipboard.mix_left = 0;
    g_clipboard.mix_right = 0;
    return combine_selection(clipboard_source(), doc, 0, 11307);
}
