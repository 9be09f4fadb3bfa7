#include "effra/ui/compressor_dialog_window.h"

#include "effra/compressor_dialog.h"
#include "effra/ui/faders.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>

namespace effra_ui {

namespace {

// The levels marked along both axes; the read-out scale crowds the low ones together.
constexpr int kAxisLevels[] = {-50, -20, -10, -6, -3, 0};

// Where a read-out level lies along an axis of the graph (0 to 1 from the -50 dB end).
double axis_share(double db)
{
    return (std::pow(10.0, db / 24.94609929) / 0.0099009901 - 1.0) / 100.0;
}

} // namespace

TransferGraph::TransferGraph(effra::CompressorDialog& model, QWidget* parent)
    : QWidget(parent), model_(model)
{
    setObjectName(id_name(effra::CompressorDialog::kGraph));
    setFixedSize(effra::kGraphWidth, effra::kGraphHeight);
    setCursor(Qt::CrossCursor);
}

void TransferGraph::paintEvent(QPaintEvent*)
{
    const int w = width(), h = height();
    QPainter p(this);
    p.fillRect(rect(), QColor(192, 192, 192));
    p.setPen(QPen(QColor(160, 160, 160), 1, Qt::DotLine));
    for (int db : kAxisLevels) {
        const int x = static_cast<int>(axis_share(db) * w);
        const int y = h - static_cast<int>(axis_share(db) * h);
        p.drawLine(x, 0, x, h);
        p.drawLine(0, y, w, y);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(0, h - 1, w - 1, 0);
    const std::vector<effra::GraphPoint> points = model_.curve_points();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 2));
    for (size_t i = 0; i + 1 < points.size(); ++i)
        p.drawLine(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int picked = model_.selected();
    for (size_t i = 0; i < model_.points().size(); ++i) {
        const effra::GraphPoint& q = model_.points()[i];
        const QRect marker(q.x - 3, q.y - 3, 6, 6);
        p.fillRect(marker, static_cast<int>(i) == picked ? Qt::red : Qt::white);
        p.setPen(Qt::black);
        p.drawRect(marker);
    }
    p.setPen(Qt::black);
    p.drawRect(0, 0, w - 1, h - 1);
}

void TransferGraph::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    const QPoint at = event->position().toPoint();
    model_.press(at.x(), at.y());
    update();
    emit changed();
}

void TransferGraph::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const QPoint at = event->position().toPoint();
    model_.drag(at.x(), at.y());
    update();
    emit changed();
}

void TransferGraph::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
}

CompressorWindow::CompressorWindow(effra::CompressorDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    using effra::CompressorDialog;
    setObjectName(model.template_name());
    setWindowTitle(model.caption());
    auto* outer = new QHBoxLayout(this);

    // The graph with its axes: input along x, output along y, -50 dB to 0 dB.
    auto* plot = new QGridLayout;
    graph_ = new TransferGraph(model, this);
    QFont small = font();
    small.setPointSize(7);
    auto* y_axis = new QWidget(this);
    y_axis->setFixedSize(44, effra::kGraphHeight);
    auto* x_axis = new QWidget(this);
    x_axis->setFixedSize(effra::kGraphWidth, 18);
    for (int db : kAxisLevels) {
        const QString text = QString::number(db) + " dB";
        auto* xl = new QLabel(text, x_axis);
        xl->setFont(small);
        xl->adjustSize();
        const int x = static_cast<int>(axis_share(db) * effra::kGraphWidth);
        xl->move(std::clamp(x - xl->width() / 2, 0, effra::kGraphWidth - xl->width()), 2);
        auto* yl = new QLabel(text, y_axis);
        yl->setFont(small);
        yl->adjustSize();
        const int y = effra::kGraphHeight - static_cast<int>(axis_share(db) * effra::kGraphHeight);
        yl->move(40 - yl->width(),
                 std::clamp(y - yl->height() / 2, 0, effra::kGraphHeight - yl->height()));
    }
    auto* output = new QLabel("Output", this);
    output->setFont(small);
    auto* input = new QLabel("Input", this);
    input->setFont(small);
    input->setAlignment(Qt::AlignCenter);
    plot->addWidget(output, 0, 0, Qt::AlignRight);
    plot->addWidget(y_axis, 1, 0);
    plot->addWidget(graph_, 1, 1);
    plot->addWidget(x_axis, 2, 1);
    plot->addWidget(input, 3, 1);
    auto* hint = new QLabel("Click on graph to create new control points", this);
    hint->setAlignment(Qt::AlignCenter);
    plot->addWidget(hint, 4, 1);
    outer->addLayout(plot);

    auto* side = new QVBoxLayout;
    levels_ = make_readout(this, CompressorDialog::kLevels, 170);
    ratio_ = make_readout(this, CompressorDialog::kRatio, 170);
    side->addWidget(levels_);
    side->addWidget(ratio_);
    auto* attack_row = new QHBoxLayout;
    attack_row->addWidget(new QLabel("Attack", this));
    attack_ = new QSpinBox(this);
    attack_->setObjectName(id_name(CompressorDialog::kAttackField));
    attack_->setRange(CompressorDialog::kAttackMin, CompressorDialog::kAttackMax);
    attack_->setValue(model.attack());
    attack_row->addWidget(attack_);
    side->addLayout(attack_row);
    side->addSpacing(12);
    QPushButton* ok = add_push_button(side, this, "&OK", kel::kIdOk);
    QPushButton* cancel = add_push_button(side, this, "&Cancel", kel::kIdCancel);
    QPushButton* clear = add_push_button(side, this, "C&lear", CompressorDialog::kClear);
    QPushButton* save = add_push_button(side, this, "&Save", CompressorDialog::kSave);
    QPushButton* help = add_push_button(side, this, "&Help", CompressorDialog::kHelp);
    ok->setDefault(true);
    side->addStretch(1);
    outer->addLayout(side);

    connect(graph_, &TransferGraph::changed, this, [this] { refresh_readouts(); });
    connect(attack_, &QSpinBox::valueChanged, this, [this](int v) { model_.set_attack(v); });
    connect(clear, &QPushButton::clicked, this, [this] {
        model_.clear();
        graph_->update();
        refresh_readouts();
    });
    connect(save, &QPushButton::clicked, this, [this] { model_.save(); });
    connect(help, &QPushButton::clicked, this, [this] { model_.help(); });
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.ok();
        finish_if_ended();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        finish_if_ended();
    });
    refresh_readouts();
    setFixedSize(sizeHint());
}

void CompressorWindow::refresh_readouts()
{
    levels_->setText(QString::fromStdString(model_.levels_text()));
    ratio_->setText(QString::fromStdString(model_.ratio_text()));
}

void CompressorWindow::finish_if_ended()
{
    if (model_.ended())
        done(model_.end_code());
}

} // namespace effra_ui

int run_compressor_dialog(kel::DialogModel& model, QWidget* parent)
{
    auto* compressor = dynamic_cast<effra::CompressorDialog*>(&model);
    if (!compressor) {
        model.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    compressor->on_open();
    effra_ui::CompressorWindow window(*compressor, parent);
    const int code = window.exec();
    if (!compressor->ended())
        compressor->end_dialog(code == kel::kIdOk ? kel::kIdOk : kel::kIdCancel);
    return compressor->end_code();
}
