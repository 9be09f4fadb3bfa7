// Progress window, message boxes and small helpers the modules call back into.
#include "common/host_services.h"

#include "editor/modules/host_state.h"
#include "editor/strings.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/ui.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

HostState g_host;

int display_message_dialog(const char* text, int cancel_allowed)
{
    if (g_host.message_dialog != 0) {
        kel::ui().progress_close(g_host.message_dialog);
        g_host.message_dialog = 0;
    }
    g_host.cancel_allowed = cancel_allowed;
    std::snprintf(g_host.message_text, sizeof g_host.message_text, "%s", text ? text : "");
    g_host.message_dialog = static_cast<int>(kel::ui().progress_open(g_host.message_text));
    g_host.previous_cursor = kel::ui().set_cursor(kel::Cursor::Watch);
    return g_host.message_dialog;
}

void terminate_message_dialog(int handle)
{
    if (handle == 0)
        return;
    kel::ui().progress_close(handle);
    if (handle == g_host.message_dialog)
        g_host.message_dialog = 0;
}

void show_percent_done(int handle, int percent)
{
    if (percent > 100) {
        kel::ui().progress_time_left(handle, "  ");
        return;
    }
    char label[200];
    std::snprintf(label, sizeof label, "   %s   %d%c", g_host.message_text, percent, '%');
    kel::ui().progress_bar(handle, percent, label);

    const uint32_t now = kel::clock::now_ms();
    if (percent <= 0) {
        g_host.start_time_ms = now;
        g_host.estimated_total_s = 0.0f;
        return;
    }
    if (g_host.estimated_total_s == 0.0f) {
        // Unsigned difference: the counter may wrap during a long job.
        const float elapsed = static_cast<float>(now - g_host.start_time_ms);
        if (elapsed <= 5000.0f) {
            g_host.last_time_left_s = 9999999.0f;
            return;
        }
        g_host.estimated_total_s = elapsed * 100.0f / static_cast<float>(percent + 1) * 0.001f;
        g_host.last_time_left_s = 9999999.0f;
        return;
    }
    const float remaining = static_cast<float>(100 - percent) * g_host.estimated_total_s * 0.01f;
    if (g_host.last_time_left_s - remaining <= 0.5f)
        return;
    g_host.last_time_left_s = remaining;
    char text[64];
    std::snprintf(text, sizeof text, "%s%5.1f%s", " Time left: ", remaining, " sec.");
    kel::ui().progress_time_left(handle, text);
}

int cancel_button_pressed(int handle)
{
    return kel::ui().progress_cancel_pressed(handle) ? 1 : 0;
}

static int show_formatted(const char* format, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, format ? format : "", args);
    return kel::ui().message_box(text, "Error", kel::Buttons::Ok, kel::Icon::Exclamation);
}

int ErrMsg(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    show_formatted(format, args);
    va_end(args);
    return 0;
}

int TestErrMsg(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int r = show_formatted(format, args);
    va_end(args);
    return r;
}

int NewErrMsg(int string_id)
{
    char text[128];
    const char* s = string_table_text(string_id);
    if (s)
        std::snprintf(text, sizeof text, "%s", s);
    else
        std::snprintf(text, sizeof text, "Message %d", string_id);
    return kel::ui().message_box(text, "Kelvara", kel::Buttons::Ok, kel::Icon::None);
}

int NewErrMsg(int string_id, const std::string& detail)
{
    if (detail.empty())
        return NewErrMsg(string_id);
    const char* s = string_table_text(string_id);
    const std::string text =
        (s ? std::string(s) : "Message " + std::to_string(string_id)) + "\n" + detail;
    return kel::ui().message_box(text, "Kelvara", kel::Buttons::Ok, kel::Icon::None);
}

int ErrMsgDetail(const std::string& text, const std::string& detail)
{
    kel::ui().message_box(detail.empty() ? text : text + "\n" + detail, "Error", kel::Buttons::Ok,
                          kel::Icon::Exclamation);
    return 0;
}

void WndErrMsg(const char* text)
{
    kel::ui().set_main_title(text ? text : "");
}

void ReplaceExt(char* name, const char* extension)
{
    char* dot = std::strchr(name, '.');
    if (!dot) {
        std::strcat(name, ".");
        dot = name + std::strlen(name) - 1;
    }
    std::strcpy(dot + 1, extension);
}

unsigned long get_named_file_length(const char* name)
{
    struct stat st
    {
    };
    if (!name || stat(name, &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return static_cast<unsigned long>(st.st_size);
}

Rect center_dialog_geometry(const Rect& window, int screen_width, int screen_height)
{
    const int w = window.width();
    const int h = window.height();
    const int y = (screen_height - h) / 2;
    const int x = ((screen_width - w) / 2 + 4) & ~6;
    return Rect{x, y, x + w, y + h};
}

void center_dialog_box(HWND window)
{
    int x, y, w, h;
    if (!kel::ui().window_geometry(window, x, y, w, h))
        return;
    Rect r = center_dialog_geometry(Rect{x, y, x + w, y + h}, kel::ui().screen_width(),
                                    kel::ui().screen_height());
    kel::ui().move_window(window, r.left, r.top);
}

void new_show_context_help(HWND window, int context_id)
{
    kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", context_id);
}

int* toggle_parameter(int* value)
{
    *value = !*value;
    return value;
}
