#pragma once
// The editor's command identifiers, its two menus, the bars and the accelerator table:
// data, so the frame, the tests and later commands share one description.
#include <string>
#include <vector>

namespace cmd {

// Application and frame
inline constexpr int kCreateNewFile = 11200;
inline constexpr int kOpen = 11201;
inline constexpr int kSave = 11202;
inline constexpr int kSaveAs = 11203;
inline constexpr int kSaveHighlighted = 11204;
inline constexpr int kDeleteFile = 148;
inline constexpr int kOpenCurrentFile = 2002;
inline constexpr int kSiblingRequest = 5000;
inline constexpr int kOpenDropped = 163;
inline constexpr int kPreferences = 1026;
inline constexpr int kTipOfTheDay = 105;
inline constexpr int kTutorial = 2001;
inline constexpr int kWebSite = 1012;
inline constexpr int kMidiKeyboard = 1852;
inline constexpr int kExit = 1010;
inline constexpr int kClose = 57602;
inline constexpr int kCloseAll = 1404;
inline constexpr int kHelp = 1405;
inline constexpr int kAbout = 57664;
inline constexpr int kShowHideBar = 1039;
inline constexpr int kDefaultBarLayout = 913;
inline constexpr int kApplyToolTips = 22;
inline constexpr int kUpdateDisplay = 1040;
inline constexpr int kRedrawDocument = 1401;
inline constexpr int kCascade = 57650;
inline constexpr int kTileHorizontally = 57651;
inline constexpr int kTileVertically = 57652;
inline constexpr int kRecentFile1 = 57616; // to 57621
inline constexpr int kSystemDevices = 1041;
inline constexpr int kMagnifiedImage = 393;
inline constexpr int kFrequencySpectrum = 1038;
inline constexpr int kSelectPlugins = 181;
inline constexpr int kSpectrumBlock = 170;

// Edit
inline constexpr int kUndoRedo = 11602;
inline constexpr int kUndo = 11600;
inline constexpr int kRedo = 11601;
inline constexpr int kClear = 11301;
inline constexpr int kCrop = 11302;
inline constexpr int kCut = 11303;
inline constexpr int kCopy = 11304;
inline constexpr int kPaste = 11305;
inline constexpr int kReplace = 11306;
inline constexpr int kMix = 11307;
inline constexpr int kEraseClipboard = 11308;
inline constexpr int kPlayClipboard = 11309;
inline constexpr int kCrossFade = 11311;
inline constexpr int kTrim = 1881;
inline constexpr int kInsertSilence = 11518;
inline constexpr int kSelectAll = 1020;

// Transport and cursor
inline constexpr int kRecord = 11400;
inline constexpr int kPlay = 11401;
inline constexpr int kPause = 11402;
inline constexpr int kStop = 11403;
inline constexpr int kLoopPlayback = 11404;
inline constexpr int kSetupLoop = 1024;
inline constexpr int kChaseLock = 1025;
inline constexpr int kGoToBeginning = 11800;
inline constexpr int kGoToEnd = 11801;
inline constexpr int kGoToHighlight = 11906;
inline constexpr int kReview = 11900;
inline constexpr int kCue = 11901;
inline constexpr int kLeftEarlier = 11902;
inline constexpr int kLeftLater = 11903;
inline constexpr int kRightEarlier = 11904;
inline constexpr int kRightLater = 11905;
inline constexpr int kZoomIn = 1898;
inline constexpr int kZoomOut = 1899;
inline constexpr int kMaximumZoom = 87;
inline constexpr int kMinimumZoom = 88;

// Marks
inline constexpr int kMakeTimemark = 11700;
inline constexpr int kEraseTimemarks = 11701;
inline constexpr int kShowPlaylist = 353;
inline constexpr int kPlayPlaylist = 1037;

// Ticks of the outside timer callbacks, delivered as commands to their window.
inline constexpr int kPlayTimeTick = 541;
inline constexpr int kRecorderTick = 542;
inline constexpr int kMetronomeTick = 543;

} // namespace cmd

namespace app {

struct MenuNode
{
    std::string text; // empty with id 0: a separator
    int id = 0;       // 0 for a pop-up
    std::vector<MenuNode> items;
    bool is_separator() const { return text.empty() && id == 0 && items.empty(); }
};

// Menu 128 (no document open) and menu 129 (the document windows'); each a list of
// top-level pop-ups.
const std::vector<MenuNode>& frame_menu();
const std::vector<MenuNode>& document_menu();
// Where the recent files go in a File menu: after the item with this id.
inline constexpr int kRecentFilesAfter = cmd::kDeleteFile;

// Every command id that the menus hold, once each.
std::vector<int> menu_command_ids(const std::vector<MenuNode>& menu);
// The menu text of a command in the document menu (or the frame menu), or "".
std::string menu_text(int id);

// Commands that this build carries out. The others stay in the menus, disabled.
bool command_implemented(int id);
// Commands that work on the active document.
bool command_needs_document(int id);
// Implemented, its availability flag set, and a document there when it needs one.
bool command_enabled(int id, bool have_document);

enum class Dock { TopOnly, RightOnly, Any };

enum class BarKind { Buttons, Cuelist, VolumeIndicator, DbMeter, Spectrum };

struct BarInfo
{
    int number; // internal number 0..10, used by the preferences
    const char* title;
    BarKind kind;
    std::vector<int> buttons; // 0 is a separator
    Dock dock;
};

// In creation order: the two level bars, the spectrum bar, Files, Edit, Transport,
// Cursor, Effects, Undo, Timemark; the cue list with them.
const std::vector<BarInfo>& bars();
const BarInfo* bar_by_number(int number);

// Status line text and tool tip of a command, from the string table entry
// "status text\ntip". Both empty when the table has no entry.
struct Prompt
{
    std::string status;
    std::string tip;
};
Prompt command_prompt(int id);

} // namespace app
