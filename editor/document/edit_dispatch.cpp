// Command ids of a document window to their handlers.
#include "editor/document/edit_commands.h"
#include "editor/document/edit_menu.h"

int edit_command(CChildFrame& doc, int id)
{
    switch (id) {
    case 11303:
        return edit_cut(doc);
    case 11304:
        return edit_copy(doc);
    case 11305:
        return edit_paste(doc);
    case 11306:
        return edit_replace(doc);
    case 11307:
        return edit_mix(doc);
    case 11302:
        return edit_crop(doc);
    case 1881:
        return edit_trim(doc);
    case 11518:
        return edit_insert_silence(doc);
    case 11308:
        return edit_erase_clipboard(doc);
    case 11301:
        return edit_clear(doc);
    case kUndoCommand:
        return doc.undo_command();
    case kRedoCommand:
        return doc.redo_command();
    case kUndoMenuItem:
        return doc.undo_redo_command();
    default:
        return 0;
    }
}
