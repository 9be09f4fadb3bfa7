#include "effra/ui/tones_dialog_window.h"

#include "effra/tones_dialog.h"
#include "effra/ui/faders.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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

namespace {

using effra::TonesDialog;

bool is_frequency(int id)
{
    return id == TonesDialog::kFrequencyInitial || id == TonesDialog::kFrequencyFinal;
}

QButtonGroup* radio_group(QWidget* box, QBoxLayout* layout,
                          std::initializer_list<std::pair<int, const char*>> buttons)
{
    auto* group = new QButtonGroup(box);
    for (const auto& [id, text] : buttons) {
        auto* r = new QRadioButton(text, box);
        r->setObjectName(id_name(id));
        group->addButton(r, id);
        layout->addWidget(r);
    }
    return group;
}

} // namespace

QGroupBox* TonesWindow::fader_group(const QString& title, std::initializer_list<int> ids)
{
    auto* box = new QGroupBox(title, this);
    auto* grid = new QGridLayout(box);
    int column = 0;
    for (int id : ids) {
        const TonesDialog::Slider* s = model_.slider(id);
        auto* label = new QLabel(s->label, box);
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, column, Qt::AlignHCenter);
        QSlider* fader = make_fader(box, id, s->minimum, s->maximum, model_.position(id), 140);
        grid->addWidget(fader, 1, column, Qt::AlignHCenter);
        sliders_[id] = fader;
        if (is_frequency(id)) {
            auto* field = new QSpinBox(box);
            field->setObjectName(id_name(s->text_id));
            field->setRange(s->minimum, s->maximum);
            field->setSuffix(" Hz");
            grid->addWidget(field, 2, column);
            fields_[id] = field;
            connect(field, &QSpinBox::valueChanged, this, [this, id, s](int v) {
                if (refreshing_)
                    return;
                model_.slider_moved(id, s->maximum + s->minimum - v);
                refresh();
            });
        } else {
            QLabel* readout = make_readout(box, s->text_id, 52);
            grid->addWidget(readout, 2, column);
            readouts_[id] = readout;
        }
        connect(fader, &QSlider::valueChanged, this, [this, id](int position) {
            if (refreshing_)
                return;
            model_.slider_moved(id, position);
            refresh();
        });
        ++column;
    }
    return box;
}

