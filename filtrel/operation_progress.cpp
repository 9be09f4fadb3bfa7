#include "filtrel/operation_progress.h"

#include "common/host_services.h"

OperationProgress::OperationProgress(const char* text)
    : previous_(kel::ui().set_cursor(kel::Cursor::Watch))
{
    handle_ = display_message_dialog(text ? text : "", 1);
    open_ = true;
    show_percent_done(handle_, 0);
}

void OperationProgress::percent(int value)
{
    if (open_)
        show_percent_done(handle_, value);
}

bool OperationProgress::cancelled()
{
    return open_ && cancel_button_pressed(handle_) != 0;
}

void OperationProgress::close()
{
    if (!open_)
        return;
    open_ = false;
    terminate_message_dialog(handle_);
    kel::ui().set_cursor(previous_);
}
