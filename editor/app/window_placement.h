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

std::optional<WindowPlacement> read_window_placement();
void write_window_placement(const WindowPlacement& p);

} // namespace app
