#pragma once
// Process-wide state of the application object: the current-file buffers that command
// 2002 opens, the product name and the command-availability flags.
#include <string>

namespace app {

inline constexpr const char* kProductName = "Kelvara";

// The file that the next command 2002 opens (full path, up to 260 characters) and its
// file-name part, the title of the new document window.
extern char g_current_file[260];
extern char g_current_title[260];
// Puts a full path into both buffers. False (buffers untouched) when it does not fit.
bool set_current_file(const std::string& full_path);

// Command-availability flags: a command without a flag of its own counts as available.
bool command_flag(int id);
void set_command_flag(int id, bool enabled);
bool has_command_flag(int id);
void clear_command_flags();
// The flags of start-up: the transport, cursor and nudge commands on; undo, redo and the
// playlist off.
void set_startup_command_flags();

// Output level of the master volume (0 to 255), handed to playback; and the level that
// the output reports back.
int master_output_level();
void set_master_output_level(int level);
int reported_output_level();

} // namespace app
