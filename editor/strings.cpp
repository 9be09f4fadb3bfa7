// The editor's single string table. Texts are the program's own, byte for byte, typos
// included: modules and users see exactly these.
#include "editor/strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry
{
    int id;
    const char* text;
};

// Kept sorted by id: lookup is a binary search over this array.
constexpr Entry kTable[] = {
    // Status-bar panes are sized from these samples: size, rate, bits, channels, then
    // the three times.
    {15, "20000000bytes"},
    {16, "2205kHz"},
    {17, "16bits"},
    {18, "Stere"},
    {19, "10000 sec"},
    {20, "10000 sec"},
    {21, "10000 sec"},

    // Command entries are "status-line text\ntool tip".
    {170, "Frequency Spectrum Meter\nFrequency Spectrum Meter"},

    // Bitmap names for owner-drawn buttons: the control id names the enabled look,
    // id + 9000 the disabled one. Module buttons have no disabled names on purpose,
    // so they fall back to "blank".
    {367, "bigsave"},
    {370, "BIGDELETE"},
    {372, "CANCEL"},
    {373, "BIGCREATE"},
    {1039, "SELECT"},
    {1405, "HELP"},
    // Record dialog transport at rest. While recording, playing or pausing the dialog
    // shows "redrec", "grnplay" and "yelpause" on 1813, 1815 and 1816 instead; those are
    // picked by state, not looked up here, since one id holds one name.
    {1813, "rrecord"},
    {1814, "rstop"},
    {1815, "rplay"},
    {1816, "rpause"},
    {1880, "view"},

    // Messages shown through NewErrMsg.
    {5000, "Cannot allocate FFT memory."},
    {5001, "Cannot allocate memory."},
    {5002, "Cannot allocate FFT memory."},
    {5003, "Cannot allocate FFT display memory."},
    {5004, "Cannot allocate FFT sprite memory."},
    {5007, "Cannot open WAVE file for playback."},
    {5008, "Couldn't lock memory for edited data!"},
    {5009, "Cannot open WAVE file."},
    {5010, "Cannot open MIDI for Input."},
    {5011, "First set the Sync Method (Trigger on Delay or Smpte)."},
    {5012, "Can't get timer dev caps"},
    {5014, "MQX32M interface not responding or not installed.\nPlease try again."},
    {5015, "Please start the tape or press 'END' to quit"},
    {5016, "File not 8 or 16 bit sample!"},
    {5017, "Memory for stretched waveform failed!"},
    {5019, "Can't allocate memory for even integer data buffer"},
    {5022, "No sync pulses present."},
    {5026, "Can't allocate transfer buffer"},
    {5031, "Cannot write output WAVE file."},
    {5032, "Cannot open input WAVE file."},
    {5034, "End of input file."},
    {5035, "Format error on input file."},
    {5036, "No 'fmt' chunk on input file."},
    {5037, "'fmt' chunk too small on input file."},
    {5038, "Truncated input file."},
    {5039, "Input file is not a PCM_WAVE file."},
    {5040, "Sound board cannot play 16-bit data."},
    {5041, "Sound board does not support 44KHz sample-rate."},
    {5042, "No 'data' chunk in input file."},
    {5043, "Unknown error on input file."},
    {5044, "Error in mmioSetInfo on input WAVE file."},
    {5053, "First highlight the section to be shifted"},
    {5054, "Too close to edge to quantize selection"},

    // Compressor preset context: selection title, list section, list key prefix,
    // values section, value key prefix.
    {5056, "Save Compressor / Expander Values"},
    {5057, "Compressor Presets"},
    {5058, "Compressor Preset"},
    {5059, "Compressor"},
    {5060, "Compressor Values"},

    {5065, "Can't allocate cosine lookup table"},
    {5070, "Was not able to read from file 'clipbord.clp'"},
    {5071, "Cannot allocate new format memory."},
    {5073, "This option works on STEREO waveforms only."},

    // Disabled record dialog buttons: Cue (427), Record (1813), Play (1815).
    {9427, "invcue"},
    {10813, "invrec"},
    {10815, "invplay"},

    {11309, "Play contents of clipboard\nPlay clipboard"},
    {11401, "Play\nPlay"},
    {11402, "Pause\nPause"},
    {11403, "Stop playback or recording\nStop"},
    {11902, "Move begining of selection earlier\nL hilight <-"},
    {11904, "Move end of selctiion earlier\nR hilight <-"},
    {12001, "Stereo Record / Playback Level\nRecord/Playback level"},
    {12100, "Decibel level of left channel\nLeft channel DB level"},
};

constexpr bool strictly_ascending()
{
    return std::adjacent_find(std::begin(kTable), std::end(kTable),
                              [](const Entry& a, const Entry& b) { return a.id >= b.id; }) ==
           std::end(kTable);
}
static_assert(strictly_ascending(), "string table must stay sorted by id without duplicates");

} // namespace

const char* string_table_text(int id)
{
    const Entry* end = std::end(kTable);
    const Entry* it = std::lower_bound(std::begin(kTable), end, id,
                                       [](const Entry& e, int key) { return e.id < key; });
    if (it != end && it->id == id)
        return it->text;
    // Main frame: the prompts of the bar buttons and menu commands.
    return command_prompt_text(id);
}

const std::vector<int>& string_table_ids()
{
    // Ascending, with the command prompts merged in.
    static const std::vector<int> ids = [] {
        std::vector<int> v;
        v.reserve(std::size(kTable));
        for (const Entry& e : kTable)
            v.push_back(e.id);
        // Main frame: the command prompts, merged in order.
        for (int id : command_prompt_ids())
            if (std::find(v.begin(), v.end(), id) == v.end())
                v.push_back(id);
        std::sort(v.begin(), v.end());
        return v;
    }();
    return ids;
}
