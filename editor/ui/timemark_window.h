#pragma once
// Template 132, "      Time Markers / Intervals for ...": the Qt face of TimemarkDialog.
#include "platform/ui.h"

#include <QDialog>

class TimemarkDialog;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QSpinBox;

namespace ui {

class TimemarkWindow : public QDialog
{
    Q_OBJECT
  public:
    TimemarkWindow(TimemarkDialog& model, QWidget* parent);
    // The controls show what the model holds.
    void show_model();

  protected:
    void accept() override;
    void reject() override;

  private:
    void clicked(int control);
    // A stop time typed and not yet taken: false when it was refused.
    bool take_typed_stop_time();

    TimemarkDialog& model_;
    QLineEdit* start_name_ = nullptr;
    QLineEdit* end_name_ = nullptr;
    QLabel* start_time_ = nullptr;
    QLineEdit* stop_time_ = nullptr;
    QScrollBar* start_scroll_ = nullptr;
    QScrollBar* stop_scroll_ = nullptr;
    QRadioButton* make_new_ = nullptr;
    QRadioButton* use_existing_ = nullptr;
    QComboBox* markers_ = nullptr;
    QRadioButton* kinds_[5] = {};
    QLineEdit* smpte_[4] = {};
    QComboBox* event_ = nullptr;
    QSpinBox* channel_ = nullptr;
    QSpinBox* note_ = nullptr;
    QLabel* note_name_ = nullptr;
};

int run_timemark_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
