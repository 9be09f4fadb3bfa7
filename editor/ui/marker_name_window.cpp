#include "editor/ui/marker_name_window.h"

#include "editor/document/markers.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

MarkerNameWindow::MarkerNameWindow(MarkerNameDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("ENTERMARKERNAME");
    setWindowTitle("Marker name");
    // Made while the sound plays: it must not hide behind the frame.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* outer = new QVBoxLayout(this);
    auto* label = new QLabel("&Name:", this);
    name_ = new QLineEdit(this);
    name_->setObjectName("390");
    name_->setMaxLength(MarkerNameDialog::kMaxLength);
    label->setBuddy(name_);
    outer->addWidget(label);
    outer->addWidget(name_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &MarkerNameWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &MarkerNameWindow::reject);
}

void MarkerNameWindow::accept()
{
    model_.set_name(name_->text().toStdString());
    if (model_.ok())
        QDialog::accept();
}

void MarkerNameWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

int run_marker_name_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<MarkerNameDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    MarkerNameWindow w(*model, parent);
    if (parent) {
        w.adjustSize();
        w.move(parent->geometry().center() - w.rect().center());
    }
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
