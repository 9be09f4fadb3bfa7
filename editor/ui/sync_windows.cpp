#include "editor/ui/sync_windows.h"

#include "editor/sync/chase_lock.h"
#include "editor/sync/sync_dialog.h"
#include "editor/sync/triggers.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <map>
#include <vector>

namespace ui {

namespace {

using synchro::DrawnLine;

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

void name(QWidget* w, int id)
{
    w->setObjectName(QString::number(id));
}

QPushButton* button(QWidget* parent, const char* text, int id)
{
    auto* b = new QPushButton(text, parent);
    name(b, id);
    b->setAutoDefault(false);
    return b;
}

QRadioButton* radio(QWidget* parent, const char* text, int id)
{
    auto* r = new QRadioButton(text, parent);
    name(r, id);
    return r;
}

// A spin whose edit keeps its own id, as the classic edit-and-buddy pair.
QSpinBox* spin_box(QWidget* parent, int spin_id, int edit_id, int low, int high)
{
    auto* s = new QSpinBox(parent);
    name(s, spin_id);
    s->setRange(low, high);
    s->findChild<QLineEdit*>()->setObjectName(QString::number(edit_id));
    return s;
}

// A drawn line: Arial at the classic tenth-of-a-point height, in its colour.
void show_line(QLabel* label, const DrawnLine& line)
{
    QFont f("Arial");
    f.setPointSizeF(line.height / 10.0);
    f.setWeight(line.weight >= 700 ? QFont::Bold : QFont::Normal);
    label->setFont(f);
    const QColor c(line.colour & 0xFF, (line.colour >> 8) & 0xFF, (line.colour >> 16) & 0xFF);
    label->setStyleSheet(QString("color: %1").arg(c.name()));
    label->setText(q(line.text));
}

// The time read from MIDI: Arial 14 pt, green, bold, on black.
QLabel* time_readout(QWidget* parent, int id)
{
    auto* l = new QLabel(parent);
    name(l, id);
    QFont f("Arial");
    f.setPointSize(14);
    f.setBold(true);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet("color: #00ff00; background: black; padding: 4px");
    l->setMinimumWidth(180);
    return l;
}

QHBoxLayout* ok_cancel_help(QDialog& d, QPushButton** ok, QPushButton** cancel, QPushButton** help,
                            int help_id)
{
    auto* row = new QHBoxLayout;
    *ok = button(&d, "OK", kel::kIdOk);
    (*ok)->setDefault(true);
    *cancel = button(&d, "Cancel", kel::kIdCancel);
    *help = button(&d, "&Help", help_id);
    row->addStretch(1);
    row->addWidget(*ok);
    row->addWidget(*cancel);
    row->addWidget(*help);
    return row;
}

// Runs the dialog until the model ends it; Escape and the close box are Cancel.
int exec_model(QDialog& d, kel::DialogModel& model, const std::function<void()>& cancel)
{
    if (model.ended())
        return model.end_code();
    d.exec();
    if (!model.ended())
        cancel();
    return model.end_code();
}

// The same for a model that changes while it listens: the window follows it until it ends.
template <class Model> int exec_live(QDialog& d, Model& model, const std::function<void()>& show)
{
    model.changed = show;
    model.on_open();
    show();
    const int result = exec_model(d, model, [&] { model.click(kel::kIdCancel); });
    model.changed = nullptr;
    return result;
}

} // namespace

// ---- SyncRecordPlayback ----

int run_sync_record_playback_dialog(kel::DialogModel& m, QWidget* parent)
{
    using Model = synchro::SyncRecordPlaybackDialog;
    using synchro::TriggerSource;
    auto& model = static_cast<Model&>(m);
    QDialog d(parent);
    d.setObjectName("SyncRecordPlayback");
    d.setWindowTitle(Model::kTitle);
    auto* outer = new QVBoxLayout(&d);

    auto* sources = new QGroupBox("Trigger on", &d);
    auto* sources_layout = new QGridLayout(sources);
    struct Source
    {
        const char* text;
        int id;
        TriggerSource source;
    };
    const Source kSources[] = {
        {"&Ext (MQX32M)", Model::kExternal, TriggerSource::External},
        {"&Midi Time Code (MTC)", Model::kMtc, TriggerSource::Mtc},
        {"&LINN 9000", Model::kLinn, TriggerSource::Linn},
        {"&Delay (seconds)", Model::kDelay, TriggerSource::Delay},
        {"&Sequencer", Model::kSequencer, TriggerSource::Sequencer},
        {"&Midi &keyboard", Model::kMidiKeyboard, TriggerSource::MidiKeyboard},
    };
    std::map<TriggerSource, QRadioButton*> source_buttons;
    int row = 0;
    for (const Source& s : kSources) {
        QRadioButton* r = radio(sources, s.text, s.id);
        sources_layout->addWidget(r, row / 2, row % 2);
        source_buttons[s.source] = r;
        const int id = s.id;
        QObject::connect(r, &QRadioButton::clicked, &d, [&model, id] { model.click(id); });
        ++row;
    }
    outer->addWidget(sources);

    auto* lead_box = new QGroupBox("SMPTE lead-in time", &d);
    auto* lead = new QGridLayout(lead_box);
    const char* captions[5] = {"Hr", "Min", "Sec", "Frame", "Sub"};
    const int highs[5] = {23, 59, 59, 23, 50};
    std::map<int, QSpinBox*> spins;
    for (int i = 0; i < 5; ++i) {
        QSpinBox* s = spin_box(lead_box, Model::kHourSpin + i, Model::kHourEdit + i, 0, highs[i]);
        lead->addWidget(new QLabel(captions[i], lead_box), 0, i);
        lead->addWidget(s, 1, i);
        spins[Model::kHourSpin + i] = s;
    }
    outer->addWidget(lead_box);

    auto* delay_box = new QGroupBox("Delay", &d);
    auto* delay = new QHBoxLayout(delay_box);
    QSpinBox* delay_spin = spin_box(delay_box, Model::kDelaySpin, Model::kDelayEdit, 1, 100);
    spins[Model::kDelaySpin] = delay_spin;
    auto* slider = new QSlider(Qt::Horizontal, delay_box);
    name(slider, Model::kDelaySlider);
    slider->setRange(1, 100);
    delay->addWidget(delay_spin);
    delay->addWidget(new QLabel("seconds", delay_box));
    delay->addWidget(slider, 1);
    outer->addWidget(delay_box);

    auto* event_box = new QGroupBox("MIDI event", &d);
    auto* event = new QGridLayout(event_box);
    auto* combo = new QComboBox(event_box);
    name(combo, Model::kEventCombo);
    for (const char* e : Model::kEvents)
        combo->addItem(e);
    QSpinBox* channel = spin_box(event_box, Model::kChannelSpin, Model::kChannelEdit, 1, 16);
    spins[Model::kChannelSpin] = channel;
    auto* note = new QLabel(event_box);
    name(note, Model::kNoteText);
    note->setMinimumWidth(40);
    note->setFrameShape(QFrame::Panel);
    note->setFrameShadow(QFrame::Sunken);
    auto* note_spin = new QSpinBox(event_box);
    name(note_spin, Model::kNoteSpin);
    note_spin->setRange(0, 127);
    note_spin->setMaximumWidth(22);
    note_spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    note_spin->findChild<QLineEdit*>()->setVisible(false);
    spins[Model::kNoteSpin] = note_spin;
    event->addWidget(new QLabel("Event", event_box), 0, 0);
    event->addWidget(combo, 1, 0);
    event->addWidget(new QLabel("Channel", event_box), 0, 1);
    event->addWidget(channel, 1, 1);
    event->addWidget(new QLabel("Note", event_box), 0, 2);
    auto* note_row = new QHBoxLayout;
    note_row->addWidget(note);
    note_row->addWidget(note_spin);
    event->addLayout(note_row, 1, 2);
    outer->addWidget(event_box);

    auto* target_box = new QGroupBox("Start", &d);
    auto* target = new QHBoxLayout(target_box);
    QRadioButton* recording = radio(target_box, "&Recording", Model::kRecording);
    QRadioButton* playback = radio(target_box, "&Playback", Model::kPlayback);
    target->addWidget(recording);
    target->addWidget(playback);
    outer->addWidget(target_box);
    QObject::connect(recording, &QRadioButton::clicked, &d,
                     [&model] { model.click(Model::kRecording); });
    QObject::connect(playback, &QRadioButton::clicked, &d,
                     [&model] { model.click(Model::kPlayback); });

    QPushButton *ok, *cancel, *help;
    outer->addLayout(ok_cancel_help(d, &ok, &cancel, &help, Model::kHelp));

    bool showing = false;
    auto show_model = [&] {
        showing = true;
        for (auto& [source, r] : source_buttons)
            r->setChecked(model.values.source == source);
        for (auto& [id, s] : spins)
            if (s->value() != model.spin(id) && !s->hasFocus())
                s->setValue(model.spin(id));
        slider->setValue(model.spin(Model::kDelaySlider));
        combo->setCurrentIndex(static_cast<int>(model.values.event));
        note->setText(q(model.edit_text(Model::kNoteText)));
        recording->setChecked(model.values.recording);
        playback->setChecked(!model.values.recording);
        showing = false;
    };
    model.on_open();
    show_model();
    for (auto& [id, s] : spins) {
        const int spin_id = id;
        QObject::connect(s, &QSpinBox::valueChanged, &d, [&, spin_id](int v) {
            if (showing)
                return;
            model.set_spin(spin_id, v);
            show_model();
        });
    }
    QObject::connect(slider, &QSlider::valueChanged, &d, [&](int v) {
        if (showing)
            return;
        model.set_spin(Model::kDelaySlider, v);
        show_model();
    });
    QObject::connect(combo, &QComboBox::activated, &d, [&](int i) { model.set_event(i); });
    auto clicked = [&](int control) {
        model.click(control);
        if (model.ended())
            d.done(model.end_code());
        else
            show_model();
    };
    QObject::connect(help, &QPushButton::clicked, &d, [&] { clicked(Model::kHelp); });
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { clicked(kel::kIdCancel); });
    QObject::connect(ok, &QPushButton::clicked, &d, [&] {
        // What is typed but not yet taken by a spin is checked by the model.
        for (int i = 0; i < 5; ++i)
            model.type(Model::kHourEdit + i, spins[Model::kHourSpin + i]->text().toStdString());
        model.type(Model::kDelayEdit, delay_spin->text().toStdString());
        model.type(Model::kChannelEdit, channel->text().toStdString());
        clicked(kel::kIdOk);
    });
    return exec_model(d, model, [&] { model.click(kel::kIdCancel); });
}

