#include "editor/ui/timemark_window.h"

#include "editor/document/timemark_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ui {

namespace {

using Model = TimemarkDialog;
using Kind = TimemarkTrigger::Kind;

QString id_of(int control)
{
    return QString::number(control);
}

QPushButton* button(QWidget* parent, const char* text, int id)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(id_of(id));
    b->setAutoDefault(false);
    return b;
}

QScrollBar* scroll_bar(QWidget* parent, int id)
{
    auto* s = new QScrollBar(Qt::Horizontal, parent);
    s->setObjectName(id_of(id));
    s->setMinimumWidth(180);
    return s;
}

constexpr struct
{
    Kind kind;
    int id;
    const char* text;
} kKinds[5] = {
    {Kind::None, Model::kNoTrigger, "&No trigger"},
    {Kind::Smpte, Model::kSmpte, "&Smpte"},
    {Kind::Mtc, Model::kMtc, "&Midi Time Code (MTC)"},
    {Kind::Sequencer, Model::kSequencer, "Seq&uencer"},
    {Kind::MidiPlayer, Model::kMidiPlayer, "Midi pl&ayer"},
};

} // namespace

TimemarkWindow::TimemarkWindow(TimemarkDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("132");
    setWindowTitle(QString::fromStdString(model.title()));
    auto* outer = new QVBoxLayout(this);

    auto* interval = new QGroupBox("MARKER / INTERVAL", this);
    auto* g = new QGridLayout(interval);
    start_name_ = new QLineEdit(interval);
    start_name_->setObjectName(id_of(Model::kStartName));
    start_name_->setMaxLength(Model::kMaxNameLength);
    end_name_ = new QLineEdit(interval);
    end_name_->setObjectName(id_of(Model::kEndName));
    end_name_->setMaxLength(Model::kMaxNameLength);
    start_time_ = new QLabel(interval);
    start_time_->setObjectName("start_time_text");
    start_time_->setMinimumWidth(110);
    stop_time_ = new QLineEdit(interval);
    stop_time_->setObjectName("stop_time_text");
    stop_time_->setToolTip("Type a time for a new end marker as hours:minutes:seconds:frames");
    start_scroll_ = scroll_bar(interval, Model::kStartScroll);
    stop_scroll_ = scroll_bar(interval, Model::kStopScroll);
    g->addWidget(new QLabel("Start marker", interval), 0, 0);
    g->addWidget(start_name_, 0, 1);
    g->addWidget(start_time_, 0, 2);
    g->addWidget(new QLabel("Start time", interval), 0, 3);
    g->addWidget(start_scroll_, 0, 4);
    g->addWidget(new QLabel("End marker", interval), 1, 0);
    g->addWidget(end_name_, 1, 1);
    g->addWidget(stop_time_, 1, 2);
    g->addWidget(new QLabel("Stop time", interval), 1, 3);
    g->addWidget(stop_scroll_, 1, 4);
    make_new_ = new QRadioButton("Make ne&w marker", interval);
    make_new_->setObjectName(id_of(Model::kMakeNew));
    use_existing_ = new QRadioButton("&Use existing marker", interval);
    use_existing_->setObjectName(id_of(Model::kUseExisting));
    markers_ = new QComboBox(interval);
    markers_->setObjectName(id_of(Model::kMarkerCombo));
    markers_->setMinimumContentsLength(24);
    g->addWidget(make_new_, 2, 0, 1, 2);
    g->addWidget(use_existing_, 3, 0, 1, 2);
    g->addWidget(markers_, 3, 2, 1, 3);
    auto* actions = new QHBoxLayout;
    const std::pair<const char*, int> acts[] = {{"&Delete", Model::kDelete},
                                                {"&Highlight", Model::kHighlight},
                                                {"&Play", Model::kPlay},
                                                {"Play &loop", Model::kPlayLoop}};
    for (const auto& [text, id] : acts) {
        QPushButton* b = button(interval, text, id);
        actions->addWidget(b);
        const int control = id;
        connect(b, &QPushButton::clicked, this, [this, control] { clicked(control); });
    }
    actions->addStretch(1);
    g->addLayout(actions, 4, 0, 1, 5);
    outer->addWidget(interval);

    auto* trigger = new QGroupBox("TRIGGER PLAYBACK", this);
    auto* t = new QGridLayout(trigger);
    for (int i = 0; i < 5; ++i) {
        kinds_[i] = new QRadioButton(kKinds[i].text, trigger);
        kinds_[i]->setObjectName(id_of(kKinds[i].id));
        const int id = kKinds[i].id;
        connect(kinds_[i], &QRadioButton::clicked, this, [this, id] { clicked(id); });
    }
    t->addWidget(kinds_[0], 0, 0);
    t->addWidget(kinds_[1], 1, 0);
    const char* captions[4] = {"Hr", "Min", "Sec", "Frame"};
    auto* smpte = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        smpte_[i] = new QLineEdit(trigger);
        smpte_[i]->setObjectName(id_of(Model::kHourEdit + i));
        smpte_[i]->setMaxLength(4);
        smpte_[i]->setFixedWidth(44);
        smpte->addWidget(new QLabel(captions[i], trigger));
        smpte->addWidget(smpte_[i]);
        connect(smpte_[i], &QLineEdit::textEdited, this,
                [this, i](const QString& text) { model_.smpte_fields[i] = text.toStdString(); });
    }
    smpte->addStretch(1);
    t->addLayout(smpte, 1, 1, 1, 3);
    t->addWidget(kinds_[2], 2, 0);
    t->addWidget(kinds_[3], 3, 0);
    t->addWidget(kinds_[4], 4, 0);
    event_ = new QComboBox(trigger);
    event_->setObjectName(id_of(Model::kEventCombo));
    event_->addItems({"Note on", "While note on", "Note off"});
    channel_ = new QSpinBox(trigger);
    channel_->setObjectName(id_of(Model::kChannelSpin));
    channel_->findChild<QLineEdit*>()->setObjectName(id_of(Model::kChannelEdit));
    channel_->setRange(1, 16);
    note_ = new QSpinBox(trigger);
    note_->setObjectName(id_of(Model::kNoteSpin));
    note_->setRange(0, 127);
    note_name_ = new QLabel(trigger);
    note_name_->setObjectName(id_of(Model::kNoteText));
    note_name_->setMinimumWidth(36);
    auto* midi = new QHBoxLayout;
    midi->addWidget(new QLabel("Event", trigger));
    midi->addWidget(event_);
    midi->addWidget(new QLabel("Channel", trigger));
    midi->addWidget(channel_);
    midi->addWidget(new QLabel("Note", trigger));
    midi->addWidget(note_);
    midi->addWidget(note_name_);
    midi->addStretch(1);
    t->addLayout(midi, 3, 1, 2, 3);
    outer->addWidget(trigger);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(id_of(kel::kIdOk));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(id_of(kel::kIdCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &TimemarkWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TimemarkWindow::reject);
    outer->addWidget(buttons);

    connect(start_name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.set_start_name(text.toStdString()); });
    connect(end_name_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.set_end_name(text.toStdString()); });
    connect(start_scroll_, &QScrollBar::valueChanged, this, [this](int v) {
        model_.set_start(v);
        show_model();
    });
    connect(stop_scroll_, &QScrollBar::valueChanged, this, [this](int v) {
        model_.set_stop_scroll(v);
        show_model();
    });
    connect(stop_time_, &QLineEdit::returnPressed, this, [this] { take_typed_stop_time(); });
    connect(make_new_, &QRadioButton::clicked, this, [this] { clicked(Model::kMakeNew); });
    connect(use_existing_, &QRadioButton::clicked, this, [this] { clicked(Model::kUseExisting); });
    connect(markers_, QOverload<int>::of(&QComboBox::activated), this, [this](int entry) {
        model_.select_combo(entry);
        show_model();
    });
    connect(event_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int e) { model_.set_event(e); });
    connect(channel_, &QSpinBox::valueChanged, this, [this](int v) { model_.set_channel(v); });
    connect(note_, &QSpinBox::valueChanged, this, [this](int v) {
        model_.set_note(v);
        note_name_->setText(QString::fromStdString(Model::note_name(model_.note())));
    });
    show_model();
}

