#pragma once
// More than one step of undo ("Undo levels" above 1): the states before the undo slot and
// after the redo slot, oldest first, with the menu texts of the steps that made them.
// With one level (the default) none of this is used and undo and redo toggle as ever.
#include <cstdint>

class CChildFrame;
struct FileSlot;

// "Undo levels" of the "Preferences" section, 1 to 100.
int undo_levels();
void set_undo_levels(int levels); // written to the profile too

// A step is complete: `before` was the current state, the document's current slot holds
// the new one. Files that fall out of the history are deleted.
void history_step_done(CChildFrame& doc, const FileSlot& before);
// Undo and redo walk the history; -1 when the history does not hold the document's
// current state (the one-step code then runs).
int history_undo(CChildFrame& doc);
int history_redo(CChildFrame& doc);
// True when the history still needs that working file.
bool history_holds(const CChildFrame& doc, const char* file_name);
// The document goes: the files only its history held go with it.
void history_forget(CChildFrame& doc);

// Disk bytes the history's working files take beyond the current states: of one
// document, and of all.
uint64_t undo_history_bytes(const CChildFrame& doc);
uint64_t undo_history_bytes();
