#include "editor/ui/realmedia_dialog_window.h"

#include "editor/files/realmedia.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace ui {

namespace {

QSlider* slider_with_readout(QGridLayout* grid, int row, const char* text, int id, int low,
                             int high, int value, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::number(id));
    slider->setRange(low, high);
    slider->setValue(value);
    auto* readout = new QLabel(QString::number(value), parent);
    readout->setObjectName(QString::number(id + 1));
    readout->setMinimumWidth(30);
    QObject::connect(slider, &QSlider::valueChanged, readout,
                     [readout](int v) { readout->setText(QString::number(v)); });
    grid->addWidget(new QLabel(text, parent), row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(readout, row, 2);
    return slider;
}

} // namespace

RealMediaDialogWindow::RealMediaDialogWindow(RealMediaDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("130");
    setWindowTitle("RealMedia Audio/Video Compression Parameters");
    auto* outer = new QVBoxLayout(this);
    auto* sound = new QGroupBox("Audio", this);
    auto* sound_layout = new QVBoxLayout(sound);
    sound_layout->addWidget(new QLabel("Choose desired type of compression", sound));
    audio_ = new QComboBox(sound);
    audio_->setObjectName("1000");
    for (const auto& name : model.audio_names)
        audio_->addItem(QString::fromStdString(name));
    audio_->setCurrentIndex(model.audio_choice);
    description_ = new QLabel(QString::fromStdString(model.description), sound);
    description_->setObjectName("1001");
    description_->setWordWrap(true);
    sound_layout->addWidget(audio_);
    sound_layout->addWidget(description_);
    outer->addWidget(sound);
    sound_group_ = sound;
    connect(audio_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.choose_audio(index);
        description_->setText(QString::fromStdString(model_.description));
    });

    video_group_ = new QGroupBox("Video", this);
    auto* grid = new QGridLayout(video_group_);
    video_ = new QComboBox(video_group_);
    video_->setObjectName("1002");
    for (const auto& name : model.video_names)
        video_->addItem(QString::fromStdString(name));
    grid->addWidget(video_, 0, 0, 1, 3);
    quality_ = slider_with_readout(grid, 1, "Quality", 1003, 1, 100, model.quality, video_group_);
    frame_rate_ =
        slider_with_readout(grid, 2, "Frame rate", 1005, 8, 100, model.frame_rate, video_group_);
    video_group_->setEnabled(model.video_enabled);
    outer->addWidget(video_group_);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("1008");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName("1009");
    outer->addWidget(progress_);
    outer->addWidget(status_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("1");
    ok_ = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("2");
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &RealMediaDialogWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RealMediaDialogWindow::reject);
    model_.changed = [this] { show_progress(); };
    setMinimumWidth(440);
}

void RealMediaDialogWindow::show_progress()
{
    progress_->setValue(model_.percent);
    status_->setText(QString::fromStdString(model_.status));
    // While it encodes, only Cancel answers: it stops the encoding at the next block.
    QApplication::processEvents();
}

void RealMediaDialogWindow::accept()
{
    model_.video_choice = video_->currentIndex();
    model_.quality = quality_->value();
    model_.frame_rate = frame_rate_->value();
    if (model_.encoding)
        return;
    model_.percent = 0;
    model_.status.clear();
    for (QWidget* w : {ok_, sound_group_, static_cast<QWidget*>(video_group_)})
        w->setEnabled(false);
    show_progress();
    if (model_.ended())
        return; // cancelled before it began
    model_.ok();
    ok_->setEnabled(true);
    sound_group_->setEnabled(true);
    video_group_->setEnabled(model_.video_enabled);
    show_progress();
    if (model_.ended())
        done(model_.end_code() == 1 ? QDialog::Accepted : QDialog::Rejected);
}

void RealMediaDialogWindow::reject()
{
    model_.cancel();
    if (model_.ended())
        QDialog::reject();
}

int run_realmedia_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<RealMediaDialog*>(&m);
    if (!model) {
        m.end_dialog(2);
        return 2;
    }
    model->on_open();
    RealMediaDialogWindow window(*model, parent);
    window.exec();
    model->changed = nullptr;
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
