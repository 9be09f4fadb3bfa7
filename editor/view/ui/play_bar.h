#pragma once
// The tool bar inside each document window (Play, Pause, Stop, Loop, Zoom In,
// Zoom Out) with the horizontal scroll bar and the zoom readout beside it.
#include <QWidget>

class QAction;
class QLabel;
class QScrollBar;
class QToolBar;

class PlayBar : public QWidget
{
    Q_OBJECT
  public:
    explicit PlayBar(bool tool_tips, QWidget* parent = nullptr);

    QToolBar* tool_bar() const { return bar_; }
    QScrollBar* scroll_bar() const { return scroll_; }
    QLabel* zoom_readout() const { return readout_; }
    // The button of a command (11401..11404, 1898, 1899); null for others.
    QAction* action(int command) const;
    // Tool tips follow the "ToolTips" flag.
    void set_tool_tips(bool on);

  signals:
    void command(int id);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QToolBar* bar_;
    QScrollBar* scroll_;
    QLabel* readout_;
    bool tool_tips_ = true;
    struct Slot
    {
        int id;
        const char* tip;
        QAction* action;
    };
    Slot slots_[6];
};