void TimemarkWindow::show_model()
{
    const QSignalBlocker blocks[] = {QSignalBlocker(start_scroll_), QSignalBlocker(stop_scroll_),
                                     QSignalBlocker(markers_),      QSignalBlocker(channel_),
                                     QSignalBlocker(note_),         QSignalBlocker(event_)};
    const bool any = model_.start() >= 0;
    const int count = static_cast<int>(model_.combo_markers().size()) + (any ? 1 : 0);
    // One marker a step; the thumb stays small so that it shows which one.
    start_scroll_->setRange(0, std::max(0, count - 1));
    start_scroll_->setPageStep(1);
    start_scroll_->setValue(std::max(0, model_.start()));
    start_scroll_->setEnabled(count > 1);
    if (start_name_->text().toStdString() != model_.start_name)
        start_name_->setText(QString::fromStdString(model_.start_name));
    if (end_name_->text().toStdString() != model_.end_name)
        end_name_->setText(QString::fromStdString(model_.end_name));
    start_time_->setText(QString::fromStdString(model_.start_time_text()));
    const bool fresh = model_.end_mode() == Model::EndMode::NewMarker;
    if (!stop_time_->isModified())
        stop_time_->setText(QString::fromStdString(model_.stop_time_text()));
    stop_time_->setReadOnly(!fresh);
    stop_scroll_->setRange(0, model_.stop_scroll_maximum());
    // A new marker's frame moves a twentieth of the sound a page, a hundredth a step.
    const int span = model_.stop_scroll_maximum();
    stop_scroll_->setPageStep(fresh ? std::max(1, span / 20) : 1);
    stop_scroll_->setSingleStep(fresh ? std::max(1, span / 100) : 1);
    stop_scroll_->setValue(model_.stop_scroll_value());
    make_new_->setChecked(fresh);
    use_existing_->setChecked(!fresh);
    markers_->clear();
    for (const std::string& text : model_.combo_texts())
        markers_->addItem(QString::fromStdString(text));
    markers_->setCurrentIndex(model_.combo_selection());
    for (int i = 0; i < 5; ++i)
        kinds_[i]->setChecked(kKinds[i].kind == model_.trigger_kind());
    for (int i = 0; i < 4; ++i)
        if (smpte_[i]->text().toStdString() != model_.smpte_fields[i])
            smpte_[i]->setText(QString::fromStdString(model_.smpte_fields[i]));
    const Kind kind = model_.trigger_kind();
    for (QLineEdit* e : smpte_)
        e->setEnabled(kind == Kind::Smpte || kind == Kind::Mtc);
    const bool midi = kind == Kind::Sequencer || kind == Kind::MidiPlayer;
    event_->setEnabled(midi);
    channel_->setEnabled(midi);
    note_->setEnabled(midi);
    event_->setCurrentIndex(model_.event());
    channel_->setValue(model_.channel());
    note_->setValue(model_.note());
    note_name_->setText(QString::fromStdString(Model::note_name(model_.note())));
    for (QWidget* w : findChildren<QPushButton*>())
        if (w->objectName() != id_of(kel::kIdOk) && w->objectName() != id_of(kel::kIdCancel))
            w->setEnabled(any);
}

bool TimemarkWindow::take_typed_stop_time()
{
    if (!stop_time_->isModified())
        return true;
    const bool taken = model_.type_stop_time(stop_time_->text().toStdString());
    // A refused time stays in the field to be mended.
    if (taken)
        stop_time_->setModified(false);
    show_model();
    return taken;
}

void TimemarkWindow::clicked(int control)
{
    model_.click(control);
    if (model_.ended())
        done(model_.end_code());
    else
        show_model();
}

void TimemarkWindow::accept()
{
    if (!take_typed_stop_time())
        return;
    if (model_.ok())
        QDialog::done(model_.end_code());
    else
        show_model();
}

void TimemarkWindow::reject()
{
    model_.cancel();
    QDialog::done(model_.end_code());
}

int run_timemark_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<Model&>(m);
    model.on_open();
    TimemarkWindow w(model, parent);
    w.exec();
    if (!model.ended())
        model.cancel();
    return model.end_code();
}

} // namespace ui
