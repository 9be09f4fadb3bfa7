// Widgets of noise reduction: the tool chooser with the Sample --> Remove pair, and the two
// one-slider dialogs (how much noise to remove, the gate's threshold and channels).
#include "filtrel/ui/noise_windows.h"

#include "filtrel/noise_dialogs.h"
#include "filtrel/ui/run_window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace noise_dialog;

namespace filtrel_ui {

NoiseRemovalWindow::NoiseRemovalWindow(NoiseRemovalDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(NoiseRemovalDialog::kCaption));
    setObjectName(QStringLiteral("NOISEREMOVAL"));
    auto button = [this](int id, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        remember(id, b);
        connect(b, &QPushButton::clicked, this, [this, id] {
            switch (id) {
            case kSample:
                model_.sample();
                break;
            case kCancel:
                model_.cancel();
                break;
            case kHelp:
                model_.help();
                break;
            default:
                model_.choose(id);
                break;
            }
            after_event();
        });
        return b;
    };
    auto* options = new QGroupBox(QStringLiteral("Noise Removal Options"), this);
    auto* tools = new QVBoxLayout(options);
    tools->addWidget(button(kHashFilter, "Ha&sh filter"));
    auto* hum = new QHBoxLayout;
    hum->addWidget(button(kHumFilter, "&60 cycle filter"), 1);
    auto* hz60 = new QRadioButton(QStringLiteral("60 Hz"), this);
    auto* hz50 = new QRadioButton(QStringLiteral("50 Hz"), this);
    remember(kHum60, hz60);
    remember(kHum50, hz50);
    auto* mains = new QButtonGroup(this);
    mains->addButton(hz60, 60);
    mains->addButton(hz50, 50);
    connect(mains, &QButtonGroup::idClicked, this, [this](int hz) {
        model_.set_hum(hz);
        after_event();
    });
    hum->addWidget(hz60);
    hum->addWidget(hz50);
    tools->addLayout(hum);
    tools->addWidget(button(kNoiseGate, "Noise &gate"));
    auto* fft = new QGroupBox(QStringLiteral("FFT Noise Removal"), this);
    auto* pair = new QHBoxLayout(fft);
    pair->addWidget(button(kSample, "&Sample"));
    pair->addWidget(new QLabel(QStringLiteral("-->"), this));
    pair->addWidget(button(kRemove, "&Remove"));
    tools->addWidget(fft);

    auto* side = new QVBoxLayout;
    side->addWidget(button(kCancel, "Cancel"));
    side->addWidget(button(kHelp, "Help"));
    side->addStretch(1);
    auto* all = new QHBoxLayout(this);
    all->addWidget(options, 1);
    all->addLayout(side);
    refresh();
}

void NoiseRemovalWindow::refresh()
{
    control(kRemove)->setEnabled(model_.remove_enabled);
    static_cast<QRadioButton*>(control(model_.hum_hz == 50 ? kHum50 : kHum60))->setChecked(true);
}

void NoiseRemovalWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void NoiseRemovalWindow::reject()
{
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

NoiseSliderWindow::NoiseSliderWindow(NoiseReductionDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model), reduction_(&model)
{
    setWindowTitle(QString::fromLatin1(NoiseReductionDialog::kCaption));
    setObjectName(QStringLiteral("NOISEREDUCTION"));
    build("% Noise Reduction", true);
}

NoiseSliderWindow::NoiseSliderWindow(NoiseGateDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model), gate_(&model)
{
    setWindowTitle(QString::fromLatin1(NoiseGateDialog::kCaption));
    setObjectName(QStringLiteral("NOISEGATE"));
    build("Reduce noise by..", false);
}

void NoiseSliderWindow::build(const char* group, bool percent_labels)
{
    const DialogSlider& s = reduction_ ? reduction_->slider : gate_->slider;
    auto* box = new QGroupBox(QString::fromLatin1(group), this);
    auto* column = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    if (percent_labels) {
        auto* marks = new QVBoxLayout;
        for (const char* text : {"100% -", " 50% -", "  0% -"}) {
            marks->addWidget(new QLabel(QString::fromLatin1(text), this));
            marks->addStretch(1);
        }
        row->addLayout(marks);
    }
    slider_ = fader(s, 160, this, [this](int position) {
        if (reduction_)
            reduction_->move_slider(position);
        else
            gate_->move_slider(position);
        after_event();
    });
    row->addWidget(slider_);
    column->addLayout(row);
    field_ = value_field(this, Qt::red, QStringLiteral("Helvetica"), 8, 56);
    remember(kField, field_);
    column->addWidget(field_);

    auto* left = new QVBoxLayout;
    left->addWidget(box);
    if (gate_) {
        auto* channels = new QGroupBox(QStringLiteral("Select desired channels"), this);
        auto* list = new QVBoxLayout(channels);
        auto* group_buttons = new QButtonGroup(this);
        const struct
        {
            int id;
            const char* text;
        } radios[] = {
            {kBoth, "&Both channels"}, {kLeft, "&Left channel"}, {kRight, "&Right channel"}};
        for (const auto& r : radios) {
            auto* b = new QRadioButton(QString::fromLatin1(r.text), this);
            remember(r.id, b);
            group_buttons->addButton(b, r.id);
            list->addWidget(b);
        }
        connect(group_buttons, &QButtonGroup::idClicked, this, [this](int id) {
            gate_->set_channels(id);
            after_event();
        });
        channels->setVisible(gate_->stereo);
        left->addWidget(channels);
    }
    auto* buttons = new QVBoxLayout;
    const struct
    {
        int id;
        const char* text;
    } texts[] = {{kOk, "OK"}, {kCancel, "Cancel"}, {kHelp, "Help"}};
    for (const auto& t : texts) {
        auto* b = new QPushButton(QString::fromLatin1(t.text), this);
        remember(t.id, b);
        buttons->addWidget(b);
        const int id = t.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == kOk)
                reduction_ ? reduction_->ok() : gate_->ok();
            else if (id == kCancel)
                reduction_ ? reduction_->cancel() : gate_->cancel();
            else
                reduction_ ? reduction_->help() : gate_->help();
            after_event();
        });
        if (id == kOk)
            b->setDefault(true);
    }
    buttons->addStretch(1);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);
    refresh();
}

void NoiseSliderWindow::refresh()
{
    show_fader(slider_, reduction_ ? reduction_->slider : gate_->slider);
    field_->setText(QString::fromStdString(reduction_ ? reduction_->field : gate_->field));
    if (gate_)
        if (auto* b = qobject_cast<QRadioButton*>(control(gate_->checked)))
            b->setChecked(true);
}

void NoiseSliderWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void NoiseSliderWindow::reject()
{
    if (!model_.ended())
        model_.end_dialog(kCancel);
    QDialog::done(model_.end_code());
}

} // namespace filtrel_ui

using filtrel_ui::run_window;

int run_noise_removal_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<NoiseRemovalDialog, filtrel_ui::NoiseRemovalWindow>(model, parent);
}

int run_noise_reduction_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<NoiseReductionDialog, filtrel_ui::NoiseSliderWindow>(model, parent);
}

int run_noise_gate_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<NoiseGateDialog, filtrel_ui::NoiseSliderWindow>(model, parent);
}
