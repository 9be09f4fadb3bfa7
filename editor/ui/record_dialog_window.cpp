#include "editor/ui/record_dialog_window.h"

#include "editor/devices/playback.h"
#include "editor/devices/record.h"
#include "editor/ui/bar_icons.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/play_time_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <map>

namespace ui {

namespace {

using Model = NewRecordDialog;

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

void name(QWidget* w, int id)
{
    w->setObjectName(QString::number(id));
}

// Control 1856: blue up to the position, light grey after it.
class PositionBar : public QWidget
{
  public:
    explicit PositionBar(QWidget* parent) : QWidget(parent)
    {
        name(this, Model::kPositionBar);
        setToolTip("Indicates present record / playback position");
        setMinimumHeight(10);
    }
    void set_fraction(double f)
    {
        if (f != fraction_) {
            fraction_ = f;
            update();
        }
    }
    double fraction() const { return fraction_; }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int filled = static_cast<int>(fraction_ * width());
        p.fillRect(QRect(0, 0, filled, height()), QColor(0, 0, 255));
        p.fillRect(QRect(filled, 0, width() - filled, height()), QColor(192, 192, 192));
    }

  private:
    double fraction_ = 0.0;
};

// A readout: green bold figures on black, or the disk space's black on white.
QLabel* readout(QWidget* parent, int id, bool green)
{
    auto* l = new QLabel(parent);
    name(l, id);
    QFont f("Helvetica");
    f.setPointSize(green ? 10 : 8);
    f.setBold(green);
    l->setFont(f);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, green ? Qt::black : Qt::white);
    pal.setColor(QPalette::WindowText, green ? QColor(0, 255, 0) : Qt::black);
    l->setPalette(pal);
    l->setMinimumWidth(110);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

class RecordWindow : public QDialog, public RecordView
{
  public:
    RecordWindow(Model& model, QWidget* parent) : QDialog(parent), model_(model)
    {
        setObjectName("NewRecord");
        setWindowTitle(Model::kTitle);
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        auto* outer = new QVBoxLayout(this);

        // Top: punch-in, options, metronome.
        auto* top = new QHBoxLayout;
        auto* punch = new QGroupBox("Punch in", this);
        auto* punch_layout = new QVBoxLayout(punch);
        overwrite_ = new QRadioButton("Over&write", punch);
        insert_ = new QRadioButton("&Insert", punch);
        name(overwrite_, Model::kOverwrite);
        name(insert_, Model::kInsert);
        punch_layout->addWidget(overwrite_);
        punch_layout->addWidget(insert_);
        top->addWidget(punch);

        auto* checks = new QVBoxLayout;
        auto_stop_ = new QCheckBox("Auto-stop", this);
        name(auto_stop_, Model::kAutoStop);
        auto_rewind_ = new QCheckBox("Auto-rewind", this);
        name(auto_rewind_, Model::kAutoRewind);
        checks->addWidget(auto_stop_);
        checks->addWidget(auto_rewind_);
        top->addLayout(checks);

        auto* metronome_box = new QGroupBox("Beats Per Minute", this);
        auto* metronome_layout = new QHBoxLayout(metronome_box);
        metronome_ = new QCheckBox("Metronome", metronome_box);
        name(metronome_, Model::kMetronome);
        bpm_value_ = new QLabel(metronome_box);
        name(bpm_value_, Model::kBpmValue);
        QFont small("Helvetica");
        small.setPointSize(8);
        bpm_value_->setFont(small);
        bpm_value_->setAutoFillBackground(true);
        QPalette white = bpm_value_->palette();
        white.setColor(QPalette::Window, Qt::white);
        white.setColor(QPalette::WindowText, Qt::black);
        bpm_value_->setPalette(white);
        bpm_value_->setMinimumWidth(30);
        bpm_value_->setAlignment(Qt::AlignCenter);
        bpm_spin_ = new QSpinBox(metronome_box);
        name(bpm_spin_, Model::kBpmSpin);
        bpm_spin_->setRange(3, 120);
        bpm_spin_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        bpm_spin_->setFixedWidth(20);
        bpm_spin_->setStyleSheet("QSpinBox { color: transparent; }");
        metronome_layout->addWidget(metronome_);
        metronome_layout->addWidget(bpm_value_);
        metronome_layout->addWidget(bpm_spin_);
        top->addWidget(metronome_box);
        top->addStretch(1);
        outer->addLayout(top);

        // Middle: transport and readouts on the left, meters and level on the right.
        auto* middle = new QHBoxLayout;
        auto* left = new QVBoxLayout;
        auto* transport = new QHBoxLayout;
        const struct
        {
            int id;
            const char* text;
            int icon;
        } buttons[] = {
            {Model::kReview, "Re&view", 0},   {Model::kRecord, "&Record", 11400},
            {Model::kStop, "St&op", 11403},   {Model::kPlay, "&Play", 11401},
            {Model::kPause, "Pa&use", 11402}, {Model::kCue, "Cu&e", 0},
        };
        for (const auto& b : buttons) {
            auto* button = new QPushButton(b.text, this);
            name(button, b.id);
            if (b.icon)
                button->setIcon(bar_icon(b.icon, true));
            button->setAutoDefault(false);
            transport->addWidget(button);
            buttons_[b.id] = button;
        }
        auto* test = new QPushButton("&Test", this);
        name(test, Model::kTest);
        test->setCheckable(true);
        test->setAutoDefault(false);
        buttons_[Model::kTest] = test;
        transport->addWidget(test);
        left->addLayout(transport);

        scroll_ = new QScrollBar(Qt::Horizontal, this);
        name(scroll_, Model::kScroll);
        left->addWidget(scroll_);
        position_ = new PositionBar(this);
        left->addWidget(position_);

        auto* readouts = new QGridLayout;
        time_ = readout(this, Model::kTime, true);
        length_ = readout(this, Model::kLength, true);
        disk_ = readout(this, Model::kDiskSpace, false);
        readouts->addWidget(new QLabel("Time:", this), 0, 0);
        readouts->addWidget(time_, 0, 1);
        readouts->addWidget(new QLabel("Length:", this), 1, 0);
        readouts->addWidget(length_, 1, 1);
        readouts->addWidget(new QLabel("Disk space", this), 2, 0);
        readouts->addWidget(disk_, 2, 1);
        left->addLayout(readouts);

        auto* options = new QGridLayout;
        const struct
        {
            int id;
            const char* text;
        } option_buttons[] = {
            {Model::kNew, "&New"},
            {Model::kWindow, "&Window"},
            {Model::kShowMidi, "Show Midi"},
            {Model::kShowCd, "Show CD"},
            {Model::kSync, "S&ync"},
            {Model::kSample, "Samp&le"},
            {Model::kFourTrack, "&Four track"},
            {Model::kAdat, "&ADAT"},
            {Model::kMixer, "&Mixer"},
        };
        int n = 0;
        for (const auto& b : option_buttons) {
            auto* button = new QPushButton(b.text, this);
            name(button, b.id);
            button->setAutoDefault(false);
            options->addWidget(button, n / 5, n % 5);
            buttons_[b.id] = button;
            ++n;
        }
        left->addLayout(options);
        status_ = new QLabel(this);
        name(status_, Model::kStatus);
        status_->setMinimumWidth(360);
        left->addWidget(status_);
        middle->addLayout(left, 1);

        auto* meters = new QGridLayout;
        volume_ = new VolumeIndicator(this);
        name(volume_, Model::kVolumeIndicator);
        volume_->setMinimumSize(36, 120);
        left_gauge_ = new DbGauge("L", this);
        right_gauge_ = new DbGauge("R", this);
        name(left_gauge_, Model::kLeftGauge);
        name(right_gauge_, Model::kRightGauge);
        auto* reset_left = new QPushButton("Reset Left", this);
        auto* reset_right = new QPushButton("Reset Right", this);
        name(reset_left, Model::kResetLeft);
        name(reset_right, Model::kResetRight);
        buttons_[Model::kResetLeft] = reset_left;
        buttons_[Model::kResetRight] = reset_right;
        meters->addWidget(volume_, 0, 0, 3, 1);
        meters->addWidget(left_gauge_, 0, 1);
        meters->addWidget(right_gauge_, 0, 2);
        meters->addWidget(reset_left, 1, 1);
        meters->addWidget(reset_right, 1, 2);
        auto* response = new QGroupBox("Meter response:", this);
        auto* response_layout = new QHBoxLayout(response);
        normal_ = new QRadioButton("Normal", response);
        avg_ = new QRadioButton("Avg", response);
        name(normal_, Model::kNormal);
        name(avg_, Model::kAvg);
        response_layout->addWidget(normal_);
        response_layout->addWidget(avg_);
        meters->addWidget(response, 2, 1, 1, 2);
        auto* level_box = new QVBoxLayout;
        level_ = new Fader(Qt::Vertical, Model::kPlaybackLevel, this);
        name(level_, Model::kPlaybackLevel);
        level_->setToolTip("Playback Level");
        level_->on_message(kel::controls::kSetRange, 0, kel::controls::make_long(0, 255));
        level_box->addWidget(level_, 1);
        level_box->addWidget(new QLabel("Playback Level", this));
        meters->addLayout(level_box, 0, 3, 3, 1);
        middle->addLayout(meters);
        outer->addLayout(middle);

        auto* bottom = new QHBoxLayout;
        bottom->addStretch(1);
        ok_ = new QPushButton("O&K", this);
        name(ok_, kel::kIdOk);
        exit_ = new QPushButton("&Exit", this);
        name(exit_, kel::kIdCancel);
        auto* help = new QPushButton("&Help", this);
        name(help, Model::kHelp);
        for (QPushButton* b : {ok_, exit_, help}) {
            b->setAutoDefault(false);
            bottom->addWidget(b);
        }
        buttons_[kel::kIdOk] = ok_;
        buttons_[kel::kIdCancel] = exit_;
        buttons_[Model::kHelp] = help;
        outer->addLayout(bottom);

        for (auto& [id, button] : buttons_) {
            const int control = id;
            if (control == Model::kWindow)
                connect(button, &QPushButton::clicked, this, [this] { record_to_menu(); });
            else
                connect(button, &QPushButton::clicked, this, [this, control] { clicked(control); });
        }
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
                 overwrite_, insert_, auto_stop_, auto_rewind_, metronome_, normal_, avg_}) {
            const int control = b->objectName().toInt();
            connect(b, &QAbstractButton::clicked, this, [this, control] { clicked(control); });
        }
        connect(bpm_spin_, &QSpinBox::valueChanged, this, [this](int v) {
            model_.set_bpm(v);
            refresh();
        });
        connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
            if (!refreshing_)
                model_.scroll_to(v);
        });
        connect(level_, &Fader::moved, this,
                [this](int, int) { model_.set_playback_slider(level_->model().position); });
        model_.set_view(this);
        refresh_timer_.setInterval(100);
        connect(&refresh_timer_, &QTimer::timeout, this, [this] { refresh(); });
        refresh_timer_.start();
    }
    ~RecordWindow() override
    {
        model_.set_view(nullptr);
        delete time_window_;
    }

    void start()
    {
        level_->on_message(kel::controls::kSetPosition,
                           static_cast<unsigned long>(model_.playback_slider()), 0);
        refresh();
    }

    // ---- RecordView ----
    void levels(int left, int right) override
    {
        using namespace kel::controls;
        _draw_record_volume(volume_->handle(), left, right);
        _draw_decibel_gauge_volume(left_gauge_->handle(), left, 1, 0);
        _draw_decibel_gauge_volume(right_gauge_->handle(), right, 1, 0);
    }
    void reset_gauge(int id) override
    {
        DbGauge* g = id == Model::kLeftGauge ? left_gauge_ : right_gauge_;
        kel::controls::_draw_decibel_gauge_volume(g->handle(), 0, 1, 1);
    }
    // Coalesced: the model may say so for every buffer.
    void changed() override
    {
        if (dirty_)
            return;
        dirty_ = true;
        QTimer::singleShot(0, this, [this] {
            if (dirty_)
                refresh();
        });
    }
    void show_time_window(bool show) override
    {
        if (show && !time_window_)
            time_window_ = new PlayTimeWindow(parentWidget());
        if (time_window_)
            time_window_->setVisible(show);
    }
    void big_time(const std::string& text) override
    {
        if (!time_window_ || !time_window_->isVisible())
            return;
        BigTimeText big;
        big.text = text;
        time_window_->show_time(big);
    }
    void main_window_to_front() override
    {
        if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr)
            main->raise();
    }

  private:
    void clicked(int control)
    {
        model_.click(control);
        if (model_.ended()) {
            done(model_.end_code());
            return;
        }
        refresh();
    }
    void record_to_menu()
    {
        QMenu menu(this);
        for (const Model::MenuItem& item : model_.record_to_menu()) {
            QAction* a = menu.addAction(q(item.text));
            a->setData(item.id);
            if (item.id == 99) {
                a->setEnabled(false);
                menu.addSeparator();
                continue;
            }
            a->setCheckable(true);
            a->setChecked(item.checked);
        }
        if (QAction* chosen = menu.exec(QCursor::pos())) {
            model_.choose_record_to(chosen->data().toInt());
            refresh();
        }
    }
    void refresh()
    {
        refreshing_ = true;
        const RecordSettings& s = record_settings();
        overwrite_->setChecked(!model_.insert_mode());
        insert_->setChecked(model_.insert_mode());
        auto_stop_->setChecked(s.auto_stop != 0);
        auto_rewind_->setChecked(s.auto_rewind != 0);
        metronome_->setChecked(s.metronome != 0);
        normal_->setChecked(s.meter_avg == 0);
        avg_->setChecked(s.meter_avg != 0);
        bpm_value_->setText(q(model_.bpm_text()));
        if (bpm_spin_->value() != s.bpm)
            bpm_spin_->setValue(s.bpm);
        for (auto& [id, button] : buttons_)
            button->setEnabled(model_.enabled(id));
        buttons_[Model::kTest]->setChecked(model_.testing());
        for (QWidget* w :
             std::initializer_list<QWidget*>{overwrite_, insert_, auto_stop_, auto_rewind_,
                                             metronome_, bpm_spin_, normal_, avg_, scroll_})
            w->setEnabled(model_.enabled(w->objectName().toInt()));
        // The transport shows its state in colour while it runs.
        buttons_[Model::kRecord]->setStyleSheet(model_.recording() ? "color: red;" : "");
        buttons_[Model::kPlay]->setStyleSheet(model_.playing() ? "color: green;" : "");
        buttons_[Model::kPause]->setStyleSheet(model_.paused() ? "color: #b0a000;" : "");
        time_->setText(q(model_.time_text()));
        length_->setText(q(model_.length_text()));
        disk_->setText(q(model_.disk_space_text()));
        scroll_->setRange(1, model_.scroll_range());
        scroll_->setValue(model_.scroll_position());
        position_->set_fraction(model_.position_fraction());
        status_->setText(q(model_.status_text()));
        status_->setStyleSheet(model_.status_blue() ? "color: blue;" : "color: black;");
        dirty_ = false;
        refreshing_ = false;
    }

    Model& model_;
    QRadioButton* overwrite_;
    QRadioButton* insert_;
    QCheckBox* auto_stop_;
    QCheckBox* auto_rewind_;
    QCheckBox* metronome_;
    QLabel* bpm_value_;
    QSpinBox* bpm_spin_;
    std::map<int, QPushButton*> buttons_;
    QScrollBar* scroll_;
    PositionBar* position_;
    QLabel* time_;
    QLabel* length_;
    QLabel* disk_;
    QLabel* status_;
    VolumeIndicator* volume_;
    DbGauge* left_gauge_;
    DbGauge* right_gauge_;
    QRadioButton* normal_;
    QRadioButton* avg_;
    Fader* level_;
    QPushButton* ok_;
    QPushButton* exit_;
    QPointer<PlayTimeWindow> time_window_;
    QTimer refresh_timer_;
    bool dirty_ = false;
    bool refreshing_ = false;
};