// ---- SETSMPTE ----

int run_set_smpte_dialog(kel::DialogModel& m, QWidget* parent)
{
    using Model = synchro::SetSmpteDialog;
    auto& model = static_cast<Model&>(m);
    model.on_open();
    QDialog d(parent);
    d.setObjectName("SETSMPTE");
    d.setWindowTitle(Model::kTitle);
    auto* outer = new QVBoxLayout(&d);
    auto* format_box = new QGroupBox("Format (frames per sec)", &d);
    auto* format = new QHBoxLayout(format_box);
    QRadioButton* rates[4] = {
        radio(format_box, "2&4", Model::k24), radio(format_box, "2&5", Model::k25),
        radio(format_box, "&30", Model::k30), radio(format_box, "30 &Drop", Model::k30Drop)};
    for (QRadioButton* r : rates) {
        format->addWidget(r);
        const int id = r->objectName().toInt();
        QObject::connect(r, &QRadioButton::clicked, &d, [&model, id] { model.click(id); });
    }
    outer->addWidget(format_box);
    auto* start_box = new QGroupBox("Starting SMPTE time", &d);
    auto* start = new QGridLayout(start_box);
    const char* captions[4] = {"Hr", "Min", "Sec", "Frame"};
    const int highs[4] = {23, 59, 59, 29};
    QSpinBox* spins[4];
    for (int i = 0; i < 4; ++i) {
        spins[i] = spin_box(start_box, Model::kHourSpin + i, Model::kHourEdit + i, 0, highs[i]);
        spins[i]->setValue(model.spin(Model::kHourSpin + i));
        start->addWidget(new QLabel(captions[i], start_box), 0, i);
        start->addWidget(spins[i], 1, i);
    }
    outer->addWidget(start_box);
    QPushButton *ok, *cancel, *help;
    outer->addLayout(ok_cancel_help(d, &ok, &cancel, &help, Model::kHelp));
    auto show_rate = [&] {
        rates[0]->setChecked(model.fps == 24);
        rates[1]->setChecked(model.fps == 25);
        rates[2]->setChecked(model.fps == 30 && !model.drop);
        rates[3]->setChecked(model.fps == 30 && model.drop);
    };
    show_rate();
    auto clicked = [&](int control) {
        model.click(control);
        if (model.ended())
            d.done(model.end_code());
    };
    QObject::connect(help, &QPushButton::clicked, &d, [&] { clicked(Model::kHelp); });
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { clicked(kel::kIdCancel); });
    QObject::connect(ok, &QPushButton::clicked, &d, [&] {
        for (int i = 0; i < 4; ++i)
            model.type(Model::kHourEdit + i, spins[i]->text().toStdString());
        clicked(kel::kIdOk);
    });
    return exec_model(d, model, [&] { model.click(kel::kIdCancel); });
}

