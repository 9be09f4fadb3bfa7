#pragma once
// Template 130, "RealMedia Audio/Video Compression Parameters".
#include "platform/ui.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QSlider;
class RealMediaDialog;

namespace ui {

class RealMediaDialogWindow : public QDialog
{
    Q_OBJECT
  public:
    RealMediaDialogWindow(RealMediaDialog& model, QWidget* parent);
    QComboBox* audio() const { return audio_; }
    QLabel* description() const { return description_; }
    QGroupBox* video_group() const { return video_group_; }
    QComboBox* video() const { return video_; }
    QSlider* quality() const { return quality_; }
    QSlider* frame_rate() const { return frame_rate_; }
    QLabel* status() const { return status_; }
    QProgressBar* progress() const { return progress_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    void show_progress();
    RealMediaDialog& model_;
    QComboBox* audio_ = nullptr;
    QLabel* description_ = nullptr;
    QGroupBox* video_group_ = nullptr;
    QComboBox* video_ = nullptr;
    QSlider* quality_ = nullptr;
    QSlider* frame_rate_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QWidget* ok_ = nullptr;
    QWidget* sound_group_ = nullptr;
};

int run_realmedia_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
