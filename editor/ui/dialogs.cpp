#include "editor/ui/dialogs.h"

#include "editor/app/startup_dialogs.h"
#include "editor/files/new_file.h"
#include "editor/ui/combine_dialog_window.h"
#include "editor/ui/device_dialog_windows.h"
#include "editor/ui/info_edit_window.h"
#include "editor/ui/loop_dialog_window.h"
#include "editor/ui/marker_name_window.h"
#include "editor/ui/ocw_compression_dialog.h"
#include "editor/ui/plugin_dialog_window.h"
#include "editor/ui/preset_dialogs.h"
#include "editor/ui/qt_ui.h"
#include "editor/ui/realmedia_dialog_window.h"
#include "editor/ui/record_dialog_window.h"
#include "editor/ui/save_waveform_dialog.h"
#include "editor/ui/silence_dialog_window.h"
#include "editor/ui/sync_windows.h"
#include "editor/ui/timemark_window.h"
#include "effra/ui/compressor_dialog_window.h"
#include "effra/ui/echo_dialog_window.h"
#include "effra/ui/envelope_dialog_window.h"
#include "effra/ui/spatial_dialog_window.h"
#include "effra/ui/tones_dialog_window.h"
#include "filtrel/ui/equalizer_window.h"
#include "filtrel/ui/filter_options_ui.h"
#include "filtrel/ui/flange_window.h"
#include "filtrel/ui/noise_windows.h"
#include "filtrel/ui/pitch_windows.h"
#include "filtrel/ui/spectrum_windows.h"
#include "levra/ui/level_dialogs.h"
#include "magnel/ui/magnified_plot_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <cmath>

namespace ui {

// ---- Logo -------------------------------------------------------------------------------

QPixmap LogoWindow::logo_bitmap()
{
    // "LOGOSMAL": drawn here instead of loaded.
    QPixmap pm(360, 180);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 180);
    g.setColorAt(0, QColor(10, 30, 80));
    g.setColorAt(1, QColor(0, 0, 20));
    p.fillRect(pm.rect(), g);
    QPainterPath wave;
    for (int x = 0; x <= 360; ++x) {
        const double env = std::sin(x / 360.0 * M_PI);
        const double y = 120 + 34 * env * std::sin(x / 7.0) * std::cos(x / 31.0);
        if (x == 0)
            wave.moveTo(x, y);
        else
            wave.lineTo(x, y);
    }
    p.setPen(QPen(QColor(0, 230, 120), 1.6));
    p.drawPath(wave);
    QFont title("DejaVu Sans");
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, 14, 360, 60), Qt::AlignCenter, "Kelvara");
    QFont sub("DejaVu Sans");
    sub.setPixelSize(14);
    p.setFont(sub);
    p.setPen(QColor(170, 200, 255));
    p.drawText(QRect(0, 66, 360, 20), Qt::AlignCenter, "Orlo digital audio editor");
    p.end();
    return pm;
}

LogoWindow::LogoWindow(app::LogoDialog& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), model_(model), bitmap_(logo_bitmap())
{
    setObjectName("LOGOBITMAP");
    setWindowTitle("Kelvara");
    setFixedSize(bitmap_.size());
    if (QScreen* s = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - rect().center());
    }
    if (model_.close_by_timer())
        timer_ = startTimer(app::LogoDialog::kTimeoutMs);
}

void LogoWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, bitmap_);
}

void LogoWindow::mousePressEvent(QMouseEvent*)
{
    model_.clicked();
    accept();
}

bool LogoWindow::event(QEvent* e)
{
    // A click on the frame closes it too.
    if (e->type() == QEvent::NonClientAreaMouseButtonPress) {
        model_.clicked();
        accept();
        return true;
    }
    return QDialog::event(e);
}

void LogoWindow::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != timer_)
        return;
    killTimer(timer_);
    timer_ = 0;
    model_.timer(app::LogoDialog::kTimerId);
    if (model_.ended())
        accept();
}

