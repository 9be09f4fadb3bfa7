#include "editor/ui/loop_dialog_window.h"

#include "editor/devices/playback.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

namespace ui {

namespace {

using Model = SetupPlaybackLoopDialog;

struct SpinField
{
    int spin;
    int edit;
    int low;
    int high;
    const char* caption;
};

constexpr SpinField kLeadIn[] = {
    {Model::kHourSpin, Model::kHourEdit, 0, 23, "Hr"},
    {Model::kMinuteSpin, Model::kHourEdit + 1, 0, 59, "Min"},
    {Model::kSecondSpin, Model::kHourEdit + 2, 0, 59, "Sec"},
    {Model::kFrameSpin, Model::kHourEdit + 3, 0, 23, "Frame"},
};

QSpinBox* make_spin(QWidget* parent, int spin_id, int edit_id, int low, int high)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QString::number(spin_id));
    s->setRange(low, high);
    // The edit and its spin are one control here; the edit keeps its own id.
    s->findChild<QLineEdit*>()->setObjectName(QString::number(edit_id));
    return s;
}

} // namespace

int run_setup_playback_loop_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<Model&>(m);
    model.on_open();
    QDialog d(parent);
    d.setObjectName("SETUPPLAYBACKLOOP");
    d.setWindowTitle(Model::kTitle);
    auto* outer = new QVBoxLayout(&d);

    auto* loop_box = new QGroupBox("Playback Loop Control", &d);
    auto* loop_layout = new QGridLayout(loop_box);
    auto* continuous = new QRadioButton("&Continuous", loop_box);
    continuous->setObjectName(QString::number(Model::kContinuous));
    auto* counted = new QRadioButton("&Loop count", loop_box);
    counted->setObjectName(QString::number(Model::kLoopCount));
    QSpinBox* count = make_spin(loop_box, Model::kLoopSpin, Model::kLoopEdit, 0, 100);
    loop_layout->addWidget(continuous, 0, 0);
    loop_layout->addWidget(counted, 1, 0);
    loop_layout->addWidget(count, 1, 1);
    outer->addWidget(loop_box);

    auto* lead_box = new QGroupBox("SMPTE Lead-in Delay", &d);
    auto* lead_layout = new QGridLayout(lead_box);
    auto* trigger = new QCheckBox("&Trigger Playback on MTC", lead_box);
    trigger->setObjectName(QString::number(Model::kTriggerCheck));
    lead_layout->addWidget(trigger, 0, 0, 1, 4);
    std::map<int, QSpinBox*> spins{{Model::kLoopSpin, count}};
    int column = 0;
    for (const SpinField& field : kLeadIn) {
        QSpinBox* s = make_spin(lead_box, field.spin, field.edit, field.low, field.high);
        lead_layout->addWidget(new QLabel(field.caption, lead_box), 1, column);
        lead_layout->addWidget(s, 2, column);
        spins[field.spin] = s;
        ++column;
    }
    outer->addWidget(lead_box);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", &d);
    ok->setObjectName(QString::number(kel::kIdOk));
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", &d);
    cancel->setObjectName(QString::number(kel::kIdCancel));
    auto* help = new QPushButton("&Help", &d);
    help->setObjectName(QString::number(Model::kHelp));
    help->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    outer->addLayout(buttons);

    // The controls show what the model holds; the 150 ms timer keeps it so.
    auto show_model = [&] {
        model.on_timer();
        continuous->setChecked(!model.loop_counted);
        counted->setChecked(model.loop_counted != 0);
        trigger->setChecked(model.trigger != 0);
        for (auto& [id, s] : spins)
            if (s->value() != model.spin(id) && !s->hasFocus())
                s->setValue(model.spin(id));
    };
    show_model();
    for (auto& [id, s] : spins) {
        const int spin_id = id;
        QObject::connect(s, &QSpinBox::valueChanged, &d,
                         [&model, spin_id](int v) { model.set_spin(spin_id, v); });
    }
    auto clicked = [&](int control) {
        model.click(control);
        if (model.ended())
            d.done(model.end_code());
        else
            show_model();
    };
    QObject::connect(continuous, &QRadioButton::clicked, &d, [&] { clicked(Model::kContinuous); });
    QObject::connect(counted, &QRadioButton::clicked, &d, [&] { clicked(Model::kLoopCount); });
    QObject::connect(trigger, &QCheckBox::clicked, &d, [&] { clicked(Model::kTriggerCheck); });
    QObject::connect(help, &QPushButton::clicked, &d, [&] { clicked(Model::kHelp); });
    QObject::connect(ok, &QPushButton::clicked, &d, [&] {
        // A value typed but not yet taken by its spin counts.
        for (auto& [id, s] : spins) {
            s->interpretText();
            model.set_spin(id, s->value());
        }
        clicked(kel::kIdOk);
    });
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { clicked(kel::kIdCancel); });
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &d, show_model);
    refresh.start(150);
    d.exec();
    refresh.stop();
    // Escape or the window's close box: Cancel.
    if (!model.ended())
        model.cancel();
    return model.end_code();
}

} // namespace ui
