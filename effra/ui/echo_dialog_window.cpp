#include "effra/ui/echo_dialog_window.h"

#include "effra/echo_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

namespace effra_ui {

namespace {

QString id_name(int id)
{
    return QString::number(id);
}

QLabel* scale_label(int value, QWidget* parent)
{
    auto* l = new QLabel(QString::number(value), parent);
    QFont f = l->font();
    f.setPointSize(7);
    l->setFont(f);
    return l;
}

} // namespace

QGroupBox* EchoParametersWindow::slider_group(const QString& title, int id, int text_id,
                                              int minimum, int maximum, int position,
                                              QSlider*& slider, QLabel*& text)
{
    auto* box = new QGroupBox(title, this);
    auto* grid = new QGridLayout(box);

    text = new QLabel(box);
    text->setObjectName(id_name(text_id));
    text->setAlignment(Qt::AlignCenter);
    text->setFrameShape(QFrame::Box);
    text->setMinimumWidth(64);
    text->setStyleSheet("QLabel { color: rgb(255,0,0); background: white; }");
    QFont font("MS Sans Serif");
    font.setPointSize(9);
    font.setBold(true);
    text->setFont(font);
    grid->addWidget(text, 0, 0, 1, 2);

    // Upside down: the top end is the largest value.
    slider = new QSlider(Qt::Vertical, box);
    slider->setObjectName(id_name(id));
    slider->setRange(minimum, maximum);
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setTickPosition(QSlider::TicksLeft);
    slider->setTickInterval(std::max(1, (maximum - minimum) / 10));
    slider->setPageStep(std::max(1, (maximum - minimum) / 10));
    slider->setMinimumHeight(150);
    // A plain fader: the fill of the toolkit's default style would grow from the top, the
    // wrong way round for a slider whose top is its largest value.
    if (!fader_style_) {
        fader_style_ = QStyleFactory::create("Windows");
        if (fader_style_)
            fader_style_->setParent(this);
    }
    if (fader_style_)
        slider->setStyle(fader_style_);
    slider->setValue(position);
    grid->addWidget(scale_label(maximum, box), 1, 0, Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(scale_label(minimum, box), 2, 0, Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(slider, 1, 1, 2, 1, Qt::AlignHCenter);
    return box;
}

EchoParametersWindow::EchoParametersWindow(effra::EchoDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    using effra::EchoDialog;
    const effra::DelayEffect& e = model.effect();
    setObjectName(model.template_name());
    setWindowTitle(model.caption());

    auto* outer = new QHBoxLayout(this);

    auto* sliders = new QHBoxLayout;
    sliders->addWidget(slider_group("Delay (ms)", EchoDialog::kDelaySlider, EchoDialog::kDelayText,
                                    e.delay_min_ms, e.delay_max_ms, model.delay_position(),
                                    delay_slider_, delay_text_));
    sliders->addWidget(slider_group("Decay (%)", EchoDialog::kDecaySlider, EchoDialog::kDecayText,
                                    e.decay_min_percent, e.decay_max_percent,
                                    model.decay_position(), decay_slider_, decay_text_));
    outer->addLayout(sliders);

    auto* options = new QVBoxLayout;
    channel_group_ = new QGroupBox("Channels", this);
    auto* cl = new QVBoxLayout(channel_group_);
    channels_ = new QButtonGroup(this);
    const struct
    {
        int id;
        const char* text;
    } channel_buttons[] = {{EchoDialog::kBothChannels, "&Both channels"},
                           {EchoDialog::kLeftChannel, "&Left channel"},
                           {EchoDialog::kRightChannel, "Righ&t channel"}};
    for (const auto& b : channel_buttons) {
        auto* r = new QRadioButton(b.text, channel_group_);
        r->setObjectName(id_name(b.id));
        channels_->addButton(r, b.id);
        cl->addWidget(r);
    }
    channels_->button(model.checked_channel_button())->setChecked(true);
    // A mono file has one channel to choose.
    channel_group_->setVisible(model.channel_buttons_visible());
    options->addWidget(channel_group_);

    auto* extent_box = new QGroupBox("Apply", this);
    auto* xl = new QVBoxLayout(extent_box);
    extent_ = new QButtonGroup(this);
    auto* inside = new QRadioButton("Inside selection", extent_box);
    inside->setObjectName(id_name(EchoDialog::kInsideSelection));
    auto* outside = new QRadioButton("Outside selection", extent_box);
    outside->setObjectName(id_name(EchoDialog::kOutsideSelection));
    extent_->addButton(inside, EchoDialog::kInsideSelection);
    extent_->addButton(outside, EchoDialog::kOutsideSelection);
    xl->addWidget(inside);
    xl->addWidget(outside);
    (model.outside() ? outside : inside)->setChecked(true);
    options->addWidget(extent_box);
    options->addStretch(1);
    outer->addLayout(options);

    auto* buttons = new QVBoxLayout;
    auto add_button = [&](const char* text, int id) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(id_name(id));
        b->setMinimumWidth(84);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* ok = add_button("&OK", kel::kIdOk);
    QPushButton* cancel = add_button("&Cancel", kel::kIdCancel);
    QPushButton* save = add_button("&Save", EchoDialog::kSave);
    QPushButton* help = add_button("&Help", EchoDialog::kHelp);
    ok->setDefault(true);
    buttons->addStretch(1);
    outer->addLayout(buttons);

    connect(delay_slider_, &QSlider::valueChanged, this, [this](int position) {
        model_.delay_moved(position);
        refresh_texts();
    });
    connect(decay_slider_, &QSlider::valueChanged, this, [this](int position) {
        model_.decay_moved(position);
        refresh_texts();
    });
    connect(channels_, &QButtonGroup::idClicked, this,
            [this](int id) { model_.channel_button(id); });
    connect(extent_, &QButtonGroup::idClicked, this,
            [this](int id) { model_.set_outside(id == effra::EchoDialog::kOutsideSelection); });
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.ok();
        finish_if_ended();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        finish_if_ended();
    });
    connect(save, &QPushButton::clicked, this, [this] { model_.save(); });
    connect(help, &QPushButton::clicked, this, [this] { model_.help(); });

    refresh_texts();
    setFixedSize(sizeHint());
}

void EchoParametersWindow::refresh_texts()
{
    delay_text_->setText(QString::fromStdString(model_.delay_text()));
    decay_text_->setText(QString::fromStdString(model_.decay_text()));
}

void EchoParametersWindow::finish_if_ended()
{
    if (model_.ended())
        done(model_.end_code());
}

} // namespace effra_ui

int run_echo_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* echo = dynamic_cast<effra::EchoDialog*>(&model);
    if (!echo) {
        model.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    echo->on_open();
    effra_ui::EchoParametersWindow window(*echo, parent);
    const int code = window.exec();
    // The title bar's close box and Escape count as Cancel.
    if (!echo->ended())
        echo->end_dialog(code == kel::kIdOk ? kel::kIdOk : kel::kIdCancel);
    return echo->end_code();
}
