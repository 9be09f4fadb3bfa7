// Paste: the clipboard replaces the highlighted section (inserts at a caret).
#include "editor/document/combine_engine.h"
#include "editor/document/edit_commands.h"

int edit_paste(CChildFrame& doc)
{
    return combine_selection(clipboard_source(), doc, 0, 11305);
}
