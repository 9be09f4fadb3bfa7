#include "editor/ui/device_dialog_windows.h"

#include "editor/devices/device_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ui {

namespace {

QComboBox* combo(QWidget* parent, const QString& name)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->setMinimumWidth(260);
    return c;
}

QLabel* value_label(QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setMinimumWidth(120);
    return l;
}

} // namespace

int run_system_devices_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<SystemDevicesDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    QDialog d(parent);
    d.setObjectName("ShowSystemDevices");
    d.setWindowTitle("System Hardware Sound Devices");
    auto* outer = new QVBoxLayout(&d);

    auto* wave_box = new QGroupBox(&d);
    auto* wave_grid = new QGridLayout(wave_box);
    QComboBox* wave = combo(wave_box, QString::number(SystemDevicesDialog::kWaveCombo));
    for (const auto& e : model->wave())
        wave->addItem(QString::fromStdString(e.name), QString::fromStdString(e.device));
    wave_grid->addWidget(wave, 0, 0, 1, 4);
    const char* captions[] = {"Channels:", "Bits:", "Rate:", "Version:"};
    const char* names[] = {"channels", "bits", "rate", "version"};
    QLabel* values[4];
    for (int i = 0; i < 4; ++i) {
        wave_grid->addWidget(new QLabel(captions[i], wave_box), 1 + i / 2, (i % 2) * 2);
        values[i] = value_label(wave_box, names[i]);
        wave_grid->addWidget(values[i], 1 + i / 2, (i % 2) * 2 + 1);
    }
    QLabel* volume = value_label(wave_box, "volume");
    QLabel* lr_volume = value_label(wave_box, "lr_volume");
    wave_grid->addWidget(volume, 3, 0, 1, 2);
    wave_grid->addWidget(lr_volume, 3, 2, 1, 2);
    outer->addWidget(wave_box);

    auto* midi_box = new QGroupBox(&d);
    auto* midi_grid = new QGridLayout(midi_box);
    QComboBox* midi = combo(midi_box, QString::number(SystemDevicesDialog::kMidiCombo));
    for (const auto& e : model->midi())
        midi->addItem(QString::fromStdString(e.name));
    midi_grid->addWidget(midi, 0, 0, 1, 2);
    midi_grid->addWidget(new QLabel("Type:", midi_box), 1, 0);
    QLabel* type = value_label(midi_box, "type");
    midi_grid->addWidget(type, 1, 1);
    midi_grid->setColumnStretch(1, 1);
    outer->addWidget(midi_box);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    outer->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);

    auto show_wave = [&, model](int index) {
        model->select_wave(index);
        if (model->wave().empty())
            return;
        const auto& e = model->wave()[static_cast<size_t>(model->wave_selected())];
        values[0]->setText(QString::fromStdString(e.channels));
        values[1]->setText(QString::fromStdString(e.bits));
        values[2]->setText(QString::fromStdString(e.rate));
        values[3]->setText(QString::fromStdString(e.version));
        volume->setText(QString::fromStdString(e.volume));
        lr_volume->setText(QString::fromStdString(e.lr_volume));
        wave->setToolTip(QString::fromStdString(e.device));
    };
    auto show_midi = [&, model](int index) {
        model->select_midi(index);
        if (model->midi().empty())
            return;
        type->setText(QString::fromStdString(
            model->midi()[static_cast<size_t>(model->midi_selected())].type));
    };
    QObject::connect(wave, &QComboBox::currentIndexChanged, &d, show_wave);
    QObject::connect(midi, &QComboBox::currentIndexChanged, &d, show_midi);
    show_wave(0);
    show_midi(0);
    if (d.exec() == QDialog::Accepted)
        model->close();
    else
        model->cancel();
    return model->end_code();
}

int run_sampler_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<SamplerDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    QDialog d(parent);
    d.setObjectName("EMUSAMPLER");
    d.setWindowTitle("Communicate With Sampler");
    auto* outer = new QVBoxLayout(&d);
    auto fill = [](QComboBox* c, const std::vector<std::string>& items) {
        for (const std::string& s : items)
            c->addItem(QString::fromStdString(s));
    };

    auto* get = new QGroupBox("Get Sample From... ", &d);
    auto* get_grid = new QGridLayout(get);
    QComboBox* from = combo(get, QString::number(SamplerDialog::kGetFrom));
    fill(from, model->samplers());
    get_grid->addWidget(from, 0, 0, 1, 2);
    QComboBox* host = combo(get, "scsi_host");
    fill(host, model->scsi_hosts());
    QComboBox* samples = combo(get, "scsi_samples");
    fill(samples, model->scsi_samples());
    get_grid->addWidget(new QLabel("SCSI Host", get), 1, 0);
    get_grid->addWidget(host, 1, 1);
    get_grid->addWidget(new QLabel("SCSI Samples", get), 2, 0);
    get_grid->addWidget(samples, 2, 1);
    outer->addWidget(get);

    auto* send = new QGroupBox(" Send Sample To... ", &d);
    auto* send_grid = new QGridLayout(send);
    QComboBox* to = combo(send, QString::number(SamplerDialog::kSendTo));
    fill(to, model->samplers());
    send_grid->addWidget(to, 0, 0, 1, 2);
    QComboBox* midi_in = combo(send, "midi_in");
    fill(midi_in, model->midi_inputs());
    QComboBox* midi_out = combo(send, "midi_out");
    fill(midi_out, model->midi_outputs());
    send_grid->addWidget(new QLabel("MIDI In", send), 1, 0);
    send_grid->addWidget(midi_in, 1, 1);
    send_grid->addWidget(new QLabel("MIDI Out", send), 2, 0);
    send_grid->addWidget(midi_out, 2, 1);
    auto* channel = new QSpinBox(send);
    channel->setObjectName(QString::number(SamplerDialog::kChannelSpin));
    channel->setRange(1, 16);
    channel->setValue(model->channel());
    // The edit and its spin are one control here; the edit keeps its own id.
    channel->findChild<QLineEdit*>()->setObjectName(QString::number(SamplerDialog::kChannelEdit));
    send_grid->addWidget(new QLabel("Channel", send), 3, 0);
    auto* channel_row = new QHBoxLayout;
    channel_row->addWidget(channel);
    channel_row->addStretch(1);
    send_grid->addLayout(channel_row, 3, 1);
    outer->addWidget(send);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &d);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    buttons->button(QDialogButtonBox::Help)->setObjectName(QString::number(SamplerDialog::kHelp));
    outer->addWidget(buttons);
    QObject::connect(channel, &QSpinBox::valueChanged, &d,
                     [model](int v) { model->set_channel(v); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&d, model] {
        model->ok();
        if (model->ended())
            d.done(model->end_code() == kel::kIdOk ? QDialog::Accepted : QDialog::Rejected);
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, [&d, model] {
        model->cancel();
        d.reject();
    });
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &d, [model] { model->help(); });
    d.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
