// Prompts of the main frame's commands: the status-line text, a line feed and the tool
// tip. Kept apart from the message table so the frame's long list stays in one place.
#include "editor/strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct Prompt
{
    int id;
    const char* text;
};

// Sorted by id.
constexpr Prompt kPrompts[] = {
    {87, "Show the waveform at one frame per pixel\nMaximum zoom"},
    {88, "Show the whole waveform\nMinimum zoom"},
    {105, "Show a tip about working with Kelvara\nTip of the Day"},
    {148, "Delete a sound file from the disk\nDelete file"},
    {181, "Process the highlighted area with a DirectX plug-in\nSelect plug-ins"},
    {353, "Show the playlist of time marks\nShow Playlist"},
    {393, "Show a magnified image of the highlighted area\nMagnified image"},
    {1010, "Quit the application; prompts to save documents\nExit"},
    {1012, "Visit the Kelvara web site\nWeb site"},
    {1020, "Highlight the whole file\nSelect all"},
    {1024, "Set up looped playback\nPlayback loop"},
    {1025, "Chase-lock playback to incoming SMPTE\nChase lock"},
    {1026, "Change the preferences\nPreferences"},
    {1037, "Play the marked intervals of the playlist\nPlay playlist"},
    {1038, "Show the frequency spectrum of the highlighted area\nFrequency spectrum"},
    {1040, "Redraw the display\nUpdate display"},
    {1041, "Show the sound and MIDI devices of the system\nSystem devices"},
    {1042, "Get samples from a sampler or send them to one\nSampler"},
    {1043, "Set the SMPTE frame rate and starting time\nSet SMPTE time"},
    {1404, "Close all document windows\nClose all"},
    {1405, "Show the help contents\nHelp"},
    {1852, "Display the MIDI keyboard\nMidi keyboard"},
    {1881, "Silence everything outside the highlighted area\nTrim"},
    {1898, "Zoom in one step\nZoom In"},
    {1899, "Zoom out one step\nZoom Out (UnZoom)"},
    {2001, "Start the tutorial\nTutorial"},
    {11200, "Create a new empty sound file\nCreate new file"},
    {11201, "Open an existing sound file\nOpen"},
    {11202, "Save the active sound file\nSave"},
    {11203, "Save the active sound file under a new name\nSave as"},
    {11204, "Save the highlighted area as a new file\nSave highlighted area"},
    {11301, "Silence the highlighted area\nClear"},
    {11302, "Keep only the highlighted area\nCrop"},
    {11303, "Cut the highlighted area to the clipboard\nCut"},
    {11304, "Copy the highlighted area to the clipboard\nCopy"},
    {11305, "Replace the highlighted area by the clipboard\nPaste"},
    {11306, "Overwrite from the start of the highlight with the clipboard\nReplace"},
    {11307, "Mix the clipboard into the file from the start of the highlight\nMix"},
    {11308, "Erase the contents of the clipboard\nErase clipboard"},
    {11311, "Cross-fade the clipboard into the file\nCross fade"},
    {11400, "Record into the active file\nRecord"},
    {11404, "Play the highlighted area over and over\nLoop playback"},
    {11500, "Stretch or compress the tempo of the highlighted area\nStretch / Tempo"},
    {11501, "Amplify the highlighted area\nAmplify"},
    {11502, "Change the pitch of the highlighted area\nChange pitch"},
    {11503, "Compress or expand the dynamics\nCompressor / Expander"},
    {11504, "Add echo to the highlighted area\nEcho"},
    {11505, "Shape the highlighted area with an envelope\nEnvelope"},
    {11506, "Equalize the highlighted area\nEqualize"},
    {11507, "Fade the highlighted area in or out\nFade"},
    {11508, "Flange the highlighted area\nFlange"},
    {11509, "Filter the highlighted area\nFilter"},
    {11510, "Modulate the highlighted area\nModulate"},
    {11511, "Remove noise from the highlighted area\nNoise reduction"},
    {11512, "Pan the highlighted area between the channels\nPan"},
    {11513, "Shift the highlighted area in time\nShift"},
    {11514, "Add reverberation to the highlighted area\nReverb"},
    {11515, "Reverse the highlighted area\nReverse"},
    {11516, "Place the sound between the speakers\nSpatial localization"},
    {11517, "Generate tones or special effects\nTones / Effects"},
    {11518, "Insert silence at the start of the highlight\nInsert silence"},
    {11600, "Undo the last operation\nUndo"},
    {11601, "Redo the last operation\nRedo"},
    {11602, "Undo or redo the last operation\nUndo"},
    {11700, "Make a time mark at the current position\nMake timemark"},
    {11701, "Erase all time marks\nErase timemarks"},
    {11800, "Go to the beginning of the file\nGo to beginning"},
    {11801, "Go to the end of the file\nGo to end"},
    {11900, "Move beginning of selection earlier by 50 ms\nReview"},
    {11901, "Move end of selection later by 50 ms\nCue"},
    {11903, "Move beginning of selection later\nL hilight ->"},
    {11905, "Move end of selection later\nR hilight ->"},
    {11906, "Scroll the highlighted area into view\nGo to highlight"},
    {57602, "Close the active document\nClose"},
    {57650, "Arrange the windows so they overlap\nCascade"},
    {57651, "Arrange the windows one above the other\nTile horizontally"},
    {57652, "Arrange the windows side by side\nTile vertically"},
};

constexpr bool ascending()
{
    return std::adjacent_find(std::begin(kPrompts), std::end(kPrompts),
                              [](const Prompt& a, const Prompt& b) { return a.id >= b.id; }) ==
           std::end(kPrompts);
}
static_assert(ascending(), "command prompts must stay sorted by id without duplicates");

} // namespace

const char* command_prompt_text(int id)
{
    const Prompt* end = std::end(kPrompts);
    const Prompt* it = std::lower_bound(std::begin(kPrompts), end, id,
                                        [](const Prompt& p, int key) { return p.id < key; });
    return (it != end && it->id == id) ? it->text : nullptr;
}

const std::vector<int>& command_prompt_ids()
{
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        for (const Prompt& p : kPrompts)
            v.push_back(p.id);
        return v;
    }();
    return ids;
}
