// Widgets of "Filter Options": radio buttons and the sweep box on the left, the four
// upside-down sliders with their red-on-white value fields, the buttons, and the response
// plot drawn from the model's numbers.
#include "filtrel/filter_options_dialog.h"
#include "filtrel/ui/filter_options_ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace filter_dialog;

namespace {

// Static 1004: white with a black frame; the frequency axis starts a seventh of the way
// in and spans 0 Hz to the sample rate; the bottom eighth carries its labels.
class ResponseView : public QWidget
{
  public:
    explicit ResponseView(const FilterOptionsDialog& model, QWidget* parent)
        : QWidget(parent), model_(model)
    {
        setMinimumSize(420, 130);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.fillRect(r, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(r);

        const ResponsePlot& plot = model_.plot;
        const double w = width(), h = height();
        const double left = w / 7.0, right = w - 8.0;
        const double top = 8.0, bottom = h - h / 8.0 - 4.0;
        const double rate = plot.sample_rate > 0 ? static_cast<double>(plot.sample_rate) : 1.0;
        auto x_of = [&](double hz) { return left + (right - left) * hz / rate; };
        auto y_of = [&](double a) { return bottom - (bottom - top) * a; };

        QFont small(QStringLiteral("Arial"));
        small.setPointSizeF(6.5);
        p.setFont(small);
        p.setPen(QColor(160, 160, 160));
        p.drawLine(QPointF(left, top), QPointF(left, bottom));
        p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
        for (const ResponseLabel& l : plot.level_labels) {
            const double y = y_of(l.at);
            p.setPen(QColor(220, 220, 220));
            p.drawLine(QPointF(left + 1, y), QPointF(right, y));
            p.setPen(Qt::black);
            p.drawText(QRectF(2, y - 8, left - 5, 16), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromStdString(l.text));
        }
        for (size_t i = 0; i < plot.frequency_labels.size(); ++i) {
            const ResponseLabel& l = plot.frequency_labels[i];
            const double x = x_of(l.at);
            p.setPen(Qt::black);
            p.drawLine(QPointF(x, bottom), QPointF(x, bottom + 3));
            const Qt::Alignment a =
                i == 0
                    ? Qt::AlignLeft
                    : (i + 1 == plot.frequency_labels.size() ? Qt::AlignRight : Qt::AlignHCenter);
            const double box = 80;
            const double bx =
                a == Qt::AlignLeft ? x : (a == Qt::AlignRight ? x - box : x - box / 2);
            p.drawText(QRectF(bx, bottom + 3, box, h - bottom - 4), a | Qt::AlignTop,
                       QString::fromStdString(l.text));
        }

        if (plot.curve.empty())
            return;
        QPainterPath path;
        path.moveTo(x_of(plot.curve.front().first), y_of(plot.curve.front().second));
        for (const auto& [hz, a] : plot.curve)
            path.lineTo(x_of(hz), y_of(a));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::red, 1));
        p.drawPath(path);
    }

  private:
    const FilterOptionsDialog& model_;
};

// Value fields: centred red text on white, 8 points.
QLabel* value_field(QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::red);
    l->setPalette(pal);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    l->setFont(f);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(50);
    l->setFixedHeight(18);
    return l;
}

} // namespace