TonesWindow::TonesWindow(effra::TonesDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName(model.template_name());
    setWindowTitle(model.caption());
    auto* outer = new QVBoxLayout(this);

    auto* faders = new QHBoxLayout;
    const int* hi = TonesDialog::kHarmonicInitial;
    const int* hf = TonesDialog::kHarmonicFinal;
    faders->addWidget(fader_group("Base frequency",
                                  {TonesDialog::kFrequencyInitial, TonesDialog::kFrequencyFinal}));
    faders->addWidget(
        fader_group("Vibrato", {TonesDialog::kVibratoFrequency, TonesDialog::kVibratoAmplitude}));
    faders->addWidget(fader_group("Harmonics, initial (%)", {hi[0], hi[1], hi[2], hi[3]}));
    faders->addWidget(fader_group("Harmonics, final (%)", {hf[0], hf[1], hf[2], hf[3]}));
    faders->addWidget(fader_group("Right chan.", {TonesDialog::kPhase}));
    faders->addWidget(
        fader_group("Volume (%)", {TonesDialog::kVolumeLeft, TonesDialog::kVolumeRight}));
    outer->addLayout(faders);

    auto* row = new QHBoxLayout;
    auto* type_box = new QGroupBox("Type", this);
    auto* tl = new QVBoxLayout(type_box);
    type_ = new QComboBox(type_box);
    type_->setObjectName(id_name(TonesDialog::kType));
    for (const char* name : effra::kWaveNames)
        type_->addItem(name);
    type_->setCurrentIndex(model.type_choice());
    tl->addWidget(type_);
    tl->addStretch(1);
    row->addWidget(type_box);

    auto* modulation_box = new QGroupBox("Modulation", this);
    auto* ml = new QVBoxLayout(modulation_box);
    modulation_ =
        radio_group(modulation_box, ml,
                    {{TonesDialog::kConstant, "Co&nstant"}, {TonesDialog::kWarble, "&Warble"}});
    swap_ = new QCheckBox("&Swap", modulation_box);
    swap_->setObjectName(id_name(TonesDialog::kSwap));
    ml->addWidget(swap_);
    row->addWidget(modulation_box);

    auto* effect_box = new QGroupBox("Effect", this);
    auto* efl = new QVBoxLayout(effect_box);
    QButtonGroup* effect = radio_group(
        effect_box, efl,
        {{TonesDialog::kGenerate, "&Generate tones"}, {TonesDialog::kModulate, "&Modulate music"}});
    effect->button(model.generating() ? TonesDialog::kGenerate : TonesDialog::kModulate)
        ->setChecked(true);
    row->addWidget(effect_box);

    channel_box_ = new QGroupBox("Channels", this);
    auto* cl = new QVBoxLayout(channel_box_);
    QButtonGroup* channels = radio_group(channel_box_, cl,
                                         {{TonesDialog::kBoth, "&Both"},
                                          {TonesDialog::kLeft, "&L Chan"},
                                          {TonesDialog::kRight, "&R Chan"}});
    channels->button(model.checked_channel_button())->setChecked(true);
    // A mono file has one channel to write.
    channel_box_->setVisible(model.channel_buttons_visible());
    row->addWidget(channel_box_);
    row->addStretch(1);

    auto* buttons = new QGridLayout;
    auto *b1 = new QVBoxLayout, *b2 = new QVBoxLayout;
    QPushButton* ok = add_push_button(b1, this, "&OK", kel::kIdOk);
    QPushButton* cancel = add_push_button(b1, this, "&Cancel", kel::kIdCancel);
    QPushButton* save = add_push_button(b2, this, "&Save", TonesDialog::kSave);
    QPushButton* help = add_push_button(b2, this, "&Help", TonesDialog::kHelp);
    ok->setDefault(true);
    buttons->addLayout(b1, 0, 0);
    buttons->addLayout(b2, 0, 1);
    row->addLayout(buttons);
    outer->addLayout(row);

    connect(type_, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.choose_type(index); });
    connect(modulation_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == TonesDialog::kWarble)
            model_.warble();
        else
            model_.constant();
        refresh();
    });
    connect(swap_, &QCheckBox::clicked, this, [this] {
        model_.swap();
        refresh();
    });
    connect(effect, &QButtonGroup::idClicked, this,
            [this](int id) { model_.set_generate(id == TonesDialog::kGenerate); });
    connect(channels, &QButtonGroup::idClicked, this,
            [this](int id) { model_.channel_button(id); });
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
    refresh();
    setFixedSize(sizeHint());
}

QSlider* TonesWindow::slider(int id) const
{
    auto it = sliders_.find(id);
    return it == sliders_.end() ? nullptr : it->second;
}

void TonesWindow::refresh()
{
    refreshing_ = true;
    for (auto& [id, fader] : sliders_) {
        fader->setValue(model_.position(id));
        fader->setEnabled(model_.slider_enabled(id));
    }
    for (auto& [id, field] : fields_)
        field->setValue(model_.value(id));
    for (auto& [id, readout] : readouts_) {
        readout->setText(QString::fromStdString(model_.text(id)));
        readout->setEnabled(model_.slider_enabled(id));
        set_readout_grey(readout, model_.text_grey(id));
    }
    modulation_->button(model_.warble_on() ? TonesDialog::kWarble : TonesDialog::kConstant)
        ->setChecked(true);
    swap_->setEnabled(model_.swap_enabled());
    swap_->setChecked(model_.swap_checked());
    refreshing_ = false;
}

void TonesWindow::finish_if_ended()
{
    if (model_.ended())
        done(model_.end_code());
}

} // namespace effra_ui

int run_tones_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* tones = dynamic_cast<effra::TonesDialog*>(&model);
    if (!tones) {
        model.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    tones->on_open();
    effra_ui::TonesWindow window(*tones, parent);
    const int code = window.exec();
    if (!tones->ended())
        tones->end_dialog(code == kel::kIdOk ? kel::kIdOk : kel::kIdCancel);
    return tones->end_code();
}
