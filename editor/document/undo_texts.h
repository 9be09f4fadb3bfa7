#pragma once

// The Edit menu texts that name an operation for undo and for redo.
struct UndoTexts
{
    int code;
    const char* undo;
    const char* redo;
};

// Null for a code that names no step (the texts are then left as they were).
const UndoTexts* find_undo_texts(int code);
// The whole table, in code order, ending with a null entry.
const UndoTexts* undo_text_table();

// Operations that set the redo slot's length themselves.
bool operation_sets_length(int code);
