#pragma once
// "Addditional File Information": six fields for the common items, the list of all 23
// with the text and the description of the chosen one.
#include "platform/ui.h"

#include <QDialog>

class InfoEditDialog;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace ui {

class InfoEditWindow : public QDialog
{
    Q_OBJECT
  public:
    InfoEditWindow(InfoEditDialog& model, QWidget* parent);

    // A common field by its control id (1001 ARTIST ... 1003 COMMENTS), the "ITEM:"
    // list (100), the "TEXT:" field (102) and the description (101).
    QLineEdit* field(int control) const;
    QComboBox* item_list() const { return items_; }
    QLineEdit* text_field() const { return text_; }
    QPlainTextEdit* description() const { return description_; }

  protected:
    void accept() override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void refresh_list();
    void show_chosen();
    // What focus-out does: the field's text becomes the item's new text.
    void take_field(QLineEdit* edit);

    InfoEditDialog& model_;
    std::vector<QLineEdit*> fields_;
    QComboBox* items_ = nullptr;
    QLineEdit* text_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

int run_info_edit_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
