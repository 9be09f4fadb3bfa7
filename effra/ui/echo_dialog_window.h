#pragma once
// The Qt face of "Set Echo Parameters" / "Set Reverb Parameters".
#include "platform/ui.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QSlider;
class QStyle;

namespace effra {
class EchoDialog;
}

// Shows an echo or reverb dialog model modally; returns the button it ended with. The
// editor registers it under "NewEcho" and "NewReverb".
int run_echo_dialog(kel::DialogModel& model, QWidget* parent);

namespace effra_ui {

class EchoParametersWindow : public QDialog
{
    Q_OBJECT
  public:
    // The model's on_open has run.
    EchoParametersWindow(effra::EchoDialog& model, QWidget* parent);

    QSlider* delay_slider() const { return delay_slider_; }
    QSlider* decay_slider() const { return decay_slider_; }
    QLabel* delay_text() const { return delay_text_; }
    QLabel* decay_text() const { return decay_text_; }
    QGroupBox* channel_group() const { return channel_group_; }

  private:
    QGroupBox* slider_group(const QString& title, int id, int text_id, int minimum, int maximum,
                            int position, QSlider*& slider, QLabel*& text);
    void refresh_texts();
    void finish_if_ended();

    effra::EchoDialog& model_;
    QSlider* delay_slider_ = nullptr;
    QSlider* decay_slider_ = nullptr;
    QLabel* delay_text_ = nullptr;
    QLabel* decay_text_ = nullptr;
    QGroupBox* channel_group_ = nullptr;
    QButtonGroup* channels_ = nullptr;
    QButtonGroup* extent_ = nullptr;
    QStyle* fader_style_ = nullptr;
};

} // namespace effra_ui
