#pragma once
// Every command id of the editor, defined once: the menu items, the bar buttons, the
// keys and the commands that other parts of the program send. The same numbers name
// the undo steps and the help contexts.

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
inline constexpr int kSampler = 1042;  // "Communicate With Sampler", on the Options menu
inline constexpr int kSetSmpte = 1043; // "Set SMPTE Time", on the Transport menu
inline constexpr int kMagnifiedImage = 393;
inline constexpr int kFrequencySpectrum = 1038;
inline constexpr int kSelectPlugins = 181;
inline constexpr int kSpectrumBlock = 170;

// Edit
inline constexpr int kUndoRedo = 11602; // the Edit menu's one undo item
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

// Operations: each calls one member of a processing module.
inline constexpr int kStretch = 11500;
inline constexpr int kAmplify = 11501;
inline constexpr int kChangePitch = 11502;
inline constexpr int kCompressor = 11503;
inline constexpr int kEcho = 11504;
inline constexpr int kEnvelope = 11505;
inline constexpr int kEqualize = 11506;
inline constexpr int kFade = 11507;
inline constexpr int kFlange = 11508;
inline constexpr int kFilter = 11509;
inline constexpr int kModulate = 11510;
inline constexpr int kNoiseReduction = 11511;
inline constexpr int kPan = 11512;
inline constexpr int kShift = 11513;
inline constexpr int kReverb = 11514;
inline constexpr int kReverse = 11515;
inline constexpr int kSpatialLocalization = 11516;
inline constexpr int kTonesEffects = 11517;

// Marks
inline constexpr int kMakeTimemark = 11700;
inline constexpr int kEraseTimemarks = 11701;
inline constexpr int kShowPlaylist = 353;
inline constexpr int kPlayPlaylist = 1037;

// Ticks of the outside timer callbacks, delivered as commands to their window.
inline constexpr int kPlayTimeTick = 541;
inline constexpr int kRecorderTick = 542;
inline constexpr int kMetronomeTick = 543;

// Keys of the accelerator table whose commands this build does not carry out.
inline constexpr int kControlK = 1036;
inline constexpr int kControlL = 1035;
inline constexpr int kControlP = 1008;
inline constexpr int kAltN = 1030;
inline constexpr int kAltO = 1027;
inline constexpr int kAltQ = 1028;
inline constexpr int kAltW = 114;

// Keys of the waveform view that move the cursor; the Shift ones extend the highlight.
inline constexpr int kCursorHome = 19001;
inline constexpr int kCursorEnd = 19002;
inline constexpr int kCursorLeft = 19003;
inline constexpr int kCursorRight = 19004;
inline constexpr int kExtendHome = 19005;
inline constexpr int kExtendEnd = 19006;
inline constexpr int kExtendLeft = 19007;
inline constexpr int kExtendRight = 19008;

} // namespace cmd
