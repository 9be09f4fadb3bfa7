#include "plavo/ui/main_dialog.h"

#include "platform/events.h"
#include "plavo/ui/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace plavo::ui {

namespace {

QFrame* sunken(QWidget* inner)
{
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    auto* l = new QVBoxLayout(frame);
    l->setContentsMargins(2, 2, 2, 2);
    l->addWidget(inner);
    return frame;
}

} // namespace

MainDialog::MainDialog(const QString& command_line_file, QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Norvane OCW File Decoder / Player");
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint | Qt::WindowMinimizeButtonHint);
    player_ = std::make_unique<Player>(*this);
    build();
    player_->init(command_line_file.toStdString());
    adjustSize();
    setFixedSize(size());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    int x = 0, y = 0;
    dialog_position(screen.width(), screen.height(), width(), height(), x, y);
    move(x, y);
}

MainDialog::~MainDialog()
{
    player_.reset();
}

void MainDialog::build()
{
    setStyleSheet("QDialog { background: rgb(192,192,192); }");
    auto add = [this](int id, QWidget* w, const char* tip) {
        controls_.insert(id, w);
        if (tip)
            w->setToolTip(tip);
        return w;
    };

    digits_ = new DigitDisplay;
    add(kDigitDisplay, digits_, nullptr);
    file_name_ = new QLabel("File name / length");
    file_name_->setAutoFillBackground(true);
    QPalette pal = file_name_->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
    file_name_->setPalette(pal);
    file_name_->setMinimumWidth(100);
    file_name_->setFixedHeight(18);
    file_name_->setContentsMargins(4, 0, 4, 0);
    add(kFileNameText, file_name_, nullptr);
    meter_ = new LevelMeter;
    add(kLevelMeter, meter_, nullptr);

    progress_ = new QProgressBar;
    progress_->setRange(1, 100);
    progress_->setValue(1);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(12);
    add(kProgressBar, progress_, nullptr);

    volume_ = new QSlider(Qt::Vertical);
    volume_->setRange(0, 255);
    volume_->setInvertedAppearance(true); // position 0 at the top, as the track bar had it
    volume_->setTickPosition(QSlider::TicksRight);
    volume_->setTickInterval(10);
    volume_->setSingleStep(1);
    volume_->setPageStep(10);
    volume_->setValue(128);
    volume_->setToolTip("Volume");
    // A plain channel as on a track bar: with the scale upside down, the style's fill
    // would grow as the volume falls.
    volume_->setStyleSheet(
        "QSlider::groove:vertical { width: 4px; background: #808080; border: 1px solid #404040;"
        " border-right-color: #ffffff; border-bottom-color: #ffffff; }"
        "QSlider::add-page:vertical, QSlider::sub-page:vertical { background: transparent; }"
        "QSlider::handle:vertical { height: 10px; margin: 0 -8px; background: #c0c0c0;"
        " border: 1px solid #404040; border-top-color: #ffffff; border-left-color: #ffffff; }");
    add(kVolumeBar, volume_, nullptr);

    struct Transport
    {
        int id;
        const char* normal;
        const char* pressed;
        const char* tip;
    };
    const Transport transport[] = {
        {kPrevButton, "backward", "invbkwrd", "Previous file in Playlist"},
        {kPlayButton, "play", "invplay", "Play .OCW file"},
        {kPauseButton, "pause", "invpause", "Pause / resume playing .OCW file"},
        {kStopButton, "stop", "invstop", "Stop playing .OCW file"},
        {kNextButton, "forward", "invfrwrd", "Next file in Playlist"},
    };
    auto* transport_row = new QHBoxLayout;
    transport_row->setSpacing(3);
    for (const Transport& t : transport) {
        auto* b = new BitmapButton(t.normal, t.pressed);
        b->setFixedSize(38, 28);
        add(t.id, b, t.tip);
        transport_row->addWidget(b);
    }

    auto* file = new QPushButton("&File");
    auto* convert = new QPushButton("&Convert");
    exit_ = new QPushButton("&Exit");
    auto* help = new QPushButton("&Help");
    add(kFileButton, file, "Open a .OCW file to play or convert");
    add(kConvertButton, convert, "Convert .OCW file to .WAV file");
    add(kExitButton, exit_, "Exit program");
    add(kHelpButton, help, "Show Help");
    loop_ = new QCheckBox("&Loop");
    add(kLoopCheck, loop_, nullptr);
    for (QPushButton* b : {file, convert, exit_, help}) {
        b->setAutoDefault(false);
        b->setFixedWidth(64);
    }

    auto* display_row = new QHBoxLayout;
    display_row->setSpacing(6);
    display_row->addWidget(sunken(digits_));
    auto* name_and_meter = new QVBoxLayout;
    name_and_meter->setSpacing(4);
    name_and_meter->addWidget(sunken(file_name_));
    name_and_meter->addWidget(sunken(meter_));
    display_row->addLayout(name_and_meter, 1);

    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addLayout(display_row);
    left->addWidget(progress_);
    auto* lower = new QHBoxLayout;
    lower->addLayout(transport_row);
    lower->addStretch();
    lower->addWidget(loop_);
    left->addLayout(lower);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {file, convert, help, exit_})
        buttons->addWidget(b);
    buttons->addStretch();
    left->addLayout(buttons);

    auto* vol = new QVBoxLayout;
    vol->setSpacing(0);
    auto* vol_label = new QLabel("Vol");
    vol_label->setAlignment(Qt::AlignHCenter);
    vol->addWidget(vol_label);
    vol->addWidget(volume_, 1, Qt::AlignHCenter);

    auto* main = new QHBoxLayout(this);
    main->setContentsMargins(8, 8, 8, 8);
    main->setSpacing(8);
    main->addLayout(left, 1);
    main->addLayout(vol);

    connect(file, &QPushButton::clicked, this, [this] { player_->on_file(); });
    connect(static_cast<QAbstractButton*>(controls_[kPlayButton]), &QAbstractButton::clicked, this,
            [this] { player_->on_play(); });
    connect(static_cast<QAbstractButton*>(controls_[kPauseButton]), &QAbstractButton::clicked, this,
            [this] { player_->on_pause(); });
    connect(static_cast<QAbstractButton*>(controls_[kStopButton]), &QAbstractButton::clicked, this,
            [this] { player_->on_stop(); });
    connect(static_cast<QAbstractButton*>(controls_[kPrevButton]), &QAbstractButton::clicked, this,
            [this] { player_->on_prev(); });
    connect(static_cast<QAbstractButton*>(controls_[kNextButton]), &QAbstractButton::clicked, this,
            [this] { player_->on_next(); });
    connect(convert, &QPushButton::clicked, this, [this] { player_->on_convert(); });
    connect(help, &QPushButton::clicked, this, [this] { player_->on_help(); });
    // During a conversion the button reads "&Cancel": its press is what the loop looks for.
    connect(exit_, &QPushButton::pressed, this, [this] {
        if (player_->converting())
            cancel_ = true;
    });
    connect(exit_, &QPushButton::clicked, this, [this] {
        if (!player_->converting())
            accept();
    });
    connect(loop_, &QCheckBox::clicked, this, [this] { player_->on_loop(); });
    connect(volume_, &QSlider::valueChanged, this, [this](int v) { player_->on_volume(v); });
}

