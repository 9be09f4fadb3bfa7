#pragma once
// "ENTERMARKERNAME": the name of a marker made on the fly.
#include "platform/ui.h"

#include <QDialog>

class MarkerNameDialog;
class QLineEdit;

namespace ui {

class MarkerNameWindow : public QDialog
{
    Q_OBJECT
  public:
    MarkerNameWindow(MarkerNameDialog& model, QWidget* parent);
    QLineEdit* name_field() const { return name_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    MarkerNameDialog& model_;
    QLineEdit* name_ = nullptr;
};

int run_marker_name_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
