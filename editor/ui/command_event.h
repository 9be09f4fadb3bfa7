#pragma once
// A command delivered to a window on the user-interface thread: what the timer
// callbacks and other threads post, and what windows send each other.
#include "common/window.h"

#include <QEvent>

namespace ui {

class CommandEvent : public QEvent
{
  public:
    explicit CommandEvent(int command, long param = 0)
        : QEvent(type()), command(command), param(param)
    {
    }
    static QEvent::Type type()
    {
        static const int t = QEvent::registerEventType();
        return static_cast<QEvent::Type>(t);
    }
    int command;
    long param;
};

// Sends the command to the window if it still exists; false otherwise.
bool send_command(HWND window, int command, long param = 0);
// Queues it from any thread; delivered later on the user-interface thread.
void post_command(HWND window, int command, long param = 0);

} // namespace ui
