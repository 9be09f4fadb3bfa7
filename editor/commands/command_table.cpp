#include "editor/commands/command_table.h"

#include "common/child_frame.h"
#include "editor/devices/device_dialogs.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_commands.h"
#include "editor/devices/playback_controller.h"
#include "editor/devices/record.h"
#include "editor/document/edit_menu.h"
#include "editor/document/markers.h"
#include "editor/edit/edit_commands.h"
#include "editor/files/plugin_command.h"
#include "editor/modules/operations.h"
#include "editor/sync/chase_lock.h"
#include "editor/sync/sync_dialog.h"
#include "editor/view/view_commands.h"
#include "editor/view/view_state.h"
#include "platform/profile.h"

#include <map>

namespace commands {
namespace {

// ---- Handlers: one per kind of command ----

// Files, windows, bars and help belong to the program's windows.
int frame(CommandContext& c, int id)
{
    return c.host ? c.host->frame_command(id, c.param) : 0;
}

// The clipboard commands and undo.
int edit(CommandContext& c, int id)
{
    return c.doc ? edit_command(*c.doc, id) : 0;
}

// Zoom, go to, highlight edges and select all; 1 when the view changed.
int view(CommandContext& c, int id)
{
    if (!c.doc || !c.view)
        return 0;
    return view_command(*c.doc, *c.view, id) > 0 ? 1 : 0;
}

// The transport: a start from the view plays from the caret a click put down.
int transport(CommandContext& c, int id)
{
    if (!c.doc)
        return 0;
    const PlayRequest request = c.view ? play_request(*c.doc, *c.view) : PlayRequest{};
    return playback::command(*c.doc, id, request);
}

// The record dialog; its OK makes the take the document's new state.
int record(CommandContext& c, int)
{
    return c.doc ? record_command(*c.doc) : 0;
}

// SMPTE chase lock: playback of the document follows incoming time code.
int chase_lock(CommandContext& c, int)
{
    return c.doc ? synchro::chase_lock_command(*c.doc) : 0;
}

// Make timemark: where the sound plays now, else at the cursor; Erase timemarks.
int timemark(CommandContext& c, int id)
{
    if (!c.doc)
        return 0;
    CChildFrame& doc = *c.doc;
    if (id == cmd::kEraseTimemarks) {
        erase_markers(doc);
        return 1;
    }
    const PlaybackState& pb = playback_state();
    const bool playing = playback::is_playing() && pb.doc == &doc && !pb.clipboard_mode;
    long now = 0;
    if (playing) {
        const float total_ms = doc.get_total_milliseconds();
        const double played = total_ms > 0.0f ? static_cast<double>(doc.current.total_samples) *
                                                    pb.position / total_ms
                                              : 0.0;
        now = std::min(static_cast<long>(played) + static_cast<long>(doc.play_from),
                       doc.current.total_samples);
    }
    long cursor = doc.current.select_start;
    if (c.view && c.view->caret_placed && !doc.current.has_selection)
        cursor = c.view->caret_sample;
    const bool on_the_fly = kel::profile::read_yes_no("Preferences", "Marker name on the fly",
                                                      false, kel::profile::app_profile());
    return make_timemark(doc, cursor, playing, now, on_the_fly) >= 0 ? 1 : 0;
}

// The Operations rows (and Clear, and the magnified image): a module member each.
int operation(CommandContext& c, int id)
{
    return run_operation(id, c.host ? c.host->main_window() : nullptr, module_calls());
}

// The device dialogs of the Options menu.
int device_dialog(CommandContext&, int id)
{
    return id == cmd::kSampler ? communicate_with_sampler() : show_system_devices();
}

// The SMPTE frame rate and starting time the synchronisation features count in.
int set_smpte(CommandContext&, int)
{
    synchro::SetSmpteDialog dialog;
    return kel::ui().run_modal(dialog) == kel::kIdOk ? 1 : 0;
}

// "Select Plugins...": the section through a plug-in run by the plug-in host.
int plugins(CommandContext& c, int)
{
    return c.doc ? select_plugins_command(*c.doc, c.host ? c.host->main_window() : nullptr) : 0;
}

constexpr unsigned D = kDocument;
constexpr unsigned I = kInternal;
constexpr unsigned T = kTransport;
constexpr unsigned V = kChangesView;
constexpr unsigned S = kChangesSelection;
constexpr unsigned X = kChangesData;

using namespace cmd;

const std::vector<Command>& rows()
{
    // clang-format off
    static const std::vector<Command> table = {
    // File
    {kCreateNewFile, "Create new file", "&Create new file ...\tCtrl+N", "Ctrl+N", 0, frame},
    {kOpen, "Open", "&Open ...\tCtrl+O", "Ctrl+O", 0, frame},
    {kSave, "Save", "&Save\tCtrl+S", "Ctrl+S", D, frame},
    {kSaveAs, "Save as", "Save &As...\tCtrl+F", "Ctrl+F", D, frame},
    {kSaveHighlighted, "Save highlighted area", "Save &Highlighted Area...\tCtrl+T", "Ctrl+T", D, frame},
    {kClose, "Close", "&Close\tCtrl+W", "Ctrl+W", D, frame},
    {kCloseAll, "Close all", "Close &All", "", D, frame},
    {kDeleteFile, "Delete file", "&Delete file...\tCtrl+D", "^D", 0, frame},
    {kExit, "Exit", "E&xit", "", 0, frame},
    {kRecentFile1, "Recent file 1", "", "", 0, frame},
    {kRecentFile1 + 1, "Recent file 2", "", "", 0, frame},
    {kRecentFile1 + 2, "Recent file 3", "", "", 0, frame},
    {kRecentFile1 + 3, "Recent file 4", "", "", 0, frame},
    {kRecentFile1 + 4, "Recent file 5", "", "", 0, frame},
    {kRecentFile1 + 5, "Recent file 6", "", "", 0, frame},
    // Sent by other parts of the program.
    {kOpenCurrentFile, "Open current file", "", "", I, frame},
    {kSiblingRequest, "Sibling request", "", "", I, frame},
    {kOpenDropped, "Open dropped file", "", "", I, frame},
    {kShowHideBar, "Show or hide bar", "", "^J", I, frame},
    {kDefaultBarLayout, "Default bar layout", "", "", I, frame},
    {kApplyToolTips, "Apply tool tips", "", "", I, frame},
    {kRedrawDocument, "Redraw document", "", "", I | D, frame},
    {kSpectrumBlock, "Spectrum block", "", "", I, frame},
    {kPlayTimeTick, "Play time tick", "", "", I, nullptr},
    {kRecorderTick, "Recorder tick", "", "", I, nullptr},
    {kMetronomeTick, "Metronome tick", "", "", I, nullptr},
    // Edit
    {kUndoRedo, "Undo or redo", "&Undo\tCtrl+Z", "Ctrl+Z", D | X, edit},
    {kUndo, "Undo", "", "Alt+Backspace", D | X, edit},
    {kRedo, "Redo", "&Redo\tCtrl+Shift+Z", "Ctrl+Shift+Z", D | X, edit},
    {kCut, "Cut", "&Cut\tCtrl+X", "Ctrl+X, Shift+Del", D | X, edit},
    {kCopy, "Copy", "Co&py\tCtrl+C", "Ctrl+C, Ctrl+Ins", D | X, edit},
    {kPaste, "Paste", "&Paste\tCtrl+V", "Ctrl+V, Shift+Ins", D | X, edit},
    {kReplace, "Replace", "&Replace\tCtrl+R", "Ctrl+R", D | X, edit},
    {kMix, "Mix", "&Mix\tCtrl+M", "Ctrl+M", D | X, edit},
    {kCrossFade, "Cross fade", "Cross &fade", "", D | X, nullptr},
    {kClear, "Clear", "C&lear", "Del", D | X, operation},
    {kCrop, "Crop", "Cr&op", "", D | X, edit},
    {kTrim, "Trim", "&Trim", "", D | X, edit},
    {kInsertSilence, "Insert silence", "Insert &Silence...\tAlt+Shift+l", "Alt+Shift+L", D | X, edit},
    {kEraseClipboard, "Erase clipboard", "&Erase clipboard\tCtrl+E", "^E", D | X, edit},
    {kPlayClipboard, "Play clipboard", "Play clip&board\tCtrl+Y", "^Y", D, transport},
    {kSelectAll, "Select all", "&Select all\tCtrl+A", "Ctrl+A", D | V | S, view},
    // View
    {kUpdateDisplay, "Update display", "&Update display\tCtrl+U", "Ctrl+U", D, frame},
    {kZoomIn, "Zoom in", "Zoom &In\tz", "'z'", D | V, view},
    {kZoomOut, "Zoom out", "Zoom O&ut\tu", "'u'", D | V, view},
    {kMaximumZoom, "Maximum zoom", "Maximum zoom\tAlt+Z", "Alt+'z'", D | V, view},
    {kMinimumZoom, "Minimum zoom", "Minimum zoom\tAlt+U", "Alt+'u'", D | V, view},
    {kGoToBeginning, "Go to beginning", "Go to &beginning\tCtrl+B", "Ctrl+B", D | V, view},
    {kGoToEnd, "Go to end", "Go to &end\tCtrl+E", "Ctrl+E", D | V, view},
    {kGoToHighlight, "Go to highlight", "Go to &highlight\tCtrl+H", "Ctrl+H", D | V, view},
    {kMagnifiedImage, "Magnified image", "&Magnified image...\tCtrl+I", "^I", D, operation},
    {kFrequencySpectrum, "Frequency spectrum", "&Frequency spectrum...\tCtrl+Q", "^Q", D, operation},
    // Transport
    {kRecord, "Record", "&Record...", "", D | X, record},
    {kPlay, "Play", "&Play\tp", "Space", D | T, transport},
    {kPause, "Pause", "Pa&use", "", D | T, transport},
    {kStop, "Stop", "&Stop", "", D | T, transport},
    {kLoopPlayback, "Loop playback", "Lo&op playback\tAlt+L", "Alt+'l'", D | T, transport},
    {kSetupLoop, "Setup playback loop", "Setup pla&yback loop...\tAlt+R", "Alt+'r'", D, transport},
    {kChaseLock, "SMPTE chase lock", "&SMPTE chase lock...\tAlt+S", "Alt+'s'", D, chase_lock},
    {kSetSmpte, "Set SMPTE time", "Set SMP&TE time...", "", 0, set_smpte},
    {kReview, "Review", "Re&view", "", D | V | S, view},
    {kCue, "Cue", "&Cue", "", D | V | S, view},
    {kLeftEarlier, "Highlight start earlier", "L hilight <-", "", D | V | S, view},
    {kLeftLater, "Highlight start later", "L hilight ->", "", D | V | S, view},
    {kRightEarlier, "Highlight end earlier", "R hilight <-", "", D | V | S, view},
    {kRightLater, "Highlight end later", "R hilight ->", "", D | V | S, view},
    {kMakeTimemark, "Make timemark", "Make &timemark\tm", "'m'", D | T, timemark},
    {kEraseTimemarks, "Erase timemarks", "&Erase timemarks", "", D, timemark},
    {kShowPlaylist, "Show playlist", "Show Play&list\tCtrl+G", "^G", D, frame},
    {kPlayPlaylist, "Play playlist", "Play playlist\tAlt+Shift+m", "Alt+Shift+M", D, nullptr},
    // Operations
    {kStretch, "Stretch / Tempo", "Stretch / Temp&o...\tAlt+Shift+1", "Alt+Shift+1, Alt+Shift+I, Alt+Shift+J", D | X, operation},
    {kAmplify, "Amplify", "&Amplify...\tAlt+Shift+2", "Alt+Shift+2", D | X, operation},
    {kChangePitch, "Change pitch", "Chan&ge Pitch...\tAlt+Shift+3", "Alt+Shift+3", D | X, operation},
    {kCompressor, "Compressor", "Compressor...\tAlt+Shift+4", "Alt+Shift+4", D | X, operation},
    {kEcho, "Echo", "&Echo...\tAlt+Shift+5", "Alt+Shift+5", D | X, operation},
    {kEnvelope, "Envelope", "E&nvelope...\tAlt+Shift+6", "Alt+Shift+6", D | X, operation},
    {kEqualize, "Equalize", "Eq&ualize...\tAlt+Shift+7", "Alt+Shift+7", D | X, operation},
    {kFade, "Fade", "&Fade...\tAlt+Shift+8", "Alt+Shift+8", D | X, operation},
    {kFlange, "Flange", "Flan&ge...\tAlt+Shift+9", "Alt+Shift+9", D | X, operation},
    {kFilter, "Filter", "Fi&lter...\tAlt+Shift+a", "Alt+Shift+A", D | X, operation},
    {kModulate, "Modulate", "&Modulate...\tAlt+Shift+c", "Alt+Shift+C", D | X, operation},
    {kNoiseReduction, "Noise reduction", "Noise reduction...\tAlt+Shift+d", "Alt+Shift+D", D | X, operation},
    {kPan, "Pan", "&Pan...\tAlt+Shift+e", "Alt+Shift+E", D | X, operation},
    {kShift, "Shift", "", "Alt+Shift+F", D | X, operation},
    {kReverb, "Reverb", "&Reverb...\tAlt+Shift+g", "Alt+Shift+G", D | X, operation},
    {kReverse, "Reverse", "Re&verse\tAlt+Shift+h", "Alt+Shift+H", D | X, operation},
    {kSpatialLocalization, "Spatial localization", "Spatial locali&zation...\tAlt+Shift+s", "Alt+Shift+S", D | X, operation},
    {kTonesEffects, "Tones / Effects", "Tones / Effects...\tAlt+Shift+k", "Alt+Shift+K", D | X, operation},
    {kSelectPlugins, "Select plugins", "Select Plugins...", "", D | X, plugins},
    // Options
    {kPreferences, "Preferences", "&Preferences...\tCtrl+P", "Alt+'p'", 0, frame},
    {kSystemDevices, "System devices", "System &devices...", "^B", 0, device_dialog},
    {kSampler, "Communicate with sampler", "Communicate with &sampler...", "", 0, device_dialog},
    {kMidiKeyboard, "Display MIDI keyboard", "Display Midi &keyboard", "", 0, frame},
    // Window
    {kCascade, "Cascade", "&Cascade\tShift+F5", "Shift+F5", D, frame},
    {kTileHorizontally, "Tile horizontally", "Tile &horizontally\tShift+F6", "Shift+F6", D, frame},
    {kTileVertically, "Tile vertically", "Tile &vertically\tShift+F4", "Shift+F4", D, frame},
    // Help
    {kHelp, "Help", "&Help\tF1", "F1", 0, frame},
    {kTipOfTheDay, "Tip of the day", "Ti&p of the Day...", "", 0, frame},
    {kTutorial, "Tutorial", "&Tutorial", "", 0, frame},
    {kWebSite, "Web site", "Kelvara on the &Web", "", 0, frame},
    {kAbout, "About", "&About Kelvara...", "", 0, frame},
    // Keys whose commands this build does not carry out.
    {kControlK, "Command 1036", "", "^K", D, nullptr},
    {kControlL, "Command 1035", "", "^L", D, nullptr},
    {kControlP, "Command 1008", "", "^P", D, nullptr},
    {kAltN, "Command 1030", "", "Alt+'n'", D, nullptr},
    {kAltO, "Command 1027", "", "Alt+'o'", D, nullptr},
    {kAltQ, "Command 1028", "", "Alt+'q'", D, nullptr},
    {kAltW, "Command 114", "", "Alt+'w'", D, nullptr},
    // The cursor keys of the waveform view.
    {kCursorHome, "Cursor to start", "", "Home", D | V | S, view},
    {kCursorEnd, "Cursor to end", "", "End", D | V | S, view},
    {kCursorLeft, "Cursor left", "", "Left", D | V | S, view},
    {kCursorRight, "Cursor right", "", "Right", D | V | S, view},
    {kExtendHome, "Highlight to start", "", "Shift+Home", D | V | S, view},
    {kExtendEnd, "Highlight to end", "", "Shift+End", D | V | S, view},
    {kExtendLeft, "Highlight left", "", "Shift+Left", D | V | S, view},
    {kExtendRight, "Highlight right", "", "Shift+Right", D | V | S, view},
    };
    // clang-format on
    return table;
}

const std::map<int, const Command*>& by_id()
{
    static const std::map<int, const Command*> index = [] {
        std::map<int, const Command*> m;
        for (const Command& c : rows())
            m.emplace(c.id, &c);
        return m;
    }();
    return index;
}

} // namespace

const std::vector<Command>& table()
{
    return rows();
}

const Command* find(int id)
{
    auto it = by_id().find(id);
    return it == by_id().end() ? nullptr : it->second;
}

bool has_flag(int id, unsigned flag)
{
    const Command* c = find(id);
    return c && (c->flags & flag) != 0;
}

bool implemented(int id)
{
    const Command* c = find(id);
    if (!c || !c->handler)
        return false;
    // An Operations row is there when its module member is linked.
    if (c->handler == operation)
        return operation_available(id, module_calls());
    return true;
}

bool available(int id, bool have_document)
{
    if (!implemented(id))
        return false;
    const Command* c = find(id);
    // Playback holds back the documents' commands; the frame's own stay usable.
    if (!(c->flags & kDocument))
        return playback_commands::flag(id);
    if (!have_document)
        return false;
    if (id == cmd::kUndoRedo)
        return g_undo_menu.enabled && !playback_commands::editing_suspended();
    // The Undo bar's two buttons follow the active document's own states.
    if (id == cmd::kUndo || id == cmd::kRedo) {
        const CChildFrame* doc = documents::active();
        if (!doc || playback_commands::editing_suspended())
            return false;
        return (id == cmd::kUndo ? doc->undo_available : doc->redo_available) != 0;
    }
    return playback_commands::enabled(id);
}

int run(int id, CommandContext& context)
{
    const Command* c = find(id);
    if (!c || !c->handler)
        return -1;
    if (!(c->flags & kInternal) && !available(id, context.doc != nullptr))
        return -1;
    return c->handler(context, id);
}

} // namespace commands