namespace {

int run_logo(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<app::LogoDialog&>(m);
    model.on_open();
    LogoWindow w(model, parent);
    w.exec();
    if (!model.ended())
        model.end_dialog(1);
    return model.end_code();
}

// ---- Tip of the day ---------------------------------------------------------------------

int run_tip(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<app::TipOfTheDayDialog&>(m);
    model.on_open();
    QDialog d(parent);
    d.setObjectName("TIPOFTHEDAY");
    d.setWindowTitle("Tip of the Day");
    auto* outer = new QVBoxLayout(&d);
    auto* top = new QHBoxLayout;
    auto* bulb = new QLabel(&d);
    {
        QPixmap pm(48, 48);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(120, 100, 0), 1.5));
        p.setBrush(QColor(255, 230, 60));
        p.drawEllipse(QRectF(10, 4, 28, 28));
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(QRectF(17, 31, 14, 10));
        p.end();
        bulb->setPixmap(pm);
    }
    bulb->setAlignment(Qt::AlignTop);
    auto* frame = new QFrame(&d);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    QPalette white = frame->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    frame->setPalette(white);
    auto* fl = new QVBoxLayout(frame);
    auto* heading = new QLabel("Did you know...", frame);
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.4);
    heading->setFont(hf);
    auto* text = new QLabel(frame);
    text->setObjectName("1004");
    text->setWordWrap(true);
    text->setMinimumSize(360, 110);
    text->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    fl->addWidget(heading);
    fl->addWidget(text, 1);
    top->addWidget(bulb);
    top->addWidget(frame, 1);
    outer->addLayout(top);
    auto* bottom = new QHBoxLayout;
    auto* check = new QCheckBox("&Show Tips on StartUp", &d);
    check->setObjectName("1001");
    auto* next = new QPushButton("&Next Tip", &d);
    next->setObjectName("1002");
    auto* close = new QPushButton("&Close", &d);
    close->setObjectName("close");
    close->setDefault(true);
    bottom->addWidget(check);
    bottom->addStretch(1);
    bottom->addWidget(next);
    bottom->addWidget(close);
    outer->addLayout(bottom);

    check->setChecked(model.show_on_startup);
    text->setText(QString::fromStdString(model.tip()));
    next->setEnabled(model.next_enabled());
    QObject::connect(check, &QCheckBox::toggled, [&](bool on) { model.show_on_startup = on; });
    QObject::connect(next, &QPushButton::clicked, [&] {
        model.next_tip();
        text->setText(QString::fromStdString(model.tip()));
    });
    QObject::connect(close, &QPushButton::clicked, &d, [&] {
        model.close_dialog();
        d.accept();
    });
    d.exec();
    if (!model.ended())
        model.close_dialog();
    return model.end_code();
}

// ---- New file ---------------------------------------------------------------------------

int run_create_new_file(kel::DialogModel& m, QWidget* parent)
{
    auto& model = static_cast<CreateNewFileDialog&>(m);
    model.on_open();
    QDialog d(parent);
    d.setObjectName("CREATENEWFILE");
    d.setWindowTitle("Create New File");
    auto* outer = new QVBoxLayout(&d);
    auto* row = new QHBoxLayout;
    auto group = [&](const char* title, std::initializer_list<std::pair<const char*, int>> items,
                     int current, auto choose) {
        auto* box = new QGroupBox(title, &d);
        auto* l = new QVBoxLayout(box);
        for (const auto& [label, value] : items) {
            auto* r = new QRadioButton(label, box);
            r->setChecked(value == current);
            const int v = value;
            QObject::connect(r, &QRadioButton::toggled, [choose, v](bool on) {
                if (on)
                    choose(v);
            });
            l->addWidget(r);
        }
        row->addWidget(box);
    };
    group("Resolution", {{"8 bits", 8}, {"16 bits", 16}}, play_format.bits,
          [&](int v) { model.choose_bits(v); });
    group("Channels", {{"Mono", 1}, {"Stereo", 2}}, play_format.channels,
          [&](int v) { model.choose_channels(v); });
    group("Sample rate (kHz)", {{"11.025", 11025}, {"22.050", 22050}, {"44.100", 44100}},
          static_cast<int>(play_format.sample_rate),
          [&](int v) { model.choose_rate(static_cast<unsigned>(v)); });
    outer->addLayout(row);
    auto* buttons = new QDialogButtonBox(&d);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
        model.ok();
        d.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, [&] {
        model.cancel();
        d.reject();
    });
    QObject::connect(help, &QPushButton::clicked, [&] { model.help(); });
    outer->addWidget(buttons);
    d.exec();
    if (!model.ended())
        model.cancel();
    return model.end_code();
}

} // namespace

