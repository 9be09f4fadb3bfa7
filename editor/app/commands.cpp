#include "editor/app/commands.h"

#include "editor/app/app_state.h"
#include "editor/devices/playback_commands.h"
#include "editor/modules/operations.h"
#include "editor/strings.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace app {
namespace {

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
    return popup("&Help",
                 {item("&Help\tF1", cmd::kHelp), item("Ti&p of the Day...", cmd::kTipOfTheDay),
                  item("&Tutorial", cmd::kTutorial), item("Kelvara on the &Web", cmd::kWebSite),
                  separator(), item("&About Kelvara...", cmd::kAbout)});
}

MenuNode options_menu()
{
    return popup("Opt&ions", {item("&Preferences...\tCtrl+P", cmd::kPreferences),
                              item("System &devices...", cmd::kSystemDevices),
                              item("Display Midi &keyboard", cmd::kMidiKeyboard)});
}

std::vector<MenuNode> build_frame_menu()
{
    return {
        popup("&File", {item("&Create new file ...\tCtrl+N", cmd::kCreateNewFile),
                        item("&Open ...\tCtrl+O", cmd::kOpen),
                        item("&Delete file...\tCtrl+D", cmd::kDeleteFile), separator(),
                        item("E&xit", cmd::kExit)}),
        options_menu(),
        help_menu(),
    };
}

