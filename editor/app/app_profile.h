#pragma once
// The application profile as the editor reads it at start-up: the "Preferences" values,
// the data directory and the preferred browser, the "General" flags and the visibility
// of the eleven bars.
#include <string>

namespace app {

struct Preferences
{
    bool big_volume_indicators = true;
    bool show_logo = true;
    bool voice_message = false;
    bool big_time_display = false;
    bool tip_of_the_day = true;
    bool backup_for_undo = true;
    bool zoomed_initial_display = false;
    int time_format = 1;
    bool marker_name_on_the_fly = false;
    int default_wave_input = 0;
    int default_wave_output = 0;
    short default_midi_input = 0;
    short default_midi_output = 0;
};

// The values read last; start-up reads them twice (frame creation and its own step).
extern Preferences g_preferences;
extern std::string g_data_directory;    // with a trailing '/'
extern std::string g_preferred_browser; // empty: none configured

Preferences read_preferences();
void write_preferences(const Preferences& p);

// Reads the "Preferences", "Data directory" and "Internet browser" keys into the
// globals above. A missing data directory is set to the default one and written back.
void read_profile_settings();

// "General"/"Color" and "General"/"ToolTips" (both 1 when missing).
struct GeneralFlags
{
    int color = 1;
    int tool_tips = 1;
};
GeneralFlags read_general_flags();
void write_general_flags(const GeneralFlags& flags);

// "General-Bar%d"/"Visible" for %d 0 to 10 map to the bars' internal numbers in this order.
inline constexpr int kGeneralBarToInternal[11] = {7, 9, 8, 10, 0, 1, 2, 6, 3, 4, 5};
// Visibility of the bar with this internal number (missing: 100, shown when not 0).
bool read_bar_visible(int internal_number);
void write_bar_state(int internal_number, bool visible, bool floating);
int general_bar_of(int internal_number);

// The default web address of command 1012.
inline constexpr const char* kMakerWebAddress = "https://kelvara.org/";

} // namespace app
