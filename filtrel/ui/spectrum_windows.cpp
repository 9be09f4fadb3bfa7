// Widgets of the spectrum displays. The waterfall is painted once into an image when its
// picture changes; the marker of Play is drawn over that image every 50 ms.
#include "filtrel/ui/spectrum_windows.h"

#include "filtrel/spectrum_dialogs.h"
#include "filtrel/ui/run_window.h"
#include "platform/clock.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <vector>

using namespace spectrum_dialog;

namespace filtrel_ui {

namespace {

QPoint qpoint(const FftPoint& p)
{
    return {p.x, p.y};
}

QFont small_font()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(10);
    return f;
}

class WaterfallArea : public QWidget
{
  public:
    WaterfallArea(Spectrum3DDialog& model, QWidget* parent) : QWidget(parent), model_(model)
    {
        setMinimumSize(560, 360);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        const WaterfallPicture& picture = model_.picture(width(), height());
        if (image_.size() != size() || version_ != model_.version()) {
            image_ = QImage(size(), QImage::Format_RGB32);
            QPainter ip(&image_);
            paint_waterfall(ip, picture);
            version_ = model_.version();
        }
        QPainter p(this);
        p.drawImage(0, 0, image_);
        if (!picture.slices.empty()) {
            p.setPen(Qt::white);
            p.setBrush(Qt::red);
            for (const FftPoint& a : {picture.slices.front().anchor, picture.slices.back().anchor})
                p.drawEllipse(QPoint(a.x, a.y), 2, 2);
        }
        const MarkerPosition m = model_.marker(kel::clock::now_ms());
        if (m.shown)
            p.drawEllipse(QRect(m.at.x - 4, m.at.y - 4, 8, 8));
    }

  private:
    Spectrum3DDialog& model_;
    QImage image_;
    int version_ = -1;
};

class PlotArea : public QWidget
{
  public:
    PlotArea(Spectrum2DDialog& model, QWidget* parent) : QWidget(parent), model_(model)
    {
        setMinimumSize(560, 340);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        paint_spectrum_plot(p, model_.plot(width(), height()));
    }

  private:
    Spectrum2DDialog& model_;
};

QPushButton* push(ModelWindow* w, QLayout* layout, const char* text)
{
    auto* b = new QPushButton(QString::fromLatin1(text), w);
    layout->addWidget(b);
    return b;
}

} // namespace

void paint_waterfall(QPainter& p, const WaterfallPicture& picture)
{
    p.fillRect(QRect(0, 0, picture.width, picture.height), QColor(128, 128, 128));
    if (picture.slices.empty())
        return;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(small_font());
    std::vector<QPoint> polygon;
    const QPen yellow(Qt::yellow), red(Qt::red);
    for (const WaterfallSlice& s : picture.slices) {
        // One polygon from the baseline up to the curve and back: the blue quadrilaterals
        // of all points at once.
        polygon.clear();
        polygon.reserve(s.curve.size() + 2);
        polygon.emplace_back(s.curve.front().x, s.baseline);
        for (const FftPoint& c : s.curve)
            polygon.push_back(qpoint(c));
        polygon.emplace_back(s.curve.back().x, s.baseline);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::blue);
        p.drawPolygon(polygon.data(), static_cast<int>(polygon.size()));
        p.setPen(yellow);
        p.drawPolyline(polygon.data() + 1, static_cast<int>(s.curve.size()));
        p.setPen(red);
        for (const Segment& m : s.mesh)
            p.drawLine(qpoint(m.from), qpoint(m.to));
        if (!s.label.empty()) {
            p.setPen(Qt::white);
            p.drawText(QPoint(s.label_at.x + 4, s.baseline), QString::fromStdString(s.label));
        }
    }
    p.setPen(Qt::yellow);
    p.drawLine(qpoint(picture.axis.from), qpoint(picture.axis.to));
    p.setPen(Qt::white);
    for (const AxisLabel& a : picture.axis_labels) {
        p.drawLine(a.at.x, a.at.y, a.at.x, a.at.y + 3);
        p.drawText(QRect(a.at.x - 20, a.at.y + 4, 40, 12), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(a.text));
    }
    const FftPoint end = picture.axis.to;
    p.drawText(QPoint(end.x + 6, end.y + 14), QStringLiteral("kHz"));
}

