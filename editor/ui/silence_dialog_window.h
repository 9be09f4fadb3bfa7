#pragma once
// "SILENCE": Insert Silence asks for the length of the highlighted section or a time in
// minutes and seconds.
#include "platform/ui.h"

#include <QDialog>

class InsertSilenceDialog;
class QLineEdit;
class QRadioButton;

namespace ui {

class InsertSilenceWindow : public QDialog
{
    Q_OBJECT
  public:
    InsertSilenceWindow(InsertSilenceDialog& model, QWidget* parent);
    QRadioButton* selection_choice() const { return selection_; }
    QRadioButton* time_choice() const { return time_; }
    QLineEdit* minutes() const { return minutes_; }
    QLineEdit* seconds() const { return seconds_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    InsertSilenceDialog& model_;
    QRadioButton* selection_ = nullptr;
    QRadioButton* time_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QLineEdit* seconds_ = nullptr;
};

int run_insert_silence_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
