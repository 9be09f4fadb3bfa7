#pragma once
// The Qt face of "Tones and Special Effects".
#include "platform/ui.h"

#include <QDialog>
#include <map>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace effra {
class TonesDialog;
}

// Shows a tones dialog model modally; returns the button it ended with. The editor
// registers it under "TonesAndEffects".
int run_tones_dialog(kel::DialogModel& model, QWidget* parent);

namespace effra_ui {

class TonesWindow : public QDialog
{
    Q_OBJECT
  public:
    // The model's on_open has run.
    TonesWindow(effra::TonesDialog& model, QWidget* parent);
    QSlider* slider(int id) const;

  private:
    QGroupBox* fader_group(const QString& title, std::initializer_list<int> ids);
    // Faders, read-outs and the enabled state follow the model.
    void refresh();
    void finish_if_ended();

    effra::TonesDialog& model_;
    std::map<int, QSlider*> sliders_;
    std::map<int, QLabel*> readouts_;
    std::map<int, QSpinBox*> fields_; // the frequencies can also be typed
    QComboBox* type_ = nullptr;
    QCheckBox* swap_ = nullptr;
    QButtonGroup* modulation_ = nullptr;
    QGroupBox* channel_box_ = nullptr;
    bool refreshing_ = false;
};

} // namespace effra_ui
