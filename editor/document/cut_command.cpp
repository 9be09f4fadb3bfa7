// Cut: the highlighted section goes to the clipboard and out of the document.
#include "editor/document/combine_engine.h"
#include "editor/document/edit_commands.h"
#include "platform/ui.h"

int edit_cut(CChildFrame& doc)
{
    if (doc.current.select_end <= doc.current.select_start) {
        kel::ui().beep();
        return 0;
    }
    return combine_selection(&doc, doc, 1, 11303);
}
