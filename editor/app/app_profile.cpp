#include "editor/app/app_profile.h"

#include "common/child_frame.h"
#include "platform/profile.h"

#include <cstdio>

namespace app {

Preferences g_preferences;
std::string g_data_directory;
std::string g_preferred_browser;

namespace {
const char* const kSection = "Preferences";

bool yes_no(const char* key, bool def)
{
    return kel::profile::read_yes_no(kSection, key, def, kel::profile::app_profile());
}

long integer(const char* key, long def)
{
    return kel::profile::read_int(kSection, key, def, kel::profile::app_profile());
}

std::string bar_section(int internal_number)
{
    char name[32];
    std::snprintf(name, sizeof name, "General-Bar%d", general_bar_of(internal_number));
    return name;
}
} // namespace

Preferences read_preferences()
{
    Preferences p;
    p.big_volume_indicators = yes_no("Big volume indicators", true);
    p.show_logo = yes_no("Show logo", true);
    p.voice_message = yes_no("Voice message", false);
    p.big_time_display = yes_no("Big time display", false);
    p.tip_of_the_day = yes_no("Tip of the day", true);
    p.backup_for_undo = yes_no("Backup for undo", true);
    p.zoomed_initial_display = yes_no("Zoomed initial display", false);
    p.time_format = static_cast<int>(integer("Time format", 1));
    p.marker_name_on_the_fly = yes_no("Marker name on the fly", false);
    p.default_wave_input = static_cast<int>(integer("Default Wave input device", 0));
    p.default_wave_output = static_cast<int>(integer("Default Wave output device", 0));
    p.default_midi_input = static_cast<short>(integer("Default Midi input device", 0));
    p.default_midi_output = static_cast<short>(integer("Default Midi output device", 0));
    return p;
}

void write_preferences(const Preferences& p)
{
    const std::string f = kel::profile::app_profile();
    using kel::profile::write_int;
    using kel::profile::write_yes_no;
    write_yes_no(kSection, "Big volume indicators", p.big_volume_indicators, f);
    write_yes_no(kSection, "Show logo", p.show_logo, f);
    write_yes_no(kSection, "Voice message", p.voice_message, f);
    write_yes_no(kSection, "Big time display", p.big_time_display, f);
    write_yes_no(kSection, "Tip of the day", p.tip_of_the_day, f);
    write_yes_no(kSection, "Backup for undo", p.backup_for_undo, f);
    write_yes_no(kSection, "Zoomed initial display", p.zoomed_initial_display, f);
    write_int(kSection, "Time format", p.time_format, f);
    write_yes_no(kSection, "Marker name on the fly", p.marker_name_on_the_fly, f);
    write_int(kSection, "Default Wave input device", p.default_wave_input, f);
    write_int(kSection, "Default Wave output device", p.default_wave_output, f);
    write_int(kSection, "Default Midi input device", p.default_midi_input, f);
    write_int(kSection, "Default Midi output device", p.default_midi_output, f);
}

void read_profile_settings()
{
    g_preferences = read_preferences();
    // data_directory() writes the default back when the key is missing or empty.
    g_data_directory = data_directory();
    g_preferred_browser = kel::profile::read_string("Internet browser", "Preferred browser", "",
                                                    kel::profile::app_profile());
}

GeneralFlags read_general_flags()
{
    const std::string f = kel::profile::app_profile();
    GeneralFlags g;
    g.color = static_cast<int>(kel::profile::read_int("General", "Color", 1, f));
    g.tool_tips = static_cast<int>(kel::profile::read_int("General", "ToolTips", 1, f));
    return g;
}

void write_general_flags(const GeneralFlags& flags)
{
    const std::string f = kel::profile::app_profile();
    kel::profile::write_int("General", "Color", flags.color ? 1 : 0, f);
    kel::profile::write_int("General", "ToolTips", flags.tool_tips ? 1 : 0, f);
}

int general_bar_of(int internal_number)
{
    for (int i = 0; i < 11; ++i)
        if (kGeneralBarToInternal[i] == internal_number)
            return i;
    return -1;
}

bool read_bar_visible(int internal_number)
{
    if (general_bar_of(internal_number) < 0)
        return false;
    return kel::profile::read_int(bar_section(internal_number), "Visible", 100,
                                  kel::profile::app_profile()) != 0;
}

void write_bar_state(int internal_number, bool visible, bool floating)
{
    if (general_bar_of(internal_number) < 0)
        return;
    const std::string f = kel::profile::app_profile();
    kel::profile::write_int(bar_section(internal_number), "Visible", visible ? 1 : 0, f);
    kel::profile::write_int(bar_section(internal_number), "Floating", floating ? 1 : 0, f);
}

} // namespace app
