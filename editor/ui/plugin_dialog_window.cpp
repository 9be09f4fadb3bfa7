#include "editor/ui/plugin_dialog_window.h"

#include "editor/files/plugin_host.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace ui {

namespace {

QString value_text(const PluginControl& c)
{
    if (c.toggled)
        return c.value >= 0.5f ? "on" : "off";
    return QString::number(c.value, 'g', 4);
}

} // namespace

PluginDialogWindow::PluginDialogWindow(PluginDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("PLUGINS");
    setWindowTitle("Select Plugin");
    outer_ = new QVBoxLayout(this);
    outer_->addWidget(new QLabel("&Plug-in:", this));
    plugins_ = new QComboBox(this);
    plugins_->setObjectName("plugins");
    for (const PluginInfo& p : model.plugins)
        plugins_->addItem(QString::fromStdString(p.name + " (" + p.label + ")"));
    plugins_->setCurrentIndex(model.chosen);
    static_cast<QLabel*>(outer_->itemAt(0)->widget())->setBuddy(plugins_);
    outer_->addWidget(plugins_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    outer_->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PluginDialogWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PluginDialogWindow::reject);
    connect(plugins_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.chosen = index;
        show_controls();
    });
    setMinimumWidth(420);
    show_controls();
}

// One row per control port: its name, a slider over the range its hints give, the value.
void PluginDialogWindow::show_controls()
{
    delete controls_;
    sliders_.clear();
    controls_ = new QWidget(this);
    auto* grid = new QGridLayout(controls_);
    if (PluginInfo* p = model_.current()) {
        int row = 0;
        for (PluginControl& c : p->controls) {
            auto* slider = new QSlider(Qt::Horizontal, controls_);
            slider->setObjectName(QString("port%1").arg(c.port));
            slider->setRange(0, PluginControl::kSliderSteps);
            slider->setValue(c.slider_position());
            auto* value = new QLabel(value_text(c), controls_);
            value->setMinimumWidth(60);
            connect(slider, &QSlider::valueChanged, this, [&c, value](int position) {
                c.set_slider_position(position);
                value->setText(value_text(c));
            });
            grid->addWidget(new QLabel(QString::fromStdString(c.name), controls_), row, 0);
            grid->addWidget(slider, row, 1);
            grid->addWidget(value, row, 2);
            sliders_.push_back(slider);
            ++row;
        }
        if (p->controls.empty())
            grid->addWidget(new QLabel("This plug-in has no controls.", controls_), 0, 0);
    }
    outer_->insertWidget(2, controls_);
    adjustSize();
}

void PluginDialogWindow::accept()
{
    model_.end_dialog(1);
    QDialog::accept();
}

void PluginDialogWindow::reject()
{
    model_.end_dialog(2);
    QDialog::reject();
}

int run_plugin_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<PluginDialog*>(&m);
    if (!model) {
        m.end_dialog(2);
        return 2;
    }
    model->on_open();
    PluginDialogWindow window(*model, parent);
    window.exec();
    if (!model->ended())
        model->end_dialog(2);
    return model->end_code();
}

} // namespace ui
