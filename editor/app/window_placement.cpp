#include "editor/app/window_placement.h"

#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace app {

std::string format_window_placement(const WindowPlacement& p)
{
    char text[200];
    std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.show_command,
                  p.min_x, p.min_y, p.max_x, p.max_y, p.left, p.top, p.right, p.bottom);
    return text;
}

std::optional<WindowPlacement> parse_window_placement(const std::string& text)
{
    std::vector<long> numbers;
    const char* s = text.c_str();
    while (true) {
        while (*s == ' ')
            ++s;
        char* end = nullptr;
        errno = 0;
        long v = std::strtol(s, &end, 10);
        if (end == s || errno != 0 || v > 100000 || v < -100000)
            return std::nullopt;
        numbers.push_back(v);
        s = end;
        while (*s == ' ')
            ++s;
        if (*s == '\0')
            break;
        if (*s != ',')
            return std::nullopt;
        ++s;
    }
    if (numbers.size() != 10 || numbers[0] < 0 || numbers[1] < 0)
        return std::nullopt;
    WindowPlacement p;
    p.flags = static_cast<unsigned>(numbers[0]);
    p.show_command = static_cast<unsigned>(numbers[1]);
    p.min_x = static_cast<int>(numbers[2]);
    p.min_y = static_cast<int>(numbers[3]);
    p.max_x = static_cast<int>(numbers[4]);
    p.max_y = static_cast<int>(numbers[5]);
    p.left = static_cast<int>(numbers[6]);
    p.top = static_cast<int>(numbers[7]);
    p.right = static_cast<int>(numbers[8]);
    p.bottom = static_cast<int>(numbers[9]);
    if (p.right <= p.left || p.bottom <= p.top)
        return std::nullopt;
    return p;
}

std::optional<WindowPlacement> read_window_placement()
{
    return parse_window_placement(
        kel::profile::read_string("Settings", "WindowPos", "", kel::profile::app_profile()));
}

void write_window_placement(const WindowPlacement& p)
{
    kel::profile::write_string("Settings", "WindowPos", format_window_placement(p),
                               kel::profile::app_profile());
}

ScreenRect fit_on_screen(const ScreenRect& window, const ScreenRect& work_area)
{
    ScreenRect r = window;
    r.width = std::min(r.width, work_area.width);
    r.height = std::min(r.height, work_area.height);
    r.x = std::clamp(r.x, work_area.x, work_area.x + work_area.width - r.width);
    r.y = std::clamp(r.y, work_area.y, work_area.y + work_area.height - r.height);
    return r;
}

} // namespace app
