#include "levra/ui/level_dialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace levra_ui {

namespace {

// OK and Cancel under the dialog's controls.
void add_buttons(QDialog* d, QVBoxLayout* outer)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    outer->addWidget(buttons);
}

QRadioButton* radio(const char* text, const char* name, QWidget* parent, QButtonGroup* group)
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    group->addButton(r);
    return r;
}

// The spin box takes what is typed once OK is pressed, even without Enter.
template <class Spin> void commit(Spin* spin)
{
    spin->interpretText();
}

template <class Model> int run_window(kel::DialogModel& m, QWidget* parent, auto make)
{
    auto* model = dynamic_cast<Model*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    auto window = make(*model, parent);
    window->exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace

// ---- Amplify ------------------------------------------------------------------------------

AmplifyWindow::AmplifyWindow(AmplifyDialog& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName("AMPLIFY");
    setWindowTitle("Amplify");
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox("Gain", this);
    auto* grid = new QGridLayout(box);
    auto* group = new QButtonGroup(this);
    in_db_ = radio("In &decibels:", "decibels", box, group);
    in_percent_ = radio("In &percent:", "percent", box, group);
    db_ = new QDoubleSpinBox(box);
    db_->setObjectName("decibel_value");
    db_->setRange(-40.0, 40.0);
    db_->setDecimals(1);
    db_->setSingleStep(0.5);
    db_->setSuffix(" dB");
    db_->setValue(std::clamp(model.decibels, -40.0, 40.0));
    percent_ = new QSpinBox(box);
    percent_->setObjectName("percent_value");
    percent_->setRange(0, 1000);
    percent_->setSuffix(" %");
    percent_->setValue(std::clamp(model.percent, 0, 1000));
    grid->addWidget(in_db_, 0, 0);
    grid->addWidget(db_, 0, 1);
    grid->addWidget(new QLabel("(-40 to +40)", box), 0, 2);
    grid->addWidget(in_percent_, 1, 0);
    grid->addWidget(percent_, 1, 1);
    grid->addWidget(new QLabel("(0 to 1000)", box), 1, 2);
    outer->addWidget(box);
    add_buttons(this, outer);

    (model.in_decibels ? in_db_ : in_percent_)->setChecked(true);
    auto enable = [this] {
        db_->setEnabled(in_db_->isChecked());
        percent_->setEnabled(in_percent_->isChecked());
    };
    connect(in_db_, &QRadioButton::toggled, this, enable);
    enable();
}

void AmplifyWindow::accept()
{
    commit(db_);
    commit(percent_);
    model_.in_decibels = in_db_->isChecked();
    model_.decibels = db_->value();
    model_.percent = percent_->value();
    model_.ok();
    QDialog::accept();
}

void AmplifyWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

// ---- Fade ---------------------------------------------------------------------------------

FadeWindow::FadeWindow(FadeDialog& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName("FADE");
    setWindowTitle("Fade");
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* direction = new QGroupBox("Direction", this);
    auto* dl = new QVBoxLayout(direction);
    auto* directions = new QButtonGroup(this);
    in_ = radio("Fade &in", "fade_in", direction, directions);
    out_ = radio("Fade &out", "fade_out", direction, directions);
    dl->addWidget(in_);
    dl->addWidget(out_);
    auto* shape = new QGroupBox("Shape", this);
    auto* sl = new QVBoxLayout(shape);
    auto* shapes = new QButtonGroup(this);
    linear_ = radio("&Linear", "linear", shape, shapes);
    log_ = radio("Lo&garithmic", "logarithmic", shape, shapes);
    sl->addWidget(linear_);
    sl->addWidget(log_);
    row->addWidget(direction);
    row->addWidget(shape);
    outer->addLayout(row);
    add_buttons(this, outer);
    (model.fade_in ? in_ : out_)->setChecked(true);
    (model.logarithmic ? log_ : linear_)->setChecked(true);
}

void FadeWindow::accept()
{
    model_.fade_in = in_->isChecked();
    model_.logarithmic = log_->isChecked();
    model_.ok();
    QDialog::accept();
}

void FadeWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

// ---- Pan ----------------------------------------------------------------------------------

PanWindow::PanWindow(PanDialog& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName("PAN");
    setWindowTitle("Pan");
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox("Position (-100 left, 0 centre, 100 right)", this);
    auto* grid = new QGridLayout(box);
    auto pair = [&](int row, const char* label, const char* name, int value, QSpinBox*& spin,
                    QSlider*& slider) {
        spin = new QSpinBox(box);
        spin->setObjectName(name);
        spin->setRange(-100, 100);
        slider = new QSlider(Qt::Horizontal, box);
        slider->setObjectName(QString(name) + "_slider");
        slider->setRange(-100, 100);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(50);
        slider->setMinimumWidth(220);
        const int v = std::clamp(value, -100, 100);
        spin->setValue(v);
        slider->setValue(v);
        connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
        connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
        auto* l = new QLabel(label, box);
        l->setBuddy(spin);
        grid->addWidget(l, row, 0);
        grid->addWidget(new QLabel("L", box), row, 1);
        grid->addWidget(slider, row, 2);
        grid->addWidget(new QLabel("R", box), row, 3);
        grid->addWidget(spin, row, 4);
    };
    pair(0, "&Start:", "start", model.start_position, start_, start_slider_);
    pair(1, "&End:", "end", model.end_position, end_, end_slider_);
    outer->addWidget(box);
    add_buttons(this, outer);
}

void PanWindow::accept()
{
    commit(start_);
    commit(end_);
    model_.start_position = start_->value();
    model_.end_position = end_->value();
    model_.ok();
    QDialog::accept();
}

void PanWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

// ---- Modulate -----------------------------------------------------------------------------

ModulateWindow::ModulateWindow(ModulateDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("MODULATE");
    setWindowTitle("Modulate");
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox("Tremolo", this);
    auto* form = new QFormLayout(box);
    rate_ = new QDoubleSpinBox(box);
    rate_->setObjectName("rate");
    rate_->setRange(0.1, 20.0);
    rate_->setDecimals(1);
    rate_->setSingleStep(0.1);
    rate_->setSuffix(" Hz");
    rate_->setValue(std::clamp(model.rate_hz, 0.1, 20.0));
    depth_ = new QSpinBox(box);
    depth_->setObjectName("depth");
    depth_->setRange(0, 100);
    depth_->setSuffix(" %");
    depth_->setValue(std::clamp(model.depth_percent, 0, 100));
    form->addRow("&Rate (0.1 to 20):", rate_);
    form->addRow("&Depth (0 to 100):", depth_);
    outer->addWidget(box);
    add_buttons(this, outer);
}

void ModulateWindow::accept()
{
    commit(rate_);
    commit(depth_);
    model_.rate_hz = rate_->value();
    model_.depth_percent = depth_->value();
    model_.ok();
    QDialog::accept();
}

void ModulateWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

// ---- binders ------------------------------------------------------------------------------

int run_amplify_dialog(kel::DialogModel& m, QWidget* parent)
{
    return run_window<AmplifyDialog>(m, parent, [](AmplifyDialog& d, QWidget* p) {
        return std::make_unique<AmplifyWindow>(d, p);
    });
}

int run_fade_dialog(kel::DialogModel& m, QWidget* parent)
{
    return run_window<FadeDialog>(
        m, parent, [](FadeDialog& d, QWidget* p) { return std::make_unique<FadeWindow>(d, p); });
}

int run_pan_dialog(kel::DialogModel& m, QWidget* parent)
{
    return run_window<PanDialog>(
        m, parent, [](PanDialog& d, QWidget* p) { return std::make_unique<PanWindow>(d, p); });
}

int run_modulate_dialog(kel::DialogModel& m, QWidget* parent)
{
    return run_window<ModulateDialog>(m, parent, [](ModulateDialog& d, QWidget* p) {
        return std::make_unique<ModulateWindow>(d, p);
    });
}

} // namespace levra_ui
