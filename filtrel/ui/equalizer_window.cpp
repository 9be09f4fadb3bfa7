// Widgets of "Four Channel Parametric Equalizer": four bands side by side, each with its
// frequency, gain and width faders and the values below them, the response graph under
// them (redrawn as any fader moves), and the buttons.
#include "filtrel/ui/equalizer_window.h"

#include "filtrel/equalizer_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <cstdio>

using namespace equalize_dialog;

namespace {

const QColor kBandColour[kEqualizerBands] = {QColor(200, 0, 0), QColor(0, 140, 0),
                                             QColor(0, 0, 220), QColor(180, 0, 180)};

// Static 383: 0 Hz to half the rate across, -12 .. +12 dB up, each band's bell in its
// colour with its "Vol x" label, over all four together in grey.
class EqualizerGraphView : public QWidget
{
  public:
    explicit EqualizerGraphView(const EqualizeDialog& model, QWidget* parent)
        : QWidget(parent), model_(model)
    {
        setMinimumSize(520, 200);
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.fillRect(r, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(r);
        const EqualizerGraph& g = model_.graph;
        const double left = 44, right = width() - 10, top = 20, bottom = height() - 36;
        const double half = g.sample_rate > 0 ? g.sample_rate / 2.0 : 1.0;
        auto x_of = [&](double hz) { return left + (right - left) * hz / half; };
        auto y_of = [&](double db) {
            const double clamped = std::clamp(db, -1.0 * g.decibel_range, 1.0 * g.decibel_range);
            return top + (bottom - top) * (g.decibel_range - clamped) / (2 * g.decibel_range);
        };
        QFont small(QStringLiteral("Arial"));
        small.setPointSizeF(7);
        p.setFont(small);
        for (const auto& [db, text] : g.level_lines) {
            const double y = y_of(db);
            p.setPen(db == 0 ? QColor(150, 150, 150) : QColor(215, 215, 215));
            p.drawLine(QPointF(left, y), QPointF(right, y));
            p.setPen(Qt::black);
            p.drawText(QRectF(2, y - 8, left - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromStdString(text));
        }
        p.setPen(Qt::black);
        p.drawLine(QPointF(left, top), QPointF(left, bottom));
        p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
        for (int i = 0; i <= 4; ++i) {
            const double hz = half * i / 4;
            const double x = x_of(hz);
            p.drawLine(QPointF(x, bottom), QPointF(x, bottom + 3));
            char text[32];
            std::snprintf(text, sizeof text, "%.1f kHz", hz / 1000.0);
            const Qt::Alignment a =
                i == 0 ? Qt::AlignLeft : (i == 4 ? Qt::AlignRight : Qt::AlignHCenter);
            const double box = 70;
            const double bx = i == 0 ? x : (i == 4 ? x - box : x - box / 2);
            p.drawText(QRectF(bx, bottom + 18, box, 14), a | Qt::AlignTop, QString(text));
        }
        // All four together underneath, each band over it in its colour.
        p.setRenderHint(QPainter::Antialiasing, true);
        auto draw = [&](const EqualizerCurve& c, const QPen& pen) {
            if (c.points.empty())
                return;
            QPainterPath path;
            path.moveTo(x_of(c.points.front().first), y_of(c.points.front().second));
            for (const auto& [hz, db] : c.points)
                path.lineTo(x_of(hz), y_of(db));
            p.setPen(pen);
            p.drawPath(path);
        };
        draw(g.total, QPen(QColor(190, 190, 190), 3));
        for (int k = 0; k < kEqualizerBands; ++k) {
            const EqualizerCurve& c = g.bands[k];
            if (!c.active)
                continue;
            draw(c, QPen(kBandColour[k], 1));
            // The label beside the bell's top (or bottom, for a cut).
            float peak = 0;
            for (const auto& pt : c.points)
                if (std::fabs(pt.second) > std::fabs(peak))
                    peak = pt.second;
            const QString label = QString::fromStdString(c.label);
            const double w = p.fontMetrics().horizontalAdvance(QStringLiteral("Vol x 000.00"));
            double x = std::clamp(x_of(c.centre_hz) - w / 2, left + 2, right - w);
            double y = peak >= 0 ? y_of(peak) - 14 : y_of(peak) + 2;
            y = std::clamp(y, top - 16, bottom + 2);
            p.setPen(kBandColour[k]);
            p.drawText(QRectF(x, y, w, 14), Qt::AlignCenter, label);
        }
    }

  private:
    const EqualizeDialog& model_;
};

} // namespace

namespace filtrel_ui {

EqualizerWindow::EqualizerWindow(EqualizeDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(EqualizeDialog::kCaption));
    setObjectName(QStringLiteral("EQUALIZE"));