void paint_spectrum_plot(QPainter& p, const SpectrumPlot& plot)
{
    p.fillRect(QRect(0, 0, plot.width, plot.height), Qt::white);
    if (plot.curve.empty())
        return;
    std::vector<QPoint> polygon;
    polygon.reserve(plot.curve.size() + 2);
    polygon.emplace_back(plot.curve.front().x, plot.origin.y);
    for (const FftPoint& c : plot.curve)
        polygon.push_back(qpoint(c));
    polygon.emplace_back(plot.curve.back().x, plot.origin.y);
    p.setPen(Qt::red);
    p.setBrush(Qt::blue);
    p.drawPolygon(polygon.data(), static_cast<int>(polygon.size()));
    p.setPen(Qt::black);
    p.drawLine(plot.origin.x, plot.origin.y, plot.right, plot.origin.y);
    p.drawLine(plot.origin.x, plot.origin.y, plot.origin.x, plot.top);
    p.setFont(small_font());
    for (const AxisLabel& a : plot.frequency_labels) {
        p.drawLine(a.at.x, a.at.y, a.at.x, a.at.y + 4);
        p.drawText(QRect(a.at.x - 30, a.at.y + 6, 60, 14), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(a.text));
    }
    for (const AxisLabel& a : plot.amplitude_labels) {
        p.drawLine(a.at.x - 4, a.at.y, a.at.x, a.at.y);
        p.drawText(QRect(0, a.at.y - 7, a.at.x - 6, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(a.text));
    }
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(13);
    p.setFont(title);
    p.drawText(QRect(0, 4, plot.width, plot.top - 4), Qt::AlignHCenter | Qt::AlignVCenter,
               QString::fromStdString(plot.title));
}

Spectrum3DWindow::Spectrum3DWindow(Spectrum3DDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(Spectrum3DDialog::kCaption));
    setObjectName(QStringLiteral("SpectrumDisplay3D"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    area_ = new WaterfallArea(model_, this);
    remember(kArea3D, area_);

    DialogSlider* models[4] = {&model_.gain, &model_.slices, &model_.low, &model_.high};
    const int field_ids[4] = {kGainField, kSlicesField, kLowField, kHighField};
    const char* titles[4] = {" Gain", " Disp", " Low", "High"};
    QHBoxLayout* rows[2] = {new QHBoxLayout, new QHBoxLayout};
    for (int k = 0; k < 4; ++k) {
        const int id = models[k]->id;
        sliders_[k] = fader(*models[k], 150, this, [this, id](int position) {
            auto* s = qobject_cast<QSlider*>(control(id));
            model_.move_slider(id, position, !(s && s->isSliderDown()));
            after_event();
        });
        QSlider* s = sliders_[k];
        connect(s, &QSlider::sliderReleased, this, [this, id, s] {
            model_.move_slider(id, s->value(), true);
            after_event();
        });
        fields_[k] = value_field(this, Qt::red, QStringLiteral("Helvetica"), 10, 44);
        remember(field_ids[k], fields_[k]);
        auto* column = new QVBoxLayout;
        auto* title = new QLabel(QString::fromLatin1(titles[k]), this);
        title->setAlignment(Qt::AlignCenter);
        column->addWidget(title);
        column->addWidget(s, 1, Qt::AlignHCenter);
        column->addWidget(fields_[k]);
        rows[k / 2]->addLayout(column);
    }
    auto* vertical = new QGroupBox(QStringLiteral(" Vertical "), this);
    vertical->setLayout(rows[0]);
    auto* horizontal = new QGroupBox(QStringLiteral(" Horiz (kHz) "), this);
    horizontal->setLayout(rows[1]);

    auto* buttons = new QVBoxLayout;
    const struct
    {
        int id;
        const char* text;
    } texts[] = {{kUpdate, "&Update"},
                 {kBrowse, "&Browse"},
                 {kPlay, "&Play"},
                 {kCancel, "Cancel"},
                 {kHelp, "Help"}};
    for (const auto& t : texts) {
        QPushButton* b = push(this, buttons, t.text);
        remember(t.id, b);
        const int id = t.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
            switch (id) {
            case kUpdate:
                model_.update();
                break;
            case kBrowse:
                model_.browse();
                break;
            case kPlay:
                if (model_.play(kel::clock::now_ms()))
                    marker_timer_.start(50);
                break;
            case kCancel:
                model_.cancel();
                break;
            default:
                model_.help();
                break;
            }
            after_event();
        });
    }
    buttons->addStretch(1);
    auto* side = new QVBoxLayout;
    side->addWidget(vertical);
    side->addWidget(horizontal);
    auto* controls = new QHBoxLayout;
    controls->addLayout(side);
    controls->addLayout(buttons);
    auto* all = new QHBoxLayout(this);
    all->addWidget(area_, 1);
    all->addLayout(controls);
    connect(&marker_timer_, &QTimer::timeout, this, [this] {
        if (!sprite_timer_running() ||
            kel::clock::now_ms() - sprite_timer_start_ms() > g_spectrum_section.play_ms + 100) {
            stop_3D_sprite_timer();
            marker_timer_.stop();
        }
        area_->update();
    });
    refresh();
}

