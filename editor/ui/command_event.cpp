#include "editor/ui/command_event.h"

#include <QApplication>
#include <QMetaObject>
#include <QWidget>

namespace ui {

bool send_command(HWND window, int command, long param)
{
    // Only a window that still exists gets it: handles outlive their windows.
    for (QWidget* w : QApplication::allWidgets()) {
        if (static_cast<void*>(w) == window) {
            CommandEvent e(command, param);
            QApplication::sendEvent(w, &e);
            return true;
        }
    }
    return false;
}

void post_command(HWND window, int command, long param)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app, [window, command, param] { send_command(window, command, param); },
        Qt::QueuedConnection);
}

} // namespace ui