// A "MySlider32" slider of 0 .. 100 (position 100 - value) with its caption.
Fader* slider_with_caption(QWidget* parent, QGridLayout* grid, int column, int id,
                           const char* group, const char* caption)
{
    auto* box = new QGroupBox(group, parent);
    auto* layout = new QVBoxLayout(box);
    auto* fader = new Fader(Qt::Vertical, id, box);
    name(fader, id);
    fader->setMinimumHeight(120);
    fader->on_message(kel::controls::kSetRange, 0, kel::controls::make_long(0, 100));
    layout->addWidget(fader, 1, Qt::AlignHCenter);
    layout->addWidget(new QLabel(caption, box), 0, Qt::AlignHCenter);
    grid->addWidget(box, 0, column);
    return fader;
}

} // namespace

int run_record_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<Model&>(m);
    model.on_open();
    RecordWindow window(model, parent);
    window.start();
    // Centred over the main window.
    if (parent) {
        window.adjustSize();
        const QPoint centre = parent->window()->geometry().center();
        window.move(centre - QPoint(window.width() / 2, window.height() / 2));
    }
    window.exec();
    // Escape or the window's close box: Exit.
    if (!model.ended())
        model.exit();
    return model.end_code();
}

int run_sample_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<SampleDialog&>(m);
    model.on_open();
    QDialog d(parent);
    d.setObjectName("SAMPLE");
    d.setWindowTitle(SampleDialog::kTitle);
    auto* outer = new QVBoxLayout(&d);
    auto* grid = new QGridLayout;
    Fader* threshold =
        slider_with_caption(&d, grid, 0, SampleDialog::kThresholdSlider, "Threshold", "(0-100%)");
    Fader* duration =
        slider_with_caption(&d, grid, 1, SampleDialog::kDurationSlider, "Duration", "(sec)");
    auto* threshold_value = new QLabel(&d);
    auto* duration_value = new QLabel(&d);
    grid->addWidget(threshold_value, 1, 0, Qt::AlignHCenter);
    grid->addWidget(duration_value, 1, 1, Qt::AlignHCenter);
    outer->addLayout(grid);
    auto* continuous = new QCheckBox("Continuous", &d);
    name(continuous, SampleDialog::kContinuous);
    outer->addWidget(continuous);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", &d);
    auto* cancel = new QPushButton("Cancel", &d);
    auto* help = new QPushButton("&Help", &d);
    name(ok, kel::kIdOk);
    name(cancel, kel::kIdCancel);
    name(help, SampleDialog::kHelp);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    outer->addLayout(buttons);
    auto show = [&] {
        threshold->on_message(
            kel::controls::kSetPosition,
            static_cast<unsigned long>(model.slider(SampleDialog::kThresholdSlider)), 0);
        duration->on_message(
            kel::controls::kSetPosition,
            static_cast<unsigned long>(model.slider(SampleDialog::kDurationSlider)), 0);
        threshold_value->setText(QString::number(model.threshold_percent) + " %");
        duration_value->setText(QString::number(model.duration_seconds) + " sec");
        continuous->setChecked(model.continuous != 0);
        duration->setEnabled(!model.continuous);
        threshold->update();
        duration->update();
    };
    show();
    QObject::connect(threshold, &Fader::moved, &d, [&](int id, int) {
        model.set_slider(id, threshold->model().position);
        show();
    });
    QObject::connect(duration, &Fader::moved, &d, [&](int id, int) {
        model.set_slider(id, duration->model().position);
        show();
    });
    auto clicked = [&](int control) {
        model.click(control);
        if (model.ended())
            d.done(model.end_code());
        else
            show();
    };
    QObject::connect(continuous, &QCheckBox::clicked, &d,
                     [&] { clicked(SampleDialog::kContinuous); });
    QObject::connect(ok, &QPushButton::clicked, &d, [&] { clicked(kel::kIdOk); });
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { clicked(kel::kIdCancel); });
    QObject::connect(help, &QPushButton::clicked, &d, [&] { clicked(SampleDialog::kHelp); });
    d.exec();
    if (!model.ended())
        model.click(kel::kIdCancel);
    return model.end_code();
}