void register_editor_dialogs()
{
    register_dialog("LOGOBITMAP", run_logo);
    register_dialog("TIPOFTHEDAY", run_tip);
    register_dialog("CREATENEWFILE", run_create_new_file);
    register_dialog("SETUPPLAYBACKLOOP", run_setup_playback_loop_dialog);
    register_dialog("NewRecord", run_record_dialog);
    register_dialog("SAMPLE", run_sample_dialog);
    register_dialog("AUTOSTOP", run_auto_stop_dialog);
    register_dialog("SyncRecordPlayback", run_sync_record_playback_dialog);
    register_dialog("SETSMPTE", run_set_smpte_dialog);
    register_dialog("RECORDPLAYDELAY", run_record_play_delay_dialog);
    register_dialog("SEQUENCERINPUT", run_sequencer_input_dialog);
    register_dialog("CHASELOCK", run_chase_lock_dialog);
    register_dialog("OCW_FILE_COMPRESSION", run_ocw_compression_dialog);
    register_dialog("PLUGINS", run_plugin_dialog);
    register_dialog("130", run_realmedia_dialog);
    register_dialog("132", run_timemark_dialog);
    // The modules' own dialogs.
    register_dialog("NewEcho", run_echo_dialog);
    register_dialog("NewReverb", run_echo_dialog);
    register_dialog("CONTROLPOINTSENVELOPE", run_compressor_dialog);
    register_dialog("DRAWENVELOPE", run_envelope_dialog);
    register_dialog("SPATIALLOCALIZATION", run_spatial_dialog);
    register_dialog("TonesAndEffects", run_tones_dialog);
    register_dialog("NEWFILTEROPTIONS", run_filter_options_dialog);
    register_dialog("EQUALIZE", run_equalize_dialog);
    register_dialog("FLANGE", run_flange_dialog);
    register_dialog("NOISEREMOVAL", run_noise_removal_dialog);
    register_dialog("NOISEREDUCTION", run_noise_reduction_dialog);
    register_dialog("NOISEGATE", run_noise_gate_dialog);
    register_dialog("SpectrumDisplay3D", run_spectrum_3d_dialog);
    register_dialog("SpectrumDisplay2D", run_spectrum_2d_dialog);
    register_dialog("HOWTOCHANGEPITCH", run_how_to_change_pitch_dialog);
    register_dialog("NEWCHANGEPITCH", run_keyboard_dialog);
    register_dialog("NEWPITCH", run_passage_slider_dialog);
    register_dialog("NEWTEMPO", run_passage_slider_dialog);
    register_dialog("QUANTIZE", run_passage_slider_dialog);
    register_dialog("MAGNIFIEDPLOT", run_magnified_plot);
    // Saving, presets, combining, silence and the amplify module's dialogs.
    register_dialog("SAVEWAVEFORM", run_save_waveform_dialog);
    register_dialog("DLG_INFOEDIT", run_info_edit_dialog);
    register_dialog("NEWSELECT", run_preset_select_dialog);
    register_dialog("SAVE", run_preset_save_dialog);
    register_dialog("COPYSELECTION", run_combine_selection_dialog);
    register_dialog("SILENCE", run_insert_silence_dialog);
    register_dialog("ShowSystemDevices", run_system_devices_dialog);
    register_dialog("EMUSAMPLER", run_sampler_dialog);
    register_dialog("ENTERMARKERNAME", run_marker_name_dialog);
    register_dialog("AMPLIFY", levra_ui::run_amplify_dialog);
    register_dialog("FADE", levra_ui::run_fade_dialog);
    register_dialog("PAN", levra_ui::run_pan_dialog);
    register_dialog("MODULATE", levra_ui::run_modulate_dialog);
}

} // namespace ui
