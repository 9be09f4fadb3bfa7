#include "editor/app/preferences.h"

#include "common/child_frame.h"
#include "editor/app/app_profile.h"
#include "platform/midi_devices.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "platform/wave_device.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

const std::array<ColorTarget, 6>& color_targets()
{
    static const std::array<ColorTarget, 6> list = {{
        {298, "&Waveform", "Data color", &ViewColors::data},
        {299, "&Backbround", "Bkgnd color", &ViewColors::background},
        {300, "&Grid", "Grid color", &ViewColors::grid},
        {354, "Wave&crest", "Wavecrest color", &ViewColors::wavecrest},
        {458, "&Marker color", "Marker color", &ViewColors::marker},
        {459, "Marker &text", "Marker text", &ViewColors::marker_text},
    }};
    return list;
}

std::string color_name_of(uint32_t rgb)
{
    for (int i = 0; i < kNamedColorCount; ++i)
        if (named_colors()[i].rgb == rgb)
            return named_colors()[i].name;
    return std::string();
}

void write_view_colors(const ViewColors& colors)
{
    const std::string f = kel::profile::app_profile();
    for (const ColorTarget& t : color_targets()) {
        const std::string name = color_name_of(colors.*t.field);
        if (!name.empty())
            kel::profile::write_string("Colors", t.key, name, f);
    }
}

const std::array<TimeFormatButton, 5>& time_format_buttons()
{
    static const std::array<TimeFormatButton, 5> list = {{
        {124, "&Seconds", 1},
        {439, "SMPTE 2&4", 24},
        {440, "SMPTE 2&5", 25},
        {441, "SMPTE &30", 30},
        {442, "SMPTE 30 &Drop", 30},
    }};
    return list;
}

std::string data_directory_refusal(const std::string& dir)
{
    struct stat st
    {
    };
    const std::string shown = dir.empty() ? std::string("(none)") : dir;
    if (dir.empty() || ::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return "The folder " + shown +
               " does not exist.\nThe data directory stays as it was; choose a folder that "
               "exists.";
    if (!kel::paths::is_writable_dir(dir))
        return "The folder " + shown +
               " cannot be written.\nWorking files go to the data directory, so it stays "
               "as it was; choose a folder you can write to.";
    return std::string();
}

bool choose_data_directory()
{
    kel::FileDialogRequest request;
    request.save = true;
    request.title = "Choose Desired Directory";
    request.directory = data_directory();
    request.file_name = "Directory";
    request.filter = "All files (*.*)|*.*";
    char cwd[4096];
    const bool have_cwd = getcwd(cwd, sizeof cwd) != nullptr;
    const std::string chosen = kel::ui().file_dialog(request);
    if (have_cwd && chdir(cwd) != 0) {
        // Nothing to put back to; the next open names its folder in full anyway.
    }
    if (chosen.empty())
        return false;
    const auto slash = chosen.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(have_cwd ? cwd : ".")
                                                       : chosen.substr(0, slash + 1);
    const std::string refusal = data_directory_refusal(dir);
    if (!refusal.empty()) {
        kel::ui().message_box(refusal, "Kelvara", kel::Buttons::Ok, kel::Icon::Exclamation);
        return false;
    }
    const std::string with_slash = kel::paths::with_slash(dir);
    kel::profile::write_string("Data directory", "Last used directory", with_slash,
                               kel::profile::app_profile());
    g_data_directory = with_slash;
    return true;
}

void forget_bar_layout()
{
    const std::string f = kel::profile::app_profile();
    g_preferences.big_volume_indicators = true;
    kel::profile::write_yes_no("Preferences", "Big volume indicators", true, f);
    for (int i = 0; i < 11; ++i) {
        char section[32];
        std::snprintf(section, sizeof section, "General-Bar%d", i);
        kel::profile::delete_key(section, "Visible", f);
        kel::profile::delete_key(section, "Floating", f);
    }
    kel::profile::delete_key("General", "BarLayout", f);
}

namespace {

std::string version_text(uint16_t version)
{
    char text[48];
    std::snprintf(text, sizeof text, "%s%-d%s%-d", "Version: ", version >> 8, ".", version & 0xFF);
    return text;
}

DeviceLine wave_line(const kel::wave_device::Caps& caps)
{
    using namespace kel::wave_device;
    DeviceLine l;
    l.name = caps.name;
    l.channels = caps_stereo(caps) ? "Stereo" : "Mono";
    l.bits = caps_bits(caps) == 16 ? "16 bits" : "8 bits";
    l.rate = caps_rate_text(caps);
    l.version = version_text(caps.driver_version);
    return l;
}

std::vector<DeviceLine> midi_lines(const std::vector<kel::midi_devices::MidiCaps>& list)
{
    std::vector<DeviceLine> out;
    for (const auto& c : list) {
        DeviceLine l;
        l.name = c.name;
        l.version = version_text(c.driver_version);
        out.push_back(l);
    }
    return out;
}

} // namespace

std::vector<DeviceLine> wave_input_lines()
{
    std::vector<DeviceLine> out;
    for (int i = 0, n = kel::wave_device::in_device_count(); i < n; ++i) {
        // A device that does not answer keeps its line, so numbers stay the device's.
        kel::wave_device::Caps caps;
        if (kel::wave_device::in_caps(i, caps) != kel::wave_device::kOk)
            caps = kel::wave_device::Caps{"Device " + std::to_string(i), 0, 0, 0, 0};
        out.push_back(wave_line(caps));
    }
    return out;
}

std::vector<DeviceLine> wave_output_lines()
{
    std::vector<DeviceLine> out;
    for (int i = 0, n = kel::wave_device::out_device_count(); i < n; ++i) {
        // A device that does not answer keeps its line, so numbers stay the device's.
        kel::wave_device::Caps caps;
        if (kel::wave_device::out_caps(i, caps) != kel::wave_device::kOk)
            caps = kel::wave_device::Caps{"Device " + std::to_string(i), 0, 0, 0, 0};
        out.push_back(wave_line(caps));
    }
    return out;
}

std::vector<DeviceLine> midi_input_lines()
{
    return midi_lines(kel::midi_devices::inputs());
}

std::vector<DeviceLine> midi_output_lines()
{
    return midi_lines(kel::midi_devices::outputs());
}

} // namespace app
