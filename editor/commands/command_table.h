#pragma once
// The editor's one command table: per command its id, name, menu text, accelerator, the
// flags that say when it is available and what it changes, and its handler. The menus,
// the accelerators, the tool bars, the document view and the Operations dispatch all
// read it, and every source of a command (menu, bar, key, play bar, a sibling's request)
// reaches the handler through commands::run.
#include "common/window.h"
#include "editor/commands/command_ids.h"

#include <vector>

class CChildFrame;
struct ViewState;

// What only the program's windows can do: the frame's own commands (files, windows,
// bars, help) run here.
class CommandHost
{
  public:
    virtual ~CommandHost() = default;
    // A command whose row names the frame as its handler; param as sent (the bar number
    // of 1039). 1 when it did something.
    virtual int frame_command(int id, long param) = 0;
    // The main window, handed to the module members that take it.
    virtual HWND main_window() = 0;
};

// Where a command runs: the document (null when none is open), its view's state, and
// the frame.
struct CommandContext
{
    CChildFrame* doc = nullptr;
    ViewState* view = nullptr;
    CommandHost* host = nullptr;
    long param = 0;
};

namespace commands {

enum Flag : unsigned {
    kDocument = 1u << 0,         // works on a document: unavailable with none open
    kInternal = 1u << 1,         // sent by other parts of the program, on no menu: always taken
    kTransport = 1u << 2,        // stays usable while a document plays
    kChangesView = 1u << 3,      // a view command: the view scrolls and redraws after it
    kChangesSelection = 1u << 4, // ... and the selection readouts follow
    kChangesData = 1u << 5,      // the document's data may have changed: redraw it all
};

// What a handler did: 1 when it acted, 0 when there was nothing to do or it failed.
using Handler = int (*)(CommandContext& context, int id);

struct Command
{
    int id;
    const char* name;
    // The text of its menu item ("" for none); a tab separates the shown accelerator.
    const char* menu_text;
    // Its keys, comma-separated: "Ctrl+N", "Shift+Del", "F1", "Alt+Shift+1" are keys;
    // "'m'" and "Alt+'l'" typed characters; "^D" the control character of Ctrl+D.
    const char* accelerator;
    unsigned flags;
    // Null for a command this build does not carry out: it stays on the menus, disabled.
    Handler handler;
};

const std::vector<Command>& table();
const Command* find(int id);
bool has_flag(int id, unsigned flag);

// Carried out by this build: a handler, and for the Operations rows the module member
// linked (module_calls()).
bool implemented(int id);
// Implemented, and its availability flags set: a document there when it needs one, the
// command flag set (held back while a document plays unless it is a transport or frame
// command), and for the undo item the undo state.
bool available(int id, bool have_document);

// The one route to a handler. Runs it when the command is available (internal commands
// always) and returns its result; -1 when nothing ran (an unknown id, a command this
// build does not carry out, or one not available now).
int run(int id, CommandContext& context);

} // namespace commands
