#include "editor/ui/ocw_compression_dialog.h"

#include "editor/files/ocw_encoder.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ui {

int run_ocw_compression_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<OcwCompressionDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    QDialog d(parent);
    d.setObjectName("OCW_FILE_COMPRESSION");
    d.setWindowTitle(QString::fromStdString(model->title));
    auto* outer = new QVBoxLayout(&d);
    auto* box = new QGroupBox(&d);
    auto* rows = new QVBoxLayout(box);
    auto* choices = new QButtonGroup(&d);
    for (int i = 0; i < OcwCompressionDialog::kChoices; ++i) {
        const int id = OcwCompressionDialog::kFirstChoice + i;
        auto* r = new QRadioButton(OcwCompressionDialog::label(id), box);
        r->setObjectName(QString::number(id));
        r->setChecked(id == model->choice);
        choices->addButton(r, id);
        rows->addWidget(r);
    }
    QObject::connect(choices, &QButtonGroup::idToggled, [model](int id, bool on) {
        if (on)
            model->select(id);
    });
    outer->addWidget(box);

    auto* buttons = new QDialogButtonBox(&d);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("1");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("2");
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    help->setObjectName("1405");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
        model->ok();
        d.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, [&] {
        model->cancel();
        d.reject();
    });
    QObject::connect(help, &QPushButton::clicked, [model] { model->help(); });
    outer->addWidget(buttons);
    d.exec();
    // The close box and Escape count as Cancel.
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
