#pragma once
// "COPYSELECTION": how a section dropped on another document goes in (insert, overwrite,
// paste, cross-fade or one of the mixes), with the two gain sliders and the fade shape.
#include "platform/ui.h"

#include <QDialog>

class CombineSelectionDialog;
class QAbstractButton;
class QButtonGroup;
class QSlider;

namespace ui {

class CombineSelectionWindow : public QDialog
{
    Q_OBJECT
  public:
    CombineSelectionWindow(CombineSelectionDialog& model, QWidget* parent);
    // Any control by its id (radio buttons, sliders, push buttons).
    QWidget* control(int id) const;
    QSlider* slider(int id) const;

  protected:
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void show_model();

    CombineSelectionDialog& model_;
    QButtonGroup* modes_ = nullptr;
    QButtonGroup* shapes_ = nullptr;
};

int run_combine_selection_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
