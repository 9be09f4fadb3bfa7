// In-memory copy of the undo-related preferences.
#include "editor/document/undo_preferences.h"

#include "platform/profile.h"

namespace {
UndoPreferences g_preferences;
bool g_loaded = false;
} // namespace

void load_undo_preferences()
{
    const std::string profile = kel::profile::app_profile();
    g_preferences.backup_for_undo =
        kel::profile::read_yes_no("Preferences", "Backup for undo", true, profile);
    g_preferences.voice_message =
        kel::profile::read_yes_no("Preferences", "Voice message", false, profile);
    const long levels = kel::profile::read_int("Preferences", "Undo levels", 1, profile);
    g_preferences.undo_levels = static_cast<int>(levels < 1 ? 1 : levels > 100 ? 100 : levels);
    g_loaded = true;
}

UndoPreferences& undo_preferences()
{
    if (!g_loaded)
        load_undo_preferences();
    return g_preferences;
}

void save_undo_preferences()
{
    const std::string profile = kel::profile::app_profile();
    kel::profile::write_yes_no("Preferences", "Backup for undo", g_preferences.backup_for_undo,
                               profile);
    kel::profile::write_yes_no("Preferences", "Voice message", g_preferences.voice_message,
                               profile);
    kel::profile::write_int("Preferences", "Undo levels", g_preferences.undo_levels, profile);
    g_loaded = true;
}
