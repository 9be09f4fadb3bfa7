#include "magnel/ui/magnified_plot_window.h"

#include "magnel/magnified_plot.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace magnel_ui {

namespace {

constexpr int kBandGap = 2;

} // namespace

PlotArea::PlotArea(const magnel::MagnifiedPlotDialog& model, QWidget* parent)
    : QWidget(parent), model_(model)
{
    setObjectName("MagnifiedPlotArea");
    setFixedSize(sizeHint());
}

QSize PlotArea::sizeHint() const
{
    const int n = model_.channels();
    return {model_.width(), n * model_.channel_height() + (n - 1) * kBandGap};
}

void PlotArea::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0));
    const magnel::PlotPage& page = model_.page();
    const int h = model_.channel_height();
    const bool dots = model_.layout().pixels_per_frame >= magnel::kMinPixelsPerFrame;
    for (int c = 0; c < model_.channels(); ++c) {
        const int top = c * (h + kBandGap);
        if (c > 0)
            p.fillRect(0, top - kBandGap, width(), kBandGap, QColor(128, 128, 128));
        // Zero line and the half-scale lines.
        p.setPen(QColor(0, 96, 0));
        p.drawLine(0, top + h / 4, width(), top + h / 4);
        p.drawLine(0, top + 3 * h / 4, width(), top + 3 * h / 4);
        p.setPen(QColor(0, 160, 160));
        p.drawLine(0, top + (h - 1) / 2, width(), top + (h - 1) / 2);
        p.setPen(QColor(192, 192, 192));
        p.drawText(4, top + 14, QString::fromStdString(model_.channel_name(c)));
        if (static_cast<size_t>(c) >= page.channels.size())
            continue;
        const auto& points = page.channels[static_cast<size_t>(c)];
        p.setPen(QColor(0, 255, 0));
        for (size_t i = 1; i < points.size(); ++i)
            p.drawLine(points[i - 1].x, top + points[i - 1].y, points[i].x, top + points[i].y);
        if (dots || points.size() == 1)
            for (const magnel::PlotPoint& pt : points)
                p.fillRect(pt.x - 1, top + pt.y - 1, 3, 3, QColor(255, 255, 0));
    }
}

MagnifiedPlotWindow::MagnifiedPlotWindow(magnel::MagnifiedPlotDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("MAGNIFIEDPLOT");
    setWindowTitle(QString::fromStdString(model.caption()));
    auto* outer = new QVBoxLayout(this);
    auto* texts = new QHBoxLayout;
    start_ = new QLabel(this);
    frames_ = new QLabel(this);
    frames_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    texts->addWidget(start_);
    texts->addStretch();
    texts->addWidget(frames_);
    outer->addLayout(texts);
    plot_ = new PlotArea(model, this);
    outer->addWidget(plot_);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    const magnel::FrameRange& r = model.range();
    const long per_page = model.layout().frames_per_page;
    scroll_->setRange(0, static_cast<int>(std::max(0L, r.frame_count - per_page)));
    scroll_->setPageStep(static_cast<int>(std::max(1L, per_page)));
    scroll_->setSingleStep(1);
    outer->addWidget(scroll_);
    auto* buttons = new QHBoxLayout;
    previous_ = new QPushButton("<< &Previous", this);
    next_ = new QPushButton("&Next >>", this);
    auto* close = new QPushButton("&Close", this);
    close->setDefault(true);
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addStretch();
    buttons->addWidget(close);
    outer->addLayout(buttons);

    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
        model_.go_to(v);
        refresh();
    });
    connect(previous_, &QPushButton::clicked, this, [this] {
        model_.previous_page();
        refresh();
    });
    connect(next_, &QPushButton::clicked, this, [this] {
        model_.next_page();
        refresh();
    });
    connect(close, &QPushButton::clicked, this, [this] {
        model_.close();
        accept();
    });
    refresh();
}

void MagnifiedPlotWindow::refresh()
{
    start_->setText(QString::fromStdString(model_.start_text()));
    frames_->setText(QString::fromStdString(model_.frames_text()));
    previous_->setEnabled(model_.has_previous());
    next_->setEnabled(model_.has_next());
    {
        const QSignalBlocker block(scroll_);
        scroll_->setValue(static_cast<int>(model_.page().first_frame - model_.range().first_frame));
    }
    plot_->update();
}

} // namespace magnel_ui

int run_magnified_plot(kel::DialogModel& model, QWidget* parent)
{
    auto& m = dynamic_cast<magnel::MagnifiedPlotDialog&>(model);
    m.on_open();
    magnel_ui::MagnifiedPlotWindow w(m, parent);
    w.exec();
    if (!m.ended())
        m.close();
    return m.end_code();
}
