#pragma once

// The two preferences the undo protocol consults, held in memory as the program reads
// them at start-up ("Preferences" section of the application profile). The preference
// pages and the composite build change them here.
struct UndoPreferences
{
    bool backup_for_undo = true; // "Backup for undo", missing: yes
    bool voice_message = false;  // "Voice message", missing: no
    int undo_levels = 1;         // "Undo levels", 1 to 100, missing: 1 (undo and redo toggle)
};

// Read from the profile on first use, or again by load_undo_preferences.
UndoPreferences& undo_preferences();
void load_undo_preferences();
// Writes both back as "yes" / "no".
void save_undo_preferences();
