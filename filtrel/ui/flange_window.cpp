// Widgets of "Set FLANGE Parameters": five faders in a row, each with its title above and
// its red-on-white value below, and the buttons on the right.
#include "filtrel/ui/flange_window.h"

#include "filtrel/flange_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace flange_dialog;

namespace filtrel_ui {

FlangeWindow::FlangeWindow(FlangeDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(FlangeDialog::kCaption));
    setObjectName(QStringLiteral("FLANGE"));
    auto* grid = new QGridLayout;
    for (int k = 0; k < 5; ++k) {
        auto* title = new QLabel(QString::fromLatin1(kLabel[k]), this);
        title->setAlignment(Qt::AlignCenter);
        grid->addWidget(title, 0, k);
        const int id = kSlider[k];
        sliders_[k] = fader(model_.sliders[k], 150, this, [this, id](int position) {
            model_.move_slider(id, position);
            after_event();
        });
        grid->addWidget(sliders_[k], 1, k, Qt::AlignHCenter);
        fields_[k] = value_field(this, Qt::red, QStringLiteral("MS Sans Serif"), 8, 56);
        remember(kField[k], fields_[k]);
        grid->addWidget(fields_[k], 2, k);
    }
    auto* buttons = new QVBoxLayout;
    const struct
    {
        int id;
        const char* text;
    } texts[] = {{kOk, "OK"}, {kCancel, "Cancel"}, {kSave, "&Save"}, {kHelp, "Help"}};
    for (const auto& t : texts) {
        auto* b = new QPushButton(QString::fromLatin1(t.text), this);
        remember(t.id, b);
        buttons->addWidget(b);
        const int id = t.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == kOk)
                model_.ok();
            else if (id == kCancel)
                model_.cancel();
            else if (id == kSave)
                model_.save();
            else
                model_.help();
            after_event();
        });
        if (t.id == kOk)
            b->setDefault(true);
    }
    buttons->addStretch(1);
    auto* all = new QHBoxLayout(this);
    all->addLayout(grid, 1);
    all->addSpacing(12);
    all->addLayout(buttons);
    refresh();
}

void FlangeWindow::refresh()
{
    for (int k = 0; k < 5; ++k) {
        show_fader(sliders_[k], model_.sliders[k]);
        fields_[k]->setText(QString::fromStdString(model_.fields[k]));
    }
}

void FlangeWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void FlangeWindow::reject()
{
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

} // namespace filtrel_ui

int run_flange_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* flange = dynamic_cast<FlangeDialog*>(&model);
    if (!flange) {
        if (!model.ended())
            model.end_dialog(kel::kIdCancel);
        return model.end_code();
    }
    flange->on_open();
    filtrel_ui::FlangeWindow window(*flange, parent);
    window.exec();
    if (!flange->ended())
        flange->cancel();
    return flange->end_code();
}
