#include "editor/view/view_colors.h"

#include "platform/profile.h"

#include <cstring>
#include <string>

namespace {

constexpr NamedColor kColors[kNamedColorCount] = {
    {"Red", 0xFF0000},          {"Green", 0x00FF00},       {"Blue", 0x0000FF},
    {"Black", 0x000000},        {"White", 0xFFFFFF},       {"Cyan", 0x00FFFF},
    {"Yellow", 0xFFFF00},       {"Magenta", 0xFF00FF},     {"Gray", 0xC0C0C0},
    {"Dark Gray", 0x808080},    {"Dark Cyan", 0x008080},   {"Dark Blue", 0x000080},
    {"Dark Green", 0x008000},   {"Dark Yellow", 0x808000}, {"Dark Red", 0x800000},
    {"Dark Magenta", 0x800080},
};

void read_color(const char* key, const char* default_name, uint32_t& target)
{
    const std::string name =
        kel::profile::read_string("Colors", key, default_name, kel::profile::app_profile());
    uint32_t rgb;
    if (color_by_name(name.c_str(), rgb))
        target = rgb;
}

} // namespace

const NamedColor* named_colors()
{
    return kColors;
}

bool color_by_name(const char* name, uint32_t& rgb)
{
    for (const NamedColor& c : kColors) {
        if (std::strcmp(c.name, name) == 0) {
            rgb = c.rgb;
            return true;
        }
    }
    return false;
}

ViewColors load_view_colors()
{
    ViewColors c;
    // "DarkBlue" is not a table name, so the built-in dark blue stays unless the
    // profile names a colour.
    read_color("Data color", "DarkBlue", c.data);
    read_color("Bkgnd color", "Cyan", c.background);
    read_color("Grid color", "Magenta", c.grid);
    read_color("Marker color", "Red", c.marker);
    read_color("Marker text", "White", c.marker_text);
    read_color("Wavecrest color", "Yellow", c.wavecrest);
    return c;
}

ViewColors& view_colors()
{
    static ViewColors colors = load_view_colors();
    return colors;
}

void reload_view_colors()
{
    view_colors() = load_view_colors();
}
