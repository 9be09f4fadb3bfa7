// Replace: the clipboard overwrites the document from the selection start.
#include "editor/document/combine_engine.h"
#include "editor/document/edit_commands.h"

int edit_replace(CChildFrame& doc)
{
    return combine_selection(clipboard_source(), doc, 0, 11306);
}
