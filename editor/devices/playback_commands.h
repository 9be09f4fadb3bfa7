#pragma once
// The command-availability flags the menus and tool bars consult. While a document
// plays, every flag but the transport's is held at 0 and restored afterwards.
#include <vector>

namespace playback_commands {

// An id never set counts as enabled.
bool enabled(int command);
void set_enabled(int command, bool on);
// The flag as set, whether or not playback holds it back.
bool flag(int command);
// Play, Pause, Stop and Loop playback stay usable during playback.
bool is_transport(int command);
void suspend_editing();
void resume_editing();
bool editing_suspended();
// Clears every flag (tests).
void reset();

} // namespace playback_commands
