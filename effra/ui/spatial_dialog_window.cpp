#include "effra/ui/spatial_dialog_window.h"

#include "effra/spatial_dialog.h"
#include "effra/ui/faders.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace effra_ui {

SpatialWindow::SpatialWindow(effra::SpatialDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    using effra::SpatialDialog;
    setObjectName(model.template_name());
    setWindowTitle(model.caption());
    auto* outer = new QHBoxLayout(this);

    auto* type_box = new QGroupBox("Type of localization", this);
    auto* tl = new QVBoxLayout(type_box);
    types_ = new QButtonGroup(this);
    const char* names[] = {"Far &right",  "Far &left",   "In &between",
                           "&Pan L -> R", "&Pan R -> L", "&Back and forth"};
    for (size_t i = 0; i < std::size(SpatialDialog::kTypeButtons); ++i) {
        auto* r = new QRadioButton(names[i], type_box);
        r->setObjectName(id_name(SpatialDialog::kTypeButtons[i]));
        types_->addButton(r, SpatialDialog::kTypeButtons[i]);
        tl->addWidget(r);
    }
    types_->button(model.checked_type_button())->setChecked(true);
    tl->addStretch(1);
    outer->addWidget(type_box);

    auto* delay_box = new QGroupBox("Delay (ms)", this);
    auto* dl = new QGridLayout(delay_box);
    delay_text_ = make_readout(delay_box, SpatialDialog::kDelayText);
    delay_ = make_fader(delay_box, SpatialDialog::kDelaySlider, 1, 100, model.delay_position());
    dl->addWidget(delay_text_, 0, 0, 1, 2);
    dl->addWidget(new QLabel("100", delay_box), 1, 0, Qt::AlignRight | Qt::AlignTop);
    dl->addWidget(new QLabel("1", delay_box), 2, 0, Qt::AlignRight | Qt::AlignBottom);
    dl->addWidget(delay_, 1, 1, 2, 1, Qt::AlignHCenter);
    outer->addWidget(delay_box);

    auto* middle = new QVBoxLayout;
    auto* rate_box = new QGroupBox("Back and forth rate", this);
    auto* rl = new QHBoxLayout(rate_box);
    auto* rate = new QSpinBox(rate_box);
    rate->setObjectName(id_name(SpatialDialog::kRateField));
    rate->setRange(1, 100);
    rate->setValue(model.rate());
    rl->addWidget(rate);
    rl->addWidget(new QLabel("(10xHz)", rate_box));
    middle->addWidget(rate_box);

    auto* between_box = new QGroupBox("In between position", this);
    auto* bl = new QGridLayout(between_box);
    position_ = new QSlider(Qt::Horizontal, between_box);
    position_->setObjectName(id_name(SpatialDialog::kPositionFader));
    position_->setRange(0, 200);
    position_->setPageStep(20);
    position_->setTickInterval(20);
    position_->setTickPosition(QSlider::TicksBelow);
    position_->setValue(model.fader_position());
    position_->setMinimumWidth(180);
    bl->addWidget(position_, 0, 0, 1, 2);
    bl->addWidget(new QLabel("Left", between_box), 1, 0, Qt::AlignLeft);
    bl->addWidget(new QLabel("Right", between_box), 1, 1, Qt::AlignRight);
    middle->addWidget(between_box);

    auto* effect_box = new QGroupBox("Special effect", this);
    auto* el = new QVBoxLayout(effect_box);
    auto* invert_left = new QCheckBox("&Invert left", effect_box);
    invert_left->setObjectName(id_name(SpatialDialog::kInvertLeft));
    invert_left->setChecked(model.invert_left());
    auto* invert_right = new QCheckBox("In&vert right", effect_box);
    invert_right->setObjectName(id_name(SpatialDialog::kInvertRight));
    invert_right->setChecked(model.invert_right());
    el->addWidget(invert_left);
    el->addWidget(invert_right);
    middle->addWidget(effect_box);
    middle->addStretch(1);
    outer->addLayout(middle);

    auto* buttons = new QVBoxLayout;
    QPushButton* ok = add_push_button(buttons, this, "&OK", kel::kIdOk);
    QPushButton* cancel = add_push_button(buttons, this, "&Cancel", kel::kIdCancel);
    QPushButton* help = add_push_button(buttons, this, "&Help", SpatialDialog::kHelp);
    ok->setDefault(true);
    buttons->addStretch(1);
    outer->addLayout(buttons);

    connect(types_, &QButtonGroup::idClicked, this, [this](int id) { model_.type_button(id); });
    connect(delay_, &QSlider::valueChanged, this, [this](int position) {
        model_.delay_moved(position);
        delay_text_->setText(QString::fromStdString(model_.delay_text()));
    });
    connect(rate, &QSpinBox::valueChanged, this, [this](int v) { model_.set_rate(v); });
    connect(position_, &QSlider::valueChanged, this,
            [this](int position) { model_.fader_moved(position); });
    connect(invert_left, &QCheckBox::toggled, this, [this] { model_.toggle_invert_left(); });
    connect(invert_right, &QCheckBox::toggled, this, [this] { model_.toggle_invert_right(); });
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.ok();
        finish_if_ended();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        finish_if_ended();
    });
    connect(help, &QPushButton::clicked, this, [this] { model_.help(); });
    delay_text_->setText(QString::fromStdString(model.delay_text()));
    setFixedSize(sizeHint());
}

void SpatialWindow::finish_if_ended()
{
    if (model_.ended())
        done(model_.end_code());
}

} // namespace effra_ui

int run_spatial_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* spatial = dynamic_cast<effra::SpatialDialog*>(&model);
    if (!spatial) {
        model.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    spatial->on_open();
    effra_ui::SpatialWindow window(*spatial, parent);
    const int code = window.exec();
    if (!spatial->ended())
        spatial->end_dialog(code == kel::kIdOk ? kel::kIdOk : kel::kIdCancel);
    return spatial->end_code();
}
