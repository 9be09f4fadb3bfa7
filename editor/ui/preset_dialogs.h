#pragma once
// The two preset dialogs every effect shares: "NEWSELECT" (pick, view, create or delete
// a preset) and "SAVE" (store the current values under a name).
#include "platform/ui.h"

#include <QDialog>

class PresetSaveDialog;
class PresetSelectDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

class PresetSelectWindow : public QDialog
{
    Q_OBJECT
  public:
    enum Control : int {
        kList = 355,
        kPicked = 260,
        kOk = 1,
        kCancel = 2,
        kCreate = 373,
        kHelp = 1405,
        kDelete = 370,
        kView = 1880,
        kPicture = 1039,
    };
    PresetSelectWindow(PresetSelectDialog& model, QWidget* parent);
    QListWidget* list() const { return list_; }
    QLabel* picked() const { return picked_; }
    QPushButton* button(int id) const;

  protected:
    void reject() override;

  private:
    void fill();
    void after(void (PresetSelectDialog::*action)());

    PresetSelectDialog& model_;
    QListWidget* list_ = nullptr;
    QLabel* picked_ = nullptr;
    bool filling_ = false;
};

class PresetSaveWindow : public QDialog
{
    Q_OBJECT
  public:
    enum Control : int {
        kName = 260,
        kList = 355,
        kSave = 367,
        kCancel = 2,
        kHelp = 1405,
    };
    PresetSaveWindow(PresetSaveDialog& model, QWidget* parent);
    QListWidget* list() const { return list_; }
    QLineEdit* name() const { return name_; }
    QPushButton* button(int id) const;

  protected:
    void reject() override;

  private:
    void fill();
    void save();

    PresetSaveDialog& model_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    bool filling_ = false;
};

int run_preset_select_dialog(kel::DialogModel& model, QWidget* parent);
int run_preset_save_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