    auto* bands = new QHBoxLayout;
    for (int k = 0; k < kEqualizerBands; ++k) {
        auto* box = new QGroupBox(QString::fromStdString(EqualizeDialog::band_title(k)), this);
        auto* grid = new QGridLayout(box);
        auto* headings = new QLabel(QString::fromLatin1(kHeadings), box);
        grid->addWidget(headings, 0, 0, 1, 3);
        DialogSlider* column[3] = {&model_.frequency[k], &model_.gain[k], &model_.width[k]};
        const int field_ids[3] = {kFrequencyField[k], kGainField[k], kWidthField[k]};
        for (int i = 0; i < 3; ++i) {
            const int id = column[i]->id;
            QSlider* s = fader(*column[i], 120, box, [this, id](int position) {
                model_.move_slider(id, position);
                after_event();
            });
            sliders_[id] = s;
            grid->addWidget(s, 1, i, Qt::AlignHCenter);
            QLabel* f = value_field(box, Qt::black, QStringLiteral("Arial"), 7, 54);
            remember(field_ids[i], f);
            fields_[field_ids[i]] = f;
            grid->addWidget(f, 2, i);
        }
        bands->addWidget(box);
    }

    graph_ = new EqualizerGraphView(model_, this);
    remember(kGraph, graph_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const struct
    {
        int id;
        const char* text;
    } texts[] = {{kOk, "OK"}, {kExit, "&Exit"}, {kSave, "&Save"}, {kHelp, "Help"}};
    for (const auto& t : texts) {
        auto* b = new QPushButton(QString::fromLatin1(t.text), this);
        remember(t.id, b);
        buttons->addWidget(b);
        const int id = t.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == kOk)
                model_.ok();
            else if (id == kExit)
                model_.exit();
            else if (id == kSave)
                model_.save();
            else
                model_.help();
            after_event();
        });
        if (t.id == kOk)
            b->setDefault(true);
    }

    auto* all = new QVBoxLayout(this);
    all->addLayout(bands);
    all->addWidget(graph_, 1);
    all->addLayout(buttons);
    refresh();
}

void EqualizerWindow::refresh()
{
    for (int k = 0; k < kEqualizerBands; ++k) {
        for (const DialogSlider* s : {&model_.frequency[k], &model_.gain[k], &model_.width[k]})
            show_fader(sliders_[s->id], *s);
        fields_[kFrequencyField[k]]->setText(QString::fromStdString(model_.frequency_field[k]));
        fields_[kGainField[k]]->setText(QString::fromStdString(model_.gain_field[k]));
        fields_[kWidthField[k]]->setText(QString::fromStdString(model_.width_field[k]));
    }
    graph_->update();
}

void EqualizerWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void EqualizerWindow::reject()
{
    if (!model_.ended())
        model_.exit();
    QDialog::done(model_.end_code());
}

} // namespace filtrel_ui

int run_equalize_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* eq = dynamic_cast<EqualizeDialog*>(&model);
    if (!eq) {
        if (!model.ended())
            model.end_dialog(kel::kIdCancel);
        return model.end_code();
    }
    eq->on_open();
    filtrel_ui::EqualizerWindow window(*eq, parent);
    window.exec();
    if (!eq->ended())
        eq->exit();
    return eq->end_code();
}
