// Copy: the highlighted section goes to the clipboard; this document becomes its source.
#include "editor/document/clipboard_files.h"
#include "editor/document/edit_commands.h"
#include "platform/ui.h"

CChildFrame* clipboard_source()
{
    return g_clipboard.source_window ? documents::find_by_window(g_clipboard.source_window)
                                     : nullptr;
}

int edit_copy(CChildFrame& doc)
{
    // Nothing highlighted would replace the clipboard by nothing.
    if (doc.current.select_end <= doc.current.select_start) {
        kel::ui().beep();
        return 0;
    }
    return copy_to_clipboard(doc);
}
