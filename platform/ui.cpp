#include "platform/ui.h"

#include <algorithm>

namespace kel {
namespace {
HeadlessUi g_default;
Ui* g_ui = nullptr;
} // namespace

Ui& ui()
{
    return g_ui ? *g_ui : g_default;
}

void set_ui(Ui* implementation)
{
    g_ui = implementation;
}

int HeadlessUi::message_box(const std::string& text, const std::string& caption, Buttons buttons,
                            Icon icon)
{
    int result;
    if (!answers.empty()) {
        result = answers.front();
        answers.erase(answers.begin());
    } else {
        switch (buttons) {
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            result = kIdYes;
            break;
        case Buttons::RetryCancel:
            result = kIdRetry;
            break;
        case Buttons::SaveDiscardCancel:
            result = kIdNo;
            break;
        default:
            result = kIdOk;
        }
    }
    boxes.push_back({text, caption, buttons, icon, result});
    return result;
}

long HeadlessUi::progress_open(const std::string& text)
{
    long h = next_handle_++;
    open_progress = h;
    ++progress_windows;
    progress.push_back({h, -1, text});
    return h;
}

void HeadlessUi::progress_bar(long handle, int percent, const std::string& label)
{
    progress.push_back({handle, percent, label});
}

void HeadlessUi::progress_time_left(long handle, const std::string& text)
{
    (void)handle;
    time_left_texts.push_back(text);
}

bool HeadlessUi::progress_cancel_pressed(long handle)
{
    (void)handle;
    ++polls;
    if (cancel_at_ != 0 && polls >= cancel_at_) {
        cancel_at_ = 0;
        return true;
    }
    return false;
}

void HeadlessUi::progress_close(long handle)
{
    if (open_progress == handle)
        open_progress = 0;
    progress.push_back({handle, -2, ""});
}

int HeadlessUi::run_modal(DialogModel& dialog)
{
    dialogs_run.push_back(dialog.template_name());
    dialog.on_open();
    auto it = std::find_if(scripts.begin(), scripts.end(),
                           [&](const auto& s) { return s.first == dialog.template_name(); });
    if (it != scripts.end()) {
        DialogScript script = std::move(it->second);
        scripts.erase(it);
        script(dialog);
    }
    if (!dialog.ended())
        dialog.end_dialog(kIdCancel);
    return dialog.end_code();
}

std::string HeadlessUi::file_dialog(const FileDialogRequest& request)
{
    file_dialogs.push_back(request);
    if (file_dialog_answers.empty())
        return "";
    std::string a = file_dialog_answers.front();
    file_dialog_answers.erase(file_dialog_answers.begin());
    return a;
}

bool HeadlessUi::window_geometry(void* window, int& x, int& y, int& width, int& height)
{
    for (const Geometry& g : windows) {
        if (g.window == window) {
            x = g.x;
            y = g.y;
            width = g.width;
            height = g.height;
            return true;
        }
    }
    return false;
}

void HeadlessUi::move_window(void* window, int x, int y)
{
    for (Geometry& g : windows) {
        if (g.window == window) {
            g.x = x;
            g.y = y;
        }
    }
}

void HeadlessUi::clear()
{
    *this = HeadlessUi();
}

} // namespace kel
