#pragma once
// The player's one dialog, "Norvane OCW File Decoder / Player": it binds its controls to the
// Player and paints what the Player tells it.
#include "plavo/player.h"

#include <QDialog>
#include <QHash>
#include <memory>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;

namespace plavo::ui {

class DigitDisplay;
class LevelMeter;

class MainDialog : public QDialog, public PlayerView
{
    Q_OBJECT
  public:
    explicit MainDialog(const QString& command_line_file, QWidget* parent = nullptr);
    ~MainDialog() override;

    Player& player() { return *player_; }
    QWidget* control(int id) const { return controls_.value(id); }

    void enable(int control, bool on) override;
    void set_text(int control, const std::string& text) override;
    void set_check(int control, bool on) override;
    void set_progress(int percent) override;
    void set_seconds(double seconds) override;
    void set_levels(bool lit, Levels levels) override;
    bool cancel_pressed() override;
    void pump() override;

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void reject() override;

  private:
    void build();

    std::unique_ptr<Player> player_;
    QHash<int, QWidget*> controls_;
    DigitDisplay* digits_ = nullptr;
    LevelMeter* meter_ = nullptr;
    QLabel* file_name_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* loop_ = nullptr;
    QPushButton* exit_ = nullptr;
    bool cancel_ = false;
};

// Drives the platform's message queue and its timers from Qt's event loop.
class EventBridge : public QObject
{
    Q_OBJECT
  public:
    explicit EventBridge(QObject* parent = nullptr);
    ~EventBridge() override;
    void pump_now();

  private:
    QTimer* timer_;
};

} // namespace plavo::ui