void Spectrum3DWindow::refresh()
{
    DialogSlider* models[4] = {&model_.gain, &model_.slices, &model_.low, &model_.high};
    for (int k = 0; k < 4; ++k) {
        show_fader(sliders_[k], *models[k]);
        fields_[k]->setText(QString::fromStdString(model_.fields[k]));
    }
    area_->update();
}

void Spectrum3DWindow::after_event()
{
    if (model_.ended()) {
        marker_timer_.stop();
        done(model_.end_code());
        return;
    }
    refresh();
}

void Spectrum3DWindow::reject()
{
    marker_timer_.stop();
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

Spectrum2DWindow::Spectrum2DWindow(Spectrum2DDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(Spectrum2DDialog::kCaption));
    setObjectName(QStringLiteral("SpectrumDisplay2D"));
    area_ = new PlotArea(model_, this);
    remember(kArea2D, area_);
    gain_ = fader(model_.gain, 150, this, [this](int position) {
        model_.move_gain(position, !gain_ || !gain_->isSliderDown());
        after_event();
    });
    connect(gain_, &QSlider::sliderReleased, this, [this] {
        model_.move_gain(gain_->value(), true);
        after_event();
    });
    field_ = value_field(this, Qt::red, QStringLiteral("Helvetica"), 10, 44);
    remember(kGainField, field_);
    auto* scale = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("  Vert Scale"), this);
    scale->addWidget(title);
    scale->addWidget(gain_, 1, Qt::AlignHCenter);
    scale->addWidget(field_);

    auto* side = new QVBoxLayout;
    side->addLayout(scale);
    for (const auto& [id, text] : {std::pair{kLogScale, "&Log scale"}, {kMagnify, "&X Mag x2"}}) {
        auto* c = new QCheckBox(QString::fromLatin1(text), this);
        remember(id, c);
        side->addWidget(c);
        const int which = id;
        connect(c, &QCheckBox::clicked, this, [this, which] {
            model_.toggle(which);
            after_event();
        });
    }
    for (const auto& [id, text] : {std::pair{kNext, "&Next"}, {kPrev, "&Prev"}}) {
        QPushButton* b = push(this, side, text);
        remember(id, b);
        const int which = id;
        connect(b, &QPushButton::pressed, this, [this, which] { start_stepping(which); });
        connect(b, &QPushButton::released, this, [this] {
            repeat_.stop();
            stepping_ = 0;
        });
    }
    for (const auto& [id, text] : {std::pair{kCancel, "Cancel"}, {kHelp, "Help"}}) {
        QPushButton* b = push(this, side, text);
        remember(id, b);
        const int which = id;
        connect(b, &QPushButton::clicked, this, [this, which] {
            if (which == kCancel)
                model_.cancel();
            else
                model_.help();
            after_event();
        });
    }
    side->addStretch(1);
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        if (!stepping_)
            return;
        model_.step(stepping_);
        ++steps_;
        area_->update();
        repeat_.start(repeat_delay_ms(steps_));
    });
    auto* all = new QHBoxLayout(this);
    all->addWidget(area_, 1);
    all->addLayout(side);
    refresh();
}

void Spectrum2DWindow::start_stepping(int button)
{
    stepping_ = button;
    model_.step(button);
    steps_ = 1;
    area_->update();
    repeat_.start(repeat_delay_ms(steps_));
}

void Spectrum2DWindow::refresh()
{
    show_fader(gain_, model_.gain);
    field_->setText(QString::fromStdString(model_.gain_field));
    static_cast<QCheckBox*>(control(kLogScale))->setChecked(g_spectrum.log_scale != 0);
    static_cast<QCheckBox*>(control(kMagnify))->setChecked(g_spectrum.x_magnify != 0);
    area_->update();
}

void Spectrum2DWindow::after_event()
{
    if (model_.ended()) {
        repeat_.stop();
        done(model_.end_code());
        return;
    }
    refresh();
}

void Spectrum2DWindow::reject()
{
    repeat_.stop();
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

} // namespace filtrel_ui

using filtrel_ui::run_window;

int run_spectrum_3d_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<Spectrum3DDialog, filtrel_ui::Spectrum3DWindow>(model, parent);
}

int run_spectrum_2d_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<Spectrum2DDialog, filtrel_ui::Spectrum2DWindow>(model, parent);
}
