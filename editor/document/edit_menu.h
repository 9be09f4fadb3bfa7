#pragma once
#include "editor/commands/command_ids.h"

#include <string>

// The Edit menu's single undo item, shared by all documents, and the command that the
// undo tool-bar button sends. The GUI shows this state.
struct UndoMenuState
{
    std::string text = "&Undo\tCtrl+Z";
    bool enabled = false;
    int toolbar_command = 11600;
    // With more than one undo level, Redo is an item of its own.
    std::string redo_item = "&Redo\tCtrl+Shift+Z";
    bool redo_enabled = false;
};

extern UndoMenuState g_undo_menu;

// The undo item follows the active document (the fresh, disabled state when none).
void show_active_undo_state();
