#pragma once
// Drives the program's message queue (device notifications, window timers) from the Qt
// event loop: a post from any thread schedules a pump on this thread, and a timer wakes
// the loop when the next window timer is due.
#include <QObject>
#include <QTimer>

namespace ui {

class EventPump : public QObject
{
  public:
    EventPump();
    ~EventPump() override;
    // Delivers what is waiting and re-arms the timer.
    void pump();

  private:
    void schedule();
    QTimer timer_;
};

} // namespace ui