std::vector<MenuNode> build_document_menu()
{
    return {
        popup("&File", {item("&Create new file ...\tCtrl+N", cmd::kCreateNewFile),
                        item("&Open ...\tCtrl+O", cmd::kOpen), item("&Save\tCtrl+S", cmd::kSave),
                        item("Save &As...\tCtrl+F", cmd::kSaveAs),
                        item("Save &Highlighted Area...\tCtrl+T", cmd::kSaveHighlighted),
                        item("&Close\tCtrl+W", cmd::kClose), item("Close &All", cmd::kCloseAll),
                        item("&Delete file...\tCtrl+D", cmd::kDeleteFile), separator(),
                        item("E&xit", cmd::kExit)}),
        popup("&Edit",
              {item("&Undo\tCtrl+Z", cmd::kUndoRedo), separator(), item("&Cut\tCtrl+X", cmd::kCut),
               item("Co&py\tCtrl+C", cmd::kCopy), item("&Paste\tCtrl+V", cmd::kPaste),
               item("&Replace\tCtrl+R", cmd::kReplace), item("&Mix\tCtrl+M", cmd::kMix),
               item("Cross &fade", cmd::kCrossFade), separator(), item("C&lear", cmd::kClear),
               item("Cr&op", cmd::kCrop), item("&Trim", cmd::kTrim),
               item("Insert &Silence...\tAlt+Shift+l", cmd::kInsertSilence), separator(),
               item("&Erase clipboard\tCtrl+E", cmd::kEraseClipboard),
               item("Play clip&board\tCtrl+Y", cmd::kPlayClipboard), separator(),
               item("&Select all\tCtrl+A", cmd::kSelectAll)}),
        popup("&View", {item("&Update display\tCtrl+U", cmd::kUpdateDisplay), separator(),
                        item("Zoom &In\tz", cmd::kZoomIn), item("Zoom O&ut\tu", cmd::kZoomOut),
                        item("Maximum zoom\tAlt+Z", cmd::kMaximumZoom),
                        item("Minimum zoom\tAlt+U", cmd::kMinimumZoom), separator(),
                        item("Go to &beginning\tCtrl+B", cmd::kGoToBeginning),
                        item("Go to &end\tCtrl+E", cmd::kGoToEnd),
                        item("Go to &highlight\tCtrl+H", cmd::kGoToHighlight), separator(),
                        item("&Magnified image...\tCtrl+I", cmd::kMagnifiedImage),
                        item("&Frequency spectrum...\tCtrl+Q", cmd::kFrequencySpectrum)}),
        popup("&Transport",
              {item("&Record...", cmd::kRecord), item("&Play\tp", cmd::kPlay),
               item("Pa&use", cmd::kPause), item("&Stop", cmd::kStop),
               item("Lo&op playback\tAlt+L", cmd::kLoopPlayback),
               item("Setup pla&yback loop...\tAlt+R", cmd::kSetupLoop),
               item("&SMPTE chase lock...\tAlt+S", cmd::kChaseLock), separator(),
               item("Re&view", cmd::kReview), item("&Cue", cmd::kCue),
               item("L hilight <-", cmd::kLeftEarlier), item("L hilight ->", cmd::kLeftLater),
               item("R hilight <-", cmd::kRightEarlier), item("R hilight ->", cmd::kRightLater),
               separator(), item("Make &timemark\tm", cmd::kMakeTimemark),
               item("&Erase timemarks", cmd::kEraseTimemarks),
               item("Show Play&list\tCtrl+G", cmd::kShowPlaylist),
               item("Play playlist\tAlt+Shift+m", cmd::kPlayPlaylist)}),
        popup("Oper&ations", {item("Stretch / Temp&o...\tAlt+Shift+1", 11500),
                              item("A&ccelerando...\tAlt+Shift+i", 11500),
                              item("Ritardando...\tAlt+Shift+j", 11500),
                              separator(),
                              item("&Amplify...\tAlt+Shift+2", 11501),
                              item("Chan&ge Pitch...\tAlt+Shift+3", 11502),
                              item("&Glissando...", 11502),
                              item("Compressor...\tAlt+Shift+4", 11503),
                              item("&Echo...\tAlt+Shift+5", 11504),
                              item("E&nvelope...\tAlt+Shift+6", 11505),
                              item("Eq&ualize...\tAlt+Shift+7", 11506),
                              item("&Fade...\tAlt+Shift+8", 11507),
                              item("Flan&ge...\tAlt+Shift+9", 11508),
                              item("Fi&lter...\tAlt+Shift+a", 11509),
                              item("&Modulate...\tAlt+Shift+c", 11510),
                              item("Noise reduction...\tAlt+Shift+d", 11511),
                              item("&Pan...\tAlt+Shift+e", 11512),
                              item("&Reverb...\tAlt+Shift+g", 11514),
                              item("Re&verse\tAlt+Shift+h", 11515),
                              item("Spatial locali&zation...\tAlt+Shift+s", 11516),
                              item("Tones / Effects...\tAlt+Shift+k", 11517),
                              separator(),
                              item("Select Plugins...", cmd::kSelectPlugins)}),
        options_menu(),
        popup("Win&dow", {item("&Cascade\tShift+F5", cmd::kCascade),
                          item("Tile &horizontally\tShift+F6", cmd::kTileHorizontally),
                          item("Tile &vertically\tShift+F4", cmd::kTileVertically)}),
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

const std::set<int>& implemented()
{
    using namespace cmd;
    static const std::set<int> ids = {
        kCreateNewFile,
        kOpen,
        kOpenCurrentFile,
        kSiblingRequest,
        kOpenDropped,
        kTipOfTheDay,
        kTutorial,
        kWebSite,
        kMidiKeyboard,
        kExit,
        kClose,
        kCloseAll,
        kHelp,
        kAbout,
        kShowHideBar,
        kDefaultBarLayout,
        kApplyToolTips,
        kUpdateDisplay,
        kRedrawDocument,
        kCascade,
        kTileHorizontally,
        kTileVertically,
        kRecentFile1,
        kRecentFile1 + 1,
        kRecentFile1 + 2,
        kRecentFile1 + 3,
        kRecentFile1 + 4,
        kRecentFile1 + 5,
        // Files, editing, undo and playback of the document windows.
        kSave,
        kSaveAs,
        kSaveHighlighted,
        kDeleteFile,
        kCut,
        kCopy,
        kPaste,
        kReplace,
        kMix,
        kCrop,
        kTrim,
        kInsertSilence,
        kEraseClipboard,
        kUndo,
        kRedo,
        kUndoRedo,
        kPlay,
        kPause,
        kStop,
        kLoopPlayback,
        kPlayClipboard,
        kSetupLoop,
        // The waveform view's commands.
        kZoomIn,
        kZoomOut,
        kMaximumZoom,
        kMinimumZoom,
        kGoToBeginning,
        kGoToEnd,
        kGoToHighlight,
        kReview,
        kCue,
        kLeftEarlier,
        kLeftLater,
        kRightEarlier,
        kRightLater,
        kSelectAll,
        kShowPlaylist,
    };
    return ids;
}

const std::set<int>& application_level()
{
    // Everything else on the menus and bars works on a document.
    using namespace cmd;
    static const std::set<int> ids = {
        kCreateNewFile,
        kOpen,
        kDeleteFile,
        kOpenCurrentFile,
        kSiblingRequest,
        kOpenDropped,
        kPreferences,
        kTipOfTheDay,
        kTutorial,
        kWebSite,
        kMidiKeyboard,
        kExit,
        kHelp,
        kAbout,
        kShowHideBar,
        kDefaultBarLayout,
        kApplyToolTips,
        kSystemDevices,
        kRecentFile1,
        kRecentFile1 + 1,
        kRecentFile1 + 2,
        kRecentFile1 + 3,
        kRecentFile1 + 4,
        kRecentFile1 + 5,
    };
    return ids;
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

bool command_implemented(int id)
{
    // The Operations rows (and the magnified image) are there when their member is linked.
    if (is_operation_command(id))
        return operation_available(id, module_calls());
    return implemented().count(id) != 0;
}

bool command_needs_document(int id)
{
    return application_level().count(id) == 0;
}

bool command_enabled(int id, bool have_document)
{
    if (!command_implemented(id))
        return false;
    // Playback holds back the documents' commands; the frame's own stay usable.
    if (!command_needs_document(id))
        return playback_commands::flag(id);
    return have_document && command_flag(id);
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
