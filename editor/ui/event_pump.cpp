#include "editor/ui/event_pump.h"

#include "platform/events.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

namespace ui {

EventPump::EventPump()
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &EventPump::pump);
    // Called on the posting thread: only queue a call, never pump there.
    QPointer<EventPump> self(this);
    kel::events::set_wake_hook([self] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [self] {
                    if (self)
                        self->pump();
                },
                Qt::QueuedConnection);
    });
}

EventPump::~EventPump()
{
    kel::events::set_wake_hook(nullptr);
}

void EventPump::pump()
{
    kel::events::pump();
    schedule();
}

void EventPump::schedule()
{
    const long ms = kel::events::ms_until_next_timer();
    if (ms < 0) {
        timer_.stop();
        return;
    }
    timer_.start(static_cast<int>(std::min<long>(ms, 1000)));
}

} // namespace ui
