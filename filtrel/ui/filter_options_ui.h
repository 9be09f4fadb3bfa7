#pragma once
// The Qt face of the "Filter Options" dialog. The editor registers
// run_filter_options_dialog under the dialog's template name, "NEWFILTEROPTIONS".
#include "platform/ui.h"

#include <QDialog>
#include <map>

class FilterOptionsDialog;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QSlider;

// Opens the model, shows it and runs it until it ends; returns the model's end code
// (2 for a model that is not the Filter Options dialog).
int run_filter_options_dialog(kel::DialogModel& model, QWidget* parent);

// The dialog's widgets bound to an opened model; every control event goes to the model
// and the widgets then show what the model holds.
class FilterOptionsWindow : public QDialog
{
  public:
    FilterOptionsWindow(FilterOptionsDialog& model, QWidget* parent);
    // Widgets take the model's state (checks, enabled sliders, positions, fields, plot).
    void refresh();
    QWidget* control(int id) const;

  protected:
    void reject() override;

  private:
    void after_event();

    FilterOptionsDialog& model_;
    QButtonGroup* radios_ = nullptr;
    QCheckBox* sweep_ = nullptr;
    std::map<int, QSlider*> sliders_;
    std::map<int, QLabel*> fields_;
    QWidget* plot_ = nullptr;
    std::map<int, QWidget*> controls_;
    bool refreshing_ = false;
};
