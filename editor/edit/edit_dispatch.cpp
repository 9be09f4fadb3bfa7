// The clipboard commands of a document window: the one-call commands here, the longer
// ones in files of their own, all reached through one table.
#include "editor/document/edit_menu.h"
#include "editor/edit/clipboard_files.h"
#include "editor/edit/combine_engine.h"
#include "editor/edit/edit_commands.h"
#include "platform/ui.h"

CChildFrame* clipboard_source()
{
    return g_clipboard.source_window ? documents::find_by_window(g_clipboard.source_window)
                                     : nullptr;
}

// Cut: the highlighted section goes to the clipboard and out of the document.
int edit_cut(CChildFrame& doc)
{
    if (doc.current.select_end <= doc.current.select_start) {
        kel::ui().beep();
        return 0;
    }
    return combine_selection(&doc, doc, 1, 11303);
}

// Copy: the highlighted section goes to the clipboard; this document becomes its source.
int edit_copy(CChildFrame& doc)
{
    // Nothing highlighted would replace the clipboard by nothing.
    if (doc.current.select_end <= doc.current.select_start) {
        kel::ui().beep();
        return 0;
    }
    return copy_to_clipboard(doc);
}

// Paste: the clipboard replaces the highlighted section (inserts at a caret).
int edit_paste(CChildFrame& doc)
{
    return combine_selection(clipboard_source(), doc, 0, 11305);
}

// Replace: the clipboard overwrites the document from the selection start.
int edit_replace(CChildFrame& doc)
{
    return combine_selection(clipboard_source(), doc, 0, 11306);
}

// Mix: the clipboard is mixed into both channels from the selection start, at the gains
// last chosen in the combine dialog.
int edit_mix(CChildFrame& doc)
{
    // The menu item names no channel; a left or right choice belongs to a drop.
    g_clipboard.mix_left = 0;
    g_clipboard.mix_right = 0;
    return combine_selection(clipboard_source(), doc, 0, 11307);
}

// Crop: only the highlighted section stays (and goes to the clipboard too).
int edit_crop(CChildFrame& doc)
{
    if (!has_highlighted_section(doc)) {
        kel::ui().beep();
        return 0;
    }
    return combine_selection(&doc, doc, 1, 11302);
}

// Erase clipboard: its files go and nothing can be pasted until the next copy.
int edit_erase_clipboard(CChildFrame& doc)
{
    (void)doc;
    erase_clipboard();
    return 1;
}

namespace {

int undo(CChildFrame& doc)
{
    return doc.undo_command();
}

int redo(CChildFrame& doc)
{
    return doc.redo_command();
}

int undo_item(CChildFrame& doc)
{
    return doc.undo_redo_command();
}

struct EditCommand
{
    int id;
    int (*run)(CChildFrame&);
};

constexpr EditCommand kEditCommands[] = {
    {cmd::kCut, edit_cut},
    {cmd::kCopy, edit_copy},
    {cmd::kPaste, edit_paste},
    {cmd::kReplace, edit_replace},
    {cmd::kMix, edit_mix},
    {cmd::kCrop, edit_crop},
    {cmd::kTrim, edit_trim},
    {cmd::kInsertSilence, edit_insert_silence},
    {cmd::kEraseClipboard, edit_erase_clipboard},
    {cmd::kUndo, undo},
    {cmd::kRedo, redo},
    {cmd::kUndoRedo, undo_item},
};

} // namespace

int edit_command(CChildFrame& doc, int id)
{
    for (const EditCommand& c : kEditCommands)
        if (c.id == id)
            return c.run(doc);
    return 0;
}
