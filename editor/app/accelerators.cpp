#include "editor/app/accelerators.h"

#include "editor/app/commands.h"

namespace app {
namespace {

constexpr int kCtrl = Qt::ControlModifier;
constexpr int kShift = Qt::ShiftModifier;
constexpr int kAlt = Qt::AltModifier;

Accelerator key(int k, int mods, int command)
{
    return {Accelerator::Key, k, mods, command};
}

Accelerator chr(char c, int command, bool alt = false)
{
    return {Accelerator::Character, static_cast<unsigned char>(c), alt ? kAlt : 0, command};
}

// Ctrl with a letter types that letter's control character.
char control(char letter)
{
    return static_cast<char>(letter & 0x1f);
}

std::vector<Accelerator> build()
{
    using namespace cmd;
    std::vector<Accelerator> t = {
        key(Qt::Key_N, kCtrl, kCreateNewFile),
        key(Qt::Key_O, kCtrl, kOpen),
        key(Qt::Key_S, kCtrl, kSave),
        key(Qt::Key_F, kCtrl, kSaveAs),
        key(Qt::Key_T, kCtrl, kSaveHighlighted),
        key(Qt::Key_W, kCtrl, kClose),
        key(Qt::Key_Z, kCtrl, kUndoRedo),
        key(Qt::Key_Backspace, kAlt, kUndo),
        key(Qt::Key_X, kCtrl, kCut),
        key(Qt::Key_Delete, kShift, kCut),
        key(Qt::Key_C, kCtrl, kCopy),
        key(Qt::Key_Insert, kCtrl, kCopy),
        key(Qt::Key_V, kCtrl, kPaste),
        key(Qt::Key_Insert, kShift, kPaste),
        key(Qt::Key_R, kCtrl, kReplace),
        key(Qt::Key_M, kCtrl, kMix),
        key(Qt::Key_A, kCtrl, kSelectAll),
        key(Qt::Key_B, kCtrl, kGoToBeginning),
        key(Qt::Key_E, kCtrl, kGoToEnd),
        key(Qt::Key_H, kCtrl, kGoToHighlight),
        key(Qt::Key_U, kCtrl, kUpdateDisplay),
        key(Qt::Key_F1, 0, kHelp),
        key(Qt::Key_F5, kShift, kCascade),
        key(Qt::Key_F4, kShift, kTileVertically),
        key(Qt::Key_F6, kShift, kTileHorizontally),
        chr('m', kMakeTimemark),
        chr('z', kZoomIn),
        chr('u', kZoomOut),
        chr(control('B'), kSystemDevices),
        chr(control('D'), kDeleteFile),
        chr(control('E'), kEraseClipboard),
        chr(control('G'), kShowPlaylist),
        chr(control('I'), kMagnifiedImage),
        chr(control('J'), kShowHideBar),
        chr(control('K'), 1036),
        chr(control('L'), 1035),
        chr(control('P'), 1008),
        chr(control('Q'), kFrequencySpectrum),
        chr(control('Y'), kPlayClipboard),
    };
    // Alt+Shift with the digits and letters: the effect commands.
    for (int d = 1; d <= 9; ++d)
        t.push_back(key(Qt::Key_0 + d, kAlt | kShift, 11500 + d - 1));
    const struct
    {
        int k;
        int command;
    } letters[] = {{Qt::Key_A, 11509}, {Qt::Key_C, 11510}, {Qt::Key_D, 11511}, {Qt::Key_E, 11512},
                   {Qt::Key_F, 11513}, {Qt::Key_G, 11514}, {Qt::Key_H, 11515}, {Qt::Key_I, 11500},
                   {Qt::Key_J, 11500}, {Qt::Key_K, 11517}, {Qt::Key_L, 11518}, {Qt::Key_M, 1037},
                   {Qt::Key_S, 11516}};
    for (const auto& l : letters)
        t.push_back(key(l.k, kAlt | kShift, l.command));
    const struct
    {
        char c;
        int command;
    } alt_chars[] = {{'l', kLoopPlayback}, {'n', 1030}, {'o', 1027},
                     {'p', kPreferences},  {'q', 1028}, {'r', kSetupLoop},
                     {'s', kChaseLock},    {'w', 114},  {'u', kMinimumZoom},
                     {'z', kMaximumZoom}};
    for (const auto& a : alt_chars)
        t.push_back(chr(a.c, a.command, true));
    return t;
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