FilterOptionsWindow::FilterOptionsWindow(FilterOptionsDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(FilterOptionsDialog::kCaption));
    setObjectName(QStringLiteral("NEWFILTEROPTIONS"));
    auto remember = [this](int id, QWidget* w) {
        w->setObjectName(QStringLiteral("control_%1").arg(id));
        controls_[id] = w;
    };

    // Type of Filter
    auto* types = new QGroupBox(QStringLiteral("Type of Filter"), this);
    auto* types_layout = new QGridLayout(types);
    radios_ = new QButtonGroup(this);
    const struct
    {
        int id;
        const char* text;
    } radio_texts[] = {{kFilterHash, "&Hash"},
                       {kFilterLowPass, "&Low pass"},
                       {kFilterHighPass, "&High pass"},
                       {kFilterNotch, "&Notch"},
                       {kFilterBandPass, "&Band pass -->"}};
    int row = 0;
    for (const auto& r : radio_texts) {
        auto* b = new QRadioButton(QString::fromLatin1(r.text), types);
        radios_->addButton(b, r.id);
        types_layout->addWidget(b, row++, 0);
        remember(r.id, b);
    }
    sweep_ = new QCheckBox(QStringLiteral("Sweep -->"), types);
    types_layout->addWidget(sweep_, row - 1, 1);
    remember(kSweepBox, sweep_);
    types_layout->setColumnStretch(2, 1);

    // The sliders, each with its title above and its value field below.
    auto* sliders = new QHBoxLayout;
    const struct
    {
        int slider;
        int field;
        const char* title;
    } slider_texts[] = {{kFrequencySlider, kFrequencyField, "Freq (kHz)"},
                        {kWidthSlider, kWidthField, "Cutoff (Hz)"},
                        {kStartSlider, kStartField, "Start (kHz)"},
                        {kStopSlider, kStopField, "Stop (kHz)"}};
    for (const auto& s : slider_texts) {
        auto* column = new QVBoxLayout;
        auto* title = new QLabel(QString::fromLatin1(s.title), this);
        title->setAlignment(Qt::AlignCenter);
        auto* slider = new QSlider(Qt::Vertical, this);
        slider->setMinimumHeight(110);
        slider->setTickPosition(QSlider::TicksBothSides);
        auto* field = value_field(this);
        column->addWidget(title);
        column->addWidget(slider, 1, Qt::AlignHCenter);
        column->addWidget(field);
        sliders->addLayout(column);
        if (s.slider == kWidthSlider)
            sliders->addSpacing(14);
        sliders_[s.slider] = slider;
        fields_[s.field] = field;
        remember(s.slider, slider);
        remember(s.field, field);
        const int id = s.slider;
        // Qt's vertical slider has its minimum at the bottom, so it shows the value and
        // the model's position is the mirror of it.
        connect(slider, &QSlider::valueChanged, this, [this, id](int value) {
            if (refreshing_)
                return;
            const DialogSlider* s = model_.slider(id);
            model_.move_slider(id, s->maximum + s->minimum - value);
            after_event();
        });
    }

    // Buttons
    auto* buttons = new QVBoxLayout;
    auto button = [&](int id, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        buttons->addWidget(b);
        remember(id, b);
        return b;
    };
    QPushButton* ok = button(kOk, "OK");
    ok->setDefault(true);
    QPushButton* cancel = button(kCancel, "Cancel");
    QPushButton* save = button(kSavePreset, "&Save preset");
    QPushButton* help = button(kHelp, "Help");
    buttons->addStretch(1);
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.ok();
        after_event();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        after_event();
    });
    connect(save, &QPushButton::clicked, this, [this] {
        model_.save_preset();
        after_event();
    });
    connect(help, &QPushButton::clicked, this, [this] {
        model_.help();
        after_event();
    });

    // Filter Response (FFT)
    auto* response = new QGroupBox(QStringLiteral("Filter Response (FFT)"), this);
    auto* response_layout = new QVBoxLayout(response);
    plot_ = new ResponseView(model_, response);
    response_layout->addWidget(plot_);
    remember(kPlot, plot_);

    auto* top = new QHBoxLayout;
    top->addWidget(types);
    top->addLayout(sliders, 1);
    top->addLayout(buttons);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(response, 1);

    connect(radios_, &QButtonGroup::idClicked, this, [this](int id) {
        if (refreshing_)
            return;
        model_.choose_type(id);
        after_event();
    });
    connect(sweep_, &QCheckBox::clicked, this, [this] {
        if (refreshing_)
            return;
        model_.toggle_sweep();
        after_event();
    });
    refresh();
}

QWidget* FilterOptionsWindow::control(int id) const
{
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void FilterOptionsWindow::refresh()
{
    refreshing_ = true;
    radios_->setExclusive(false);
    for (QAbstractButton* b : radios_->buttons())
        b->setChecked(radios_->id(b) == model_.checked_radio);
    radios_->setExclusive(true);
    sweep_->setChecked(model_.sweep_checked);
    for (auto& [id, slider] : sliders_) {
        const DialogSlider* s = model_.slider(id);
        slider->setRange(s->minimum, s->maximum);
        slider->setValue(s->value());
        slider->setEnabled(s->enabled);
        slider->setTickInterval(std::max(1, (s->maximum - s->minimum) / 10));
        slider->setPageStep(std::max(1, (s->maximum - s->minimum) / 20));
    }
    fields_[kFrequencyField]->setText(QString::fromStdString(model_.frequency_field));
    fields_[kWidthField]->setText(QString::fromStdString(model_.width_field));
    fields_[kStartField]->setText(QString::fromStdString(model_.start_field));
    fields_[kStopField]->setText(QString::fromStdString(model_.stop_field));
    plot_->update();
    refreshing_ = false;
}

void FilterOptionsWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void FilterOptionsWindow::reject()
{
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

int run_filter_options_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* options = dynamic_cast<FilterOptionsDialog*>(&model);
    if (!options) {
        if (!model.ended())
            model.end_dialog(kel::kIdCancel);
        return model.end_code();
    }
    options->on_open();
    if (options->ended())
        return options->end_code();
    options->show_values();
    FilterOptionsWindow window(*options, parent);
    window.exec();
    if (!options->ended())
        options->cancel();
    return options->end_code();
}
