#include "editor/ui/silence_dialog_window.h"

#include "editor/edit/silence_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ui {

InsertSilenceWindow::InsertSilenceWindow(InsertSilenceDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("SILENCE");
    setWindowTitle("Insert Silence");
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox("Length of silence", this);
    auto* grid = new QGridLayout(box);
    selection_ = new QRadioButton("Length of the &highlighted section", box);
    selection_->setObjectName("11518");
    time_ = new QRadioButton("&Time:", box);
    time_->setObjectName("11500");
    time_->setChecked(true);
    minutes_ = new QLineEdit(QString::number(model.minutes()), box);
    minutes_->setObjectName("minutes");
    seconds_ = new QLineEdit(QString::number(model.seconds()), box);
    seconds_->setObjectName("seconds");
    for (QLineEdit* e : {minutes_, seconds_}) {
        e->setValidator(new QIntValidator(0, 99999, e));
        e->setMaximumWidth(70);
        e->setAlignment(Qt::AlignRight);
    }
    grid->addWidget(selection_, 0, 0, 1, 5);
    grid->addWidget(time_, 1, 0);
    grid->addWidget(minutes_, 1, 1);
    grid->addWidget(new QLabel("&minutes", box), 1, 2);
    grid->addWidget(seconds_, 1, 3);
    grid->addWidget(new QLabel("&seconds", box), 1, 4);
    static_cast<QLabel*>(grid->itemAtPosition(1, 2)->widget())->setBuddy(minutes_);
    static_cast<QLabel*>(grid->itemAtPosition(1, 4)->widget())->setBuddy(seconds_);
    outer->addWidget(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &InsertSilenceWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &InsertSilenceWindow::reject);
    // Typing a time means the time.
    for (QLineEdit* e : {minutes_, seconds_})
        connect(e, &QLineEdit::textEdited, this, [this] { time_->setChecked(true); });
    auto enable = [this] {
        minutes_->setEnabled(time_->isChecked());
        seconds_->setEnabled(time_->isChecked());
    };
    connect(time_, &QRadioButton::toggled, this, enable);
    enable();
}

void InsertSilenceWindow::accept()
{
    if (selection_->isChecked()) {
        model_.use_selection();
    } else {
        model_.set_minutes(minutes_->text().toStdString().c_str());
        model_.set_seconds(seconds_->text().toStdString().c_str());
        model_.use_time();
    }
    QDialog::accept();
}

void InsertSilenceWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

int run_insert_silence_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<InsertSilenceDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    InsertSilenceWindow w(*model, parent);
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
