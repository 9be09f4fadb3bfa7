#include "editor/app/accelerators.h"

#include "editor/commands/command_table.h"

#include <cstdlib>
#include <string>

namespace app {
namespace {

constexpr int kCtrl = Qt::ControlModifier;
constexpr int kShift = Qt::ShiftModifier;
constexpr int kAlt = Qt::AltModifier;

// One key of a command row's accelerator text: "Ctrl+N", "Shift+Del", "F1",
// "Alt+Shift+1" are keys, "'m'" and "Alt+'l'" typed characters, "^D" the control
// character that Ctrl+D types.
bool parse_key(std::string text, int command, Accelerator& out)
{
    int mods = 0;
    for (;;) {
        if (text.rfind("Ctrl+", 0) == 0) {
            mods |= kCtrl;
            text.erase(0, 5);
        } else if (text.rfind("Shift+", 0) == 0) {
            mods |= kShift;
            text.erase(0, 6);
        } else if (text.rfind("Alt+", 0) == 0) {
            mods |= kAlt;
            text.erase(0, 4);
        } else {
            break;
        }
    }
    if (text.size() == 2 && text[0] == '^' && text[1] >= 'A' && text[1] <= 'Z') {
        out = {Accelerator::Character, text[1] & 0x1f, 0, command};
        return true;
    }
    if (text.size() == 3 && text[0] == '\'' && text[2] == '\'') {
        out = {Accelerator::Character, static_cast<unsigned char>(text[1]), mods & kAlt, command};
        return true;
    }
    int key = 0;
    if (text.size() == 1 &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= '0' && text[0] <= '9')))
        key = text[0]; // Qt's key codes of letters and digits are their capitals
    else if (text == "Del")
        key = Qt::Key_Delete;
    else if (text == "Ins")
        key = Qt::Key_Insert;
    else if (text == "Backspace")
        key = Qt::Key_Backspace;
    else if (text == "Home")
        key = Qt::Key_Home;
    else if (text == "End")
        key = Qt::Key_End;
    else if (text == "Left")
        key = Qt::Key_Left;
    else if (text == "Right")
        key = Qt::Key_Right;
    else if (text == "Space")
        key = Qt::Key_Space;
    else if (text.size() >= 2 && text[0] == 'F')
        key = Qt::Key_F1 + std::atoi(text.c_str() + 1) - 1;
    if (key == 0)
        return false;
    out = {Accelerator::Key, key, mods, command};
    return true;
}

// The key entries first: Ctrl+B and Ctrl+E as keys win over the characters they type.
std::vector<Accelerator> build()
{
    std::vector<Accelerator> keys;
    std::vector<Accelerator> characters;
    for (const commands::Command& c : commands::table()) {
        std::string list = c.accelerator;
        size_t at = 0;
        while (at < list.size()) {
            size_t end = list.find(", ", at);
            if (end == std::string::npos)
                end = list.size();
            Accelerator a{};
            if (parse_key(list.substr(at, end - at), c.id, a))
                (a.kind == Accelerator::Key ? keys : characters).push_back(a);
            at = end + 2;
        }
    }
    keys.insert(keys.end(), characters.begin(), characters.end());
    return keys;
}

// Shift+digit types a symbol on most layouts; the key entries name the digit itself.
int digit_of_shifted_symbol(int key)
{
    static const char symbols[] = "!@#$%^&*(";
    for (int i = 0; i < 9; ++i)
        if (key == symbols[i])
            return Qt::Key_1 + i;
    return key;
}

} // namespace

const std::vector<Accelerator>& accelerator_table()
{
    static const std::vector<Accelerator> table = build();
    return table;
}

int accelerator_command(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    const int mods =
        static_cast<int>(modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier));
    if ((mods & kShift) != 0)
        key = digit_of_shifted_symbol(key);
    // The character the key types: a control character with Ctrl and a letter.
    int typed = 0;
    if ((mods & kCtrl) != 0 && (mods & kAlt) == 0) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            typed = (key - Qt::Key_A + 1);
    } else if (text.size() == 1) {
        typed = text.at(0).unicode();
        if ((mods & kAlt) != 0 && typed >= 'A' && typed <= 'Z' && (mods & kShift) == 0)
            typed = typed - 'A' + 'a';
    } else if ((mods & kAlt) != 0 && key >= Qt::Key_A && key <= Qt::Key_Z) {
        // Alt+letter often arrives without text.
        typed = 'a' + (key - Qt::Key_A);
        if ((mods & kShift) != 0)
            typed = 'A' + (key - Qt::Key_A);
    }
    for (const Accelerator& a : accelerator_table()) {
        if (a.kind == Accelerator::Key) {
            if (a.key == key && a.mods == mods)
                return a.command;
        } else if (typed != 0 && a.key == typed) {
            const bool alt = (mods & kAlt) != 0;
            const bool want_alt = (a.mods & kAlt) != 0;
            // Plain characters must not swallow Ctrl combinations other than their own.
            const bool ctrl_ok = (a.key < 0x20) == ((mods & kCtrl) != 0);
            if (alt == want_alt && ctrl_ok)
                return a.command;
        }
    }
    return 0;
}

} // namespace app