void MainDialog::enable(int control, bool on)
{
    if (QWidget* w = controls_.value(control))
        w->setEnabled(on);
}

void MainDialog::set_text(int control, const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (control == kFileNameText)
        file_name_->setText(t);
    else if (control == kExitButton)
        exit_->setText(t);
}

void MainDialog::set_check(int control, bool on)
{
    if (control == kLoopCheck)
        loop_->setChecked(on);
}

void MainDialog::set_progress(int percent)
{
    progress_->setValue(std::max(1, std::min(100, percent)));
    if (percent <= 0)
        progress_->setValue(progress_->minimum());
}

void MainDialog::set_seconds(double seconds)
{
    digits_->set_seconds(seconds);
}

void MainDialog::set_levels(bool lit, Levels levels)
{
    meter_->set_levels(lit, levels);
}

bool MainDialog::cancel_pressed()
{
    const bool c = cancel_;
    cancel_ = false;
    return c;
}

void MainDialog::pump()
{
    QApplication::processEvents();
}

void MainDialog::reject()
{
    // Escape during a conversion is its Cancel, not the end of the program.
    if (player_->converting()) {
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction("&About Plavo...", this,
                   [this] { QMessageBox::about(this, "About Plavo", "Plavo Version 2.0"); });
    menu.exec(event->globalPos());
}

EventBridge::EventBridge(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &EventBridge::pump_now);
    kel::events::set_wake_hook(
        [this] { QMetaObject::invokeMethod(this, &EventBridge::pump_now, Qt::QueuedConnection); });
    QMetaObject::invokeMethod(this, &EventBridge::pump_now, Qt::QueuedConnection);
}

EventBridge::~EventBridge()
{
    kel::events::set_wake_hook(nullptr);
}

void EventBridge::pump_now()
{
    kel::events::pump();
    const long wait = kel::events::ms_until_next_timer();
    if (wait >= 0)
        timer_->start(static_cast<int>(std::min<long>(wait, 1000)));
    else
        timer_->stop();
}

} // namespace plavo::ui
