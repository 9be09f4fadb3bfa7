#include "effra/ui/envelope_dialog_window.h"

#include "effra/envelope_dialog.h"
#include "effra/ui/faders.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace effra_ui {

EnvelopeCanvas::EnvelopeCanvas(effra::EnvelopeDialog& model, QWidget* parent)
    : QWidget(parent), model_(model)
{
    setObjectName(id_name(effra::EnvelopeDialog::kCanvas));
    setFixedSize(effra::kEnvelopeControlWidth, effra::kEnvelopeControlHeight);
    setMouseTracking(true);
}

void EnvelopeCanvas::paintEvent(QPaintEvent*)
{
    const effra::EnvelopeArea a = effra::EnvelopeDialog::area();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    QFont small = font();
    small.setPointSize(7);
    p.setFont(small);

    // The selection's outline, centred on the gain-1 line, in light grey.
    const double mid = a.top + a.height / 2.0;
    const auto& outline = model_.outline();
    p.setPen(QColor(200, 200, 200));
    for (int c = 0; c < a.width && c < static_cast<int>(outline.size()); ++c) {
        const double hi = mid - outline[static_cast<size_t>(c)].high * a.height / 2.0;
        const double lo = mid - outline[static_cast<size_t>(c)].low * a.height / 2.0;
        p.drawLine(QPointF(a.left + c, hi), QPointF(a.left + c, lo));
    }

    // Gain lines from 0.0 upwards in steps of 0.2, and tenths of the selection.
    QPen dotted(QColor(128, 128, 128), 1, Qt::DotLine);
    for (int k = 0; k <= 10; ++k) {
        const int y = a.bottom() - k * a.height / 10;
        p.setPen(dotted);
        p.drawLine(a.left, y, a.left + a.width, y);
        p.setPen(Qt::black);
        p.drawText(QRect(a.left - 40, y - 8, 34, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::asprintf("%-4.1f", k * 0.2));
        const int x = a.left + k * a.width / 10;
        p.setPen(dotted);
        p.drawLine(x, a.top, x, a.bottom());
        p.setPen(Qt::black);
        p.drawText(QRect(x - 20, a.bottom() + 2, 40, 14), Qt::AlignCenter, QString::number(10 * k));
    }
    p.drawRect(a.left, a.top, a.width, a.height);
    p.drawText(QRect(a.left, a.bottom() + 16, a.width, 16), Qt::AlignCenter,
               QString::asprintf("%c%s", '%', " Duration of Selection"));
    const QString amplitude = "Amplitude";
    for (int i = 0; i < amplitude.size(); ++i)
        p.drawText(QRect(6, a.top + a.height / 2 - 60 + 13 * i, 14, 13), Qt::AlignCenter,
                   amplitude.mid(i, 1));

    // Gain 1, then the curve, in red.
    p.setPen(QPen(Qt::red, 1));
    p.drawLine(a.left, a.top + a.height / 2, a.left + a.width, a.top + a.height / 2);
    const auto& curve = model_.curve();
    QPainterPath path;
    for (size_t c = 0; c < curve.size(); ++c) {
        const QPointF pt(a.left + static_cast<double>(c), a.bottom() - curve[c]);
        if (c == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    p.setPen(QPen(Qt::red, 2));
    p.drawPath(path);
}

void EnvelopeCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    const QPoint at = event->position().toPoint();
    model_.press(at.x(), at.y());
    update();
}

void EnvelopeCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    setCursor(model_.inside_area(at.x(), at.y()) ? Qt::CrossCursor : Qt::ArrowCursor);
    if (!dragging_)
        return;
    model_.drag(at.x(), at.y());
    update();
}

void EnvelopeCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    model_.release();
}

EnvelopeWindow::EnvelopeWindow(effra::EnvelopeDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    using effra::EnvelopeDialog;
    setObjectName(model.template_name());
    setWindowTitle(model.caption());
    auto* outer = new QVBoxLayout(this);
    canvas_ = new EnvelopeCanvas(model, this);
    outer->addWidget(canvas_);

    auto* row = new QHBoxLayout;
    auto* box = new QGroupBox("Channels", this);
    auto* bl = new QHBoxLayout(box);
    channels_ = new QButtonGroup(this);
    const struct
    {
        int id;
        const char* text;
    } buttons[] = {{EnvelopeDialog::kBoth, "&Both"},
                   {EnvelopeDialog::kLeft, "&Left"},
                   {EnvelopeDialog::kRight, "&Right"}};
    for (const auto& b : buttons) {
        auto* r = new QRadioButton(b.text, box);
        r->setObjectName(id_name(b.id));
        channels_->addButton(r, b.id);
        bl->addWidget(r);
    }
    channels_->button(model.checked_channel_button())->setChecked(true);
    box->setEnabled(model.channel_buttons_enabled());
    row->addWidget(box);
    row->addStretch(1);
    QPushButton* clear = add_push_button(row, this, "C&lear", EnvelopeDialog::kClear);
    QPushButton* ok = add_push_button(row, this, "&OK", kel::kIdOk);
    QPushButton* cancel = add_push_button(row, this, "&Cancel", kel::kIdCancel);
    QPushButton* help = add_push_button(row, this, "&Help", EnvelopeDialog::kHelp);
    ok->setDefault(true);
    outer->addLayout(row);

    connect(channels_, &QButtonGroup::idClicked, this,
            [this](int id) { model_.channel_button(id); });
    connect(clear, &QPushButton::clicked, this, [this] {
        model_.clear();
        canvas_->update();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.ok();
        finish_if_ended();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        finish_if_ended();
    });
    connect(help, &QPushButton::clicked, this, [this] { model_.help(); });
    setFixedSize(sizeHint());
}

void EnvelopeWindow::finish_if_ended()
{
    if (model_.ended())
        done(model_.end_code());
}

} // namespace effra_ui

int run_envelope_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* envelope = dynamic_cast<effra::EnvelopeDialog*>(&model);
    if (!envelope) {
        model.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    envelope->on_open();
    effra_ui::EnvelopeWindow window(*envelope, parent);
    const int code = window.exec();
    // The title bar's close box and Escape count as Cancel.
    if (!envelope->ended())
        envelope->end_dialog(code == kel::kIdOk ? kel::kIdOk : kel::kIdCancel);
    return envelope->end_code();
}
