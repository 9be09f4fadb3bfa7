#pragma once
// The commands of the waveform view by id, and the keys that reach them.
#include "editor/commands/command_ids.h"
#include "editor/devices/playback_controller.h"
#include "editor/view/view_state.h"

class CChildFrame;

// Zoom (1898, 1899, 87, 88), go to (11800, 11801, 11906), highlight edges
// (11900..11905) and select all (1020). -1 for an id that is not the view's; otherwise
// 1 when something changed and 0 when the command had nothing to do.
int view_command(CChildFrame& doc, ViewState& view, int id);

// Key modifiers as the key route sees them.
enum KeyModifier { kKeyShift = 1, kKeyControl = 2, kKeyAlt = 4 };

// What a key does in a document window: 'p' is Play (which stops a running playback),
// 'o' Loop playback or, while something plays, Play; the view's entries of the key table
// give their command id; 0 for any other key, which the frame's key table takes.
// character is the typed character (lower case for letters).
int view_key_command(CChildFrame& doc, int character, int modifiers);

// What a start from this view asks for: from the caret a click put down when nothing is
// highlighted, else the document's own range.
PlayRequest play_request(const CChildFrame& doc, const ViewState& view);
