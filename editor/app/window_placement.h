#pragma once
// "Settings"/"WindowPos": the frame's placement as ten numbers.
#include <optional>
#include <string>

namespace app {

inline constexpr unsigned kRestoreToMaximized = 2;
inline constexpr unsigned kShowNormal = 1;
inline constexpr unsigned kShowMinimized = 2;
inline constexpr unsigned kShowMaximized = 3;

struct WindowPlacement
{
    unsigned flags = 0;
    unsigned show_command = kShowNormal;
    int min_x = -1, min_y = -1;
    int max_x = -1, max_y = -1;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool maximized() const
    {
        return show_command == kShowMaximized || (flags & kRestoreToMaximized) != 0;
    }
};

// "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d"
std::string format_window_placement(const WindowPlacement& p);
// Nothing unless the text holds exactly ten numbers (a rectangle without area is refused too).
std::optional<WindowPlacement> parse_window_placement(const std::string& text);

// A rectangle as left, top, width, height.
struct ScreenRect
{
    int x = 0, y = 0, width = 0, height = 0;
};
// A saved window rectangle brought onto the screen's work area: a placement saved on
// another screen or at another scale may lie partly or wholly off it. Too large, it
// shrinks to the work area; then it moves just far enough to lie inside. A rectangle
// inside already comes back unchanged.
ScreenRect fit_on_screen(const ScreenRect& window, const ScreenRect& work_area);

std::optional<WindowPlacement> read_window_placement();
void write_window_placement(const WindowPlacement& p);

} // namespace app
