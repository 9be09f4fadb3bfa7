#pragma once
// The one accelerator table of the frame and every document window, made from the keys
// of the command table (editor/commands/command_table.h). Entries are either
// key combinations or typed characters; the table is searched in order and the first
// entry that matches takes the key, so the key entries of Ctrl+B and Ctrl+E win over the
// character entries for the same keys.
#include <QKeyEvent>
#include <vector>

namespace app {

struct Accelerator
{
    enum Kind {
        Key,      // a key with exactly these modifiers
        Character // a typed character; alt says whether Alt is held
    };
    Kind kind;
    int key;  // Qt::Key for Key entries, the character code for Character entries
    int mods; // Qt::KeyboardModifiers for Key entries; for Character entries only Alt
    int command;
};

const std::vector<Accelerator>& accelerator_table();

// The command of a key press, or 0 when no entry matches.
int accelerator_command(int key, Qt::KeyboardModifiers modifiers, const QString& text);
inline int accelerator_command(const QKeyEvent& event)
{
    return accelerator_command(event.key(), event.modifiers(), event.text());
}

} // namespace app
