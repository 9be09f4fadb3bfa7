#pragma once
// What the "Preferences" sheet reads and writes, without its widgets: the colour
// targets, the time format buttons, the data directory check, the undo levels, the bar
// layout reset and the device lists.
#include "editor/view/view_colors.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

// The six radio buttons of "Colors", in their order, with their keys in "Colors".
struct ColorTarget
{
    int control;
    const char* text;
    const char* key;
    uint32_t ViewColors::*field;
};
const std::array<ColorTarget, 6>& color_targets();
// The table name of a colour, empty when the table has none.
std::string color_name_of(uint32_t rgb);
// "&Save": the six names into "Colors".
void write_view_colors(const ViewColors& colors);

// "Time Format": the five buttons with the value each stores (both SMPTE 30 store 30).
struct TimeFormatButton
{
    int control;
    const char* text;
    int value;
};
const std::array<TimeFormatButton, 5>& time_format_buttons();

// "Preferences"/"Undo levels": how many steps of undo are kept, 1 to 100 (missing: 1).
inline constexpr int kMaxUndoLevels = 100;

// The data directory must exist and take new files, or every later open fails. Empty
// when it does; else the message that refuses it.
std::string data_directory_refusal(const std::string& dir);
// "&Data directory": the save dialog "Choose Desired Directory" proposing "Directory";
// the folder of the choice becomes "Last used directory" when it passes the check. True
// when it was written.
bool choose_data_directory();

// "&Default setup": large indicators on and the saved layout of every bar forgotten.
void forget_bar_layout();

// One line of a device combo box and what is shown beside it.
struct DeviceLine
{
    std::string name;
    std::string channels; // "Stereo" / "Mono" (wave devices)
    std::string bits;     // "16 bits" / "8 bits"
    std::string rate;     // "44.100 kHz" / "22.050 kHz" / "11.0250 kHz"
    std::string version;  // "Version: 1.0"
};
std::vector<DeviceLine> wave_input_lines();
std::vector<DeviceLine> wave_output_lines();
std::vector<DeviceLine> midi_input_lines();
std::vector<DeviceLine> midi_output_lines();

} // namespace app