// ---- RECORDPLAYDELAY ----

int run_record_play_delay_dialog(kel::DialogModel& m, QWidget* parent)
{
    using Model = synchro::RecordPlayDelayDialog;
    auto& model = static_cast<Model&>(m);
    QDialog d(parent);
    d.setObjectName("RECORDPLAYDELAY");
    d.setWindowTitle(q(model.title()));
    d.setMinimumWidth(380);
    auto* outer = new QVBoxLayout(&d);
    auto* line = new QLabel(&d);
    name(line, Model::kPrompt);
    line->setAlignment(Qt::AlignCenter);
    auto* line2 = new QLabel(&d);
    name(line2, Model::kPrompt2);
    line2->setAlignment(Qt::AlignCenter);
    outer->addWidget(line);
    outer->addWidget(line2);
    QLabel* time = nullptr;
    QLabel* elapsed = nullptr;
    if (model.mode() == Model::Mode::Delay) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel("Elapsed Time", &d));
        elapsed = new QLabel(&d);
        name(elapsed, Model::kElapsed);
        elapsed->setStyleSheet("color: #00ff00; background: black; padding: 3px");
        QFont f("Helvetica");
        f.setBold(true);
        elapsed->setFont(f);
        row->addWidget(elapsed, 1);
        outer->addLayout(row);
    } else {
        time = time_readout(&d, Model::kTime);
        outer->addWidget(time);
    }
    auto* row = new QHBoxLayout;
    QPushButton* start = button(&d, "&Start", Model::kStart);
    start->setDefault(true);
    QPushButton* cancel = button(&d, "Cancel", kel::kIdCancel);
    row->addStretch(1);
    row->addWidget(start);
    row->addWidget(cancel);
    outer->addLayout(row);
    auto show_model = [&] {
        show_line(line, model.line());
        show_line(line2, model.line2());
        line2->setVisible(!model.line2().text.empty());
        if (time)
            time->setText(q(model.time_text()));
        if (elapsed)
            elapsed->setText(q(model.elapsed_text()));
        start->setEnabled(model.start_enabled());
        if (model.ended())
            d.done(model.end_code());
    };
    QObject::connect(start, &QPushButton::clicked, &d, [&] { model.click(Model::kStart); });
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { model.click(kel::kIdCancel); });
    return exec_live(d, model, show_model);
}

