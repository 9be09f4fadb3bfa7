// A highlighted section dropped on another document window.
#include "editor/edit/clipboard_files.h"
#include "editor/edit/combine_dialog.h"
#include "editor/edit/combine_engine.h"
#include "editor/edit/edit_commands.h"
#include "platform/ui.h"

int drop_selection_on_document(CChildFrame& source, CChildFrame& destination)
{
    if (&source == &destination)
        return 0;
    CombineSelectionDialog dialog(has_highlighted_section(destination),
                                  destination.wave_format.channels == 2);
    const int code = kel::ui().run_modal(dialog);
    switch (code) {
    case 11304:
    case 11305:
    case 11306:
    case 11307:
    case 11311:
        return combine_selection(&source, destination, 1, code);
    default:
        return 0;
    }
}
