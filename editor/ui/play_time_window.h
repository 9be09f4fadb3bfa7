#pragma once
// The big time read-out shown while a document plays ("PLAYRECORDTIME"): one line of
// large green figures in control 419, kept on top of the main window.
#include <QDialog>

struct BigTimeText;
class QLabel;

namespace ui {

class PlayTimeWindow : public QDialog
{
    Q_OBJECT
  public:
    explicit PlayTimeWindow(QWidget* parent = nullptr);
    // Text, face, size (tenths of a point), weight and colour of control 419.
    void show_time(const BigTimeText& text);
    QLabel* time_label() const { return time_; }

  private:
    QLabel* time_;
};

} // namespace ui
