#pragma once
// Takes highlighted sections dropped on the main window's empty area (the MDI client
// where no document window lies); everything else passes on to the frame.
#include <QObject>
#include <functional>

class CChildFrame;
class QWidget;

namespace ui {

class EmptyAreaDrop : public QObject
{
    Q_OBJECT
  public:
    using Handler = std::function<void(CChildFrame& source)>;
    // Watches the area (the MDI area's viewport) and calls the handler on a drop.
    EmptyAreaDrop(QWidget* area, Handler handler);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* area_;
    Handler handler_;
};

} // namespace ui
