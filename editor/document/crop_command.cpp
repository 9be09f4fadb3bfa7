// Crop: only the highlighted section stays (and goes to the clipboard too).
#include "editor/document/combine_engine.h"
#include "editor/document/edit_commands.h"
#include "platform/ui.h"

int edit_crop(CChildFrame& doc)
{
    if (!has_highlighted_section(doc)) {
        kel::ui().beep();
        return 0;
    }
    return combine_selection(&doc, doc, 1, 11302);
}