// ---- SEQUENCERINPUT ----

int run_sequencer_input_dialog(kel::DialogModel& m, QWidget* parent)
{
    using Model = synchro::SequencerInputDialog;
    auto& model = static_cast<Model&>(m);
    QDialog d(parent);
    d.setObjectName("SEQUENCERINPUT");
    d.setWindowTitle(q(model.title()));
    d.setMinimumWidth(380);
    auto* outer = new QVBoxLayout(&d);
    auto* line = new QLabel(&d);
    name(line, Model::kLine);
    line->setAlignment(Qt::AlignCenter);
    line->setMinimumHeight(40);
    outer->addWidget(line);
    auto* row = new QHBoxLayout;
    QPushButton* cancel = button(&d, "Cancel", kel::kIdCancel);
    row->addStretch(1);
    row->addWidget(cancel);
    outer->addLayout(row);
    auto show_model = [&] {
        show_line(line, model.line());
        if (model.ended())
            d.done(model.end_code());
    };
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { model.click(kel::kIdCancel); });
    return exec_live(d, model, show_model);
}

// ---- CHASELOCK ----

int run_chase_lock_dialog(kel::DialogModel& m, QWidget* parent)
{
    using Model = synchro::ChaseLockDialog;
    auto& model = static_cast<Model&>(m);
    QDialog d(parent);
    d.setObjectName("CHASELOCK");
    d.setWindowTitle(Model::kTitle);
    auto* outer = new QVBoxLayout(&d);
    auto* status = new QLabel(&d);
    name(status, Model::kStatus);
    QFont bold = status->font();
    bold.setBold(true);
    status->setFont(bold);
    auto* prompt = new QLabel(&d);
    name(prompt, Model::kPrompt);
    outer->addWidget(status);
    outer->addWidget(prompt);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Cue point", &d), 0, 0);
    auto* cue = new QLabel(&d);
    name(cue, Model::kCue);
    cue->setFrameShape(QFrame::Panel);
    cue->setFrameShadow(QFrame::Sunken);
    grid->addWidget(cue, 0, 1);
    grid->addWidget(new QLabel("Current position", &d), 1, 0);
    QLabel* position = time_readout(&d, Model::kPosition);
    grid->addWidget(position, 1, 1);
    outer->addLayout(grid);
    auto* adjust_box = new QGroupBox("Adjust sync", &d);
    auto* adjust = new QHBoxLayout(adjust_box);
    QPushButton* back = button(adjust_box, "&<<", Model::kBack);
    QPushButton* forward = button(adjust_box, "&>>", Model::kForward);
    adjust->addWidget(back);
    adjust->addWidget(forward);
    outer->addWidget(adjust_box);
    auto* row = new QHBoxLayout;
    QPushButton* start = button(&d, "&Start", Model::kStart);
    start->setDefault(true);
    QPushButton* help = button(&d, "&Help", Model::kHelp);
    row->addStretch(1);
    row->addWidget(start);
    row->addWidget(help);
    outer->addLayout(row);
    auto show_model = [&] {
        status->setText(q(model.status()));
        prompt->setText(q(model.prompt()));
        cue->setText(q(model.cue_text()));
        position->setText(q(model.position_text()));
        start->setText(q(model.start_text()));
        back->setEnabled(model.adjust_enabled());
        forward->setEnabled(model.adjust_enabled());
        if (model.ended())
            d.done(model.end_code());
    };
    QObject::connect(start, &QPushButton::clicked, &d, [&] { model.click(Model::kStart); });
    QObject::connect(back, &QPushButton::clicked, &d, [&] { model.click(Model::kBack); });
    QObject::connect(forward, &QPushButton::clicked, &d, [&] { model.click(Model::kForward); });
    QObject::connect(help, &QPushButton::clicked, &d, [&] { model.click(Model::kHelp); });
    return exec_live(d, model, show_model);
}

} // namespace ui
