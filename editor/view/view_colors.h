#pragma once
// The display colours of the waveform view, named in the profile section "Colors".
#include <cstdint>

// 0xRRGGBB
struct NamedColor
{
    const char* name;
    uint32_t rgb;
};
// The sixteen colours of the preference page, in swatch order (301..316).
inline constexpr int kNamedColorCount = 16;
const NamedColor* named_colors();
// The colour of a name by exact comparison; false when the table has no such name.
bool color_by_name(const char* name, uint32_t& rgb);

struct ViewColors
{
    uint32_t data = 0x000080;        // "Data color": pen of the waveform
    uint32_t background = 0x00FFFF;  // "Bkgnd color"
    uint32_t grid = 0xFF00FF;        // "Grid color": centre lines and ruler marks
    uint32_t marker = 0xFF0000;      // "Marker color"
    uint32_t marker_text = 0xFFFFFF; // "Marker text"
    uint32_t wavecrest = 0xFFFF00;   // "Wavecrest color"
};

// Reads the six keys; a missing key takes its default name, a name that is not in the
// table leaves the built-in colour.
ViewColors load_view_colors();
// The colours the view draws with; loaded once, reloaded by load_view_colors callers.
ViewColors& view_colors();
void reload_view_colors();
