#include "editor/app/commands.h"

#include "editor/commands/command_table.h"
#include "editor/strings.h"

#include <algorithm>
#include <cstring>

namespace app {
namespace {

// A menu item with its command's own menu text.
MenuNode item(int id)
{
    const commands::Command* c = commands::find(id);
    return MenuNode{c ? c->menu_text : "", id, {}};
}

// An item that shows another text for the same command.
MenuNode item(const char* text, int id)
{
    return MenuNode{text, id, {}};
}

MenuNode separator()
{
    return MenuNode{};
}

MenuNode popup(const char* text, std::vector<MenuNode> items)
{
    return MenuNode{text, 0, std::move(items)};
}

MenuNode help_menu()
{
    return popup("&Help", {item(cmd::kHelp), item(cmd::kTipOfTheDay), item(cmd::kTutorial),
                           item(cmd::kWebSite), separator(), item(cmd::kAbout)});
}

MenuNode options_menu()
{
    return popup("Opt&ions", {item(cmd::kPreferences), item(cmd::kSystemDevices),
                              item(cmd::kSampler), item(cmd::kMidiKeyboard)});
}

std::vector<MenuNode> build_frame_menu()
{
    return {
        popup("&File", {item(cmd::kCreateNewFile), item(cmd::kOpen), item(cmd::kDeleteFile),
                        separator(), item(cmd::kExit)}),
        options_menu(),
        help_menu(),
    };
}

std::vector<MenuNode> build_document_menu()
{
    return {
        popup("&File",
              {item(cmd::kCreateNewFile), item(cmd::kOpen), item(cmd::kSave), item(cmd::kSaveAs),
               item(cmd::kSaveHighlighted), item(cmd::kClose), item(cmd::kCloseAll),
               item(cmd::kDeleteFile), separator(), item(cmd::kExit)}),
        popup("&Edit",
              {item(cmd::kUndoRedo), item(cmd::kRedo), separator(), item(cmd::kCut),
               item(cmd::kCopy), item(cmd::kPaste), item(cmd::kReplace), item(cmd::kMix),
               item(cmd::kCrossFade), separator(), item(cmd::kClear), item(cmd::kCrop),
               item(cmd::kTrim), item(cmd::kInsertSilence), separator(), item(cmd::kEraseClipboard),
               item(cmd::kPlayClipboard), separator(), item(cmd::kSelectAll)}),
        popup("&View",
              {item(cmd::kUpdateDisplay), separator(), item(cmd::kZoomIn), item(cmd::kZoomOut),
               item(cmd::kMaximumZoom), item(cmd::kMinimumZoom), separator(),
               item(cmd::kGoToBeginning), item(cmd::kGoToEnd), item(cmd::kGoToHighlight),
               separator(), item(cmd::kMagnifiedImage), item(cmd::kFrequencySpectrum)}),
        popup("&Transport", {item(cmd::kRecord),
                             item(cmd::kPlay),
                             item(cmd::kPause),
                             item(cmd::kStop),
                             item(cmd::kLoopPlayback),
                             item(cmd::kSetupLoop),
                             item(cmd::kChaseLock),
                             item(cmd::kSetSmpte),
                             separator(),
                             item(cmd::kReview),
                             item(cmd::kCue),
                             item(cmd::kLeftEarlier),
                             item(cmd::kLeftLater),
                             item(cmd::kRightEarlier),
                             item(cmd::kRightLater),
                             separator(),
                             item(cmd::kMakeTimemark),
                             item(cmd::kEraseTimemarks),
                             item(cmd::kShowPlaylist),
                             item(cmd::kPlayPlaylist)}),
        popup("Oper&ations", {item(cmd::kStretch),
                              item("A&ccelerando...\tAlt+Shift+i", cmd::kStretch),
                              item("Ritardando...\tAlt+Shift+j", cmd::kStretch),
                              separator(),
                              item(cmd::kAmplify),
                              item(cmd::kChangePitch),
                              item("&Glissando...", cmd::kChangePitch),
                              item(cmd::kCompressor),
                              item(cmd::kEcho),
                              item(cmd::kEnvelope),
                              item(cmd::kEqualize),
                              item(cmd::kFade),
                              item(cmd::kFlange),
                              item(cmd::kFilter),
                              item(cmd::kModulate),
                              item(cmd::kNoiseReduction),
                              item(cmd::kPan),
                              item(cmd::kReverb),
                              item(cmd::kReverse),
                              item(cmd::kSpatialLocalization),
                              item(cmd::kTonesEffects),
                              separator(),
                              item(cmd::kSelectPlugins)}),
        options_menu(),
        popup("Win&dow",
              {item(cmd::kCascade), item(cmd::kTileHorizontally), item(cmd::kTileVertically)}),
        help_menu(),
    };
}

void collect(const std::vector<MenuNode>& nodes, std::vector<int>& out)
{
    for (const MenuNode& n : nodes) {
        if (n.id != 0 && std::find(out.begin(), out.end(), n.id) == out.end())
            out.push_back(n.id);
        collect(n.items, out);
    }
}

const MenuNode* find(const std::vector<MenuNode>& nodes, int id)
{
    for (const MenuNode& n : nodes) {
        if (n.id == id)
            return &n;
        if (const MenuNode* f = find(n.items, id))
            return f;
    }
    return nullptr;
}

} // namespace

const std::vector<MenuNode>& frame_menu()
{
    static const std::vector<MenuNode> menu = build_frame_menu();
    return menu;
}

const std::vector<MenuNode>& document_menu()
{
    static const std::vector<MenuNode> menu = build_document_menu();
    return menu;
}

std::vector<int> menu_command_ids(const std::vector<MenuNode>& menu)
{
    std::vector<int> ids;
    collect(menu, ids);
    return ids;
}

std::string menu_text(int id)
{
    if (const MenuNode* n = find(document_menu(), id))
        return n->text;
    if (const MenuNode* n = find(frame_menu(), id))
        return n->text;
    return "";
}

const std::vector<BarInfo>& bars()
{
    static const std::vector<BarInfo> list = {
        {7,
         "Cuelist",
         BarKind::Cuelist,
         {cmd::kShowPlaylist, cmd::kPlayPlaylist, 0},
         Dock::TopOnly},
        {9, "DB Meter", BarKind::DbMeter, {12100}, Dock::RightOnly},
        {8, "Volume Indicator", BarKind::VolumeIndicator, {12001}, Dock::RightOnly},
        {10, "Spectrum Indicator", BarKind::Spectrum, {cmd::kSpectrumBlock}, Dock::RightOnly},
        {0, "Files", BarKind::Buttons, {11200, 11201, 11202, 11203, 11204, 57602}, Dock::Any},
        {1,
         "Edit",
         BarKind::Buttons,
         {11301, 11302, 1881, 11303, 11304, 11305, 11306, 11307},
         Dock::Any},
        {2, "Transport", BarKind::Buttons, {11400, 11404, 11401, 11402, 11403, 11309}, Dock::Any},
        {6,
         "Cursor",
         BarKind::Buttons,
         {11800, 11900, 11902, 11903, 11904, 11905, 11901, 11801},
         Dock::Any},
        {3,
         "Effects",
         BarKind::Buttons,
         {11500, 11501, 11502, 11503, 11504, 11505, 11506, 11507, 11508, 11509, 11510, 11511, 11512,
          11514, 11515, 11516, 11517, 11518},
         Dock::Any},
        {4, "Undo", BarKind::Buttons, {11600, 11601}, Dock::Any},
        {5, "Timemark", BarKind::Buttons, {11700, 11701}, Dock::Any},
    };
    return list;
}

const BarInfo* bar_by_number(int number)
{
    for (const BarInfo& b : bars())
        if (b.number == number)
            return &b;
    return nullptr;
}

Prompt command_prompt(int id)
{
    Prompt p;
    const char* text = string_table_text(id);
    // Some command ids also name a button bitmap in the table ("HELP" for 1405); those
    // entries carry no line feed and are no prompt.
    if (text && !std::strchr(text, '\n'))
        text = command_prompt_text(id);
    if (!text)
        return p;
    std::string s = text;
    auto nl = s.find('\n');
    if (nl == std::string::npos) {
        p.status = s;
    } else {
        p.status = s.substr(0, nl);
        p.tip = s.substr(nl + 1);
    }
    return p;
}

} // namespace app
