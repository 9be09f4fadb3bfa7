// Erase clipboard: its files go and nothing can be pasted until the next copy.
#include "editor/document/clipboard_files.h"
#include "editor/document/edit_commands.h"

int edit_erase_clipboard(CChildFrame& doc)
{
    (void)doc;
    erase_clipboard();
    return 1;
}
