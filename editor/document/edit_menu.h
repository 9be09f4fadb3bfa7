#pragma once
#include <string>

// The Edit menu's single undo item, shared by all documents, and the command that the
// undo tool-bar button sends. The GUI shows this state.
struct UndoMenuState
{
    std::string text = "&Undo\tCtrl+Z";
    bool enabled = false;
    int toolbar_command = 11600;
};

extern UndoMenuState g_undo_menu;

inline constexpr int kUndoMenuItem = 11602;
inline constexpr int kUndoCommand = 11600;
inline constexpr int kRedoCommand = 11601;

// The undo item follows the active document (the fresh, disabled state when none).
void show_active_undo_state();