int run_auto_stop_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<AutoStopDialog&>(m);
    model.on_open();
    QDialog d(parent);
    d.setObjectName("AUTOSTOP");
    d.setWindowTitle(AutoStopDialog::kTitle);
    auto* outer = new QVBoxLayout(&d);
    auto* grid = new QGridLayout;
    Fader* slider = slider_with_caption(&d, grid, 0, AutoStopDialog::kSlider, "", "(sec)");
    auto* value = new QLabel(&d);
    name(value, AutoStopDialog::kValue);
    value->setAutoFillBackground(true);
    QPalette pal = value->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::red);
    value->setPalette(pal);
    value->setAlignment(Qt::AlignCenter);
    grid->addWidget(value, 1, 0);
    outer->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("OK", &d);
    auto* cancel = new QPushButton("Cancel", &d);
    auto* help = new QPushButton("&Help", &d);
    name(ok, kel::kIdOk);
    name(cancel, kel::kIdCancel);
    name(help, AutoStopDialog::kHelp);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    outer->addLayout(buttons);
    auto show = [&] {
        slider->on_message(kel::controls::kSetPosition, static_cast<unsigned long>(model.slider()),
                           0);
        slider->update();
        value->setText(q(model.value_text()));
    };
    show();
    QObject::connect(slider, &Fader::moved, &d, [&](int, int) {
        model.set_slider(slider->model().position);
        show();
    });
    auto clicked = [&](int control) {
        model.click(control);
        if (model.ended())
            d.done(model.end_code());
    };
    QObject::connect(ok, &QPushButton::clicked, &d, [&] { clicked(kel::kIdOk); });
    QObject::connect(cancel, &QPushButton::clicked, &d, [&] { clicked(kel::kIdCancel); });
    QObject::connect(help, &QPushButton::clicked, &d, [&] { clicked(AutoStopDialog::kHelp); });
    d.exec();
    if (!model.ended())
        model.click(kel::kIdCancel);
    return model.end_code();
}

} // namespace ui
