#include "editor/ui/control_widgets.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace ui {

using namespace kel::controls;

namespace {
constexpr int kThumbLength = 12;
constexpr int kThumbThickness = 20;
} // namespace

Fader::Fader(Qt::Orientation orientation, int control_id, QWidget* parent)
    : QWidget(parent), orientation_(orientation), id_(control_id)
{
    setObjectName(orientation == Qt::Vertical ? "MySlider32" : "HFader");
    setFocusPolicy(Qt::StrongFocus);
    register_target(handle(), this);
}

Fader::~Fader()
{
    unregister_target(handle());
}

QSize Fader::sizeHint() const
{
    return orientation_ == Qt::Vertical ? QSize(28, 140) : QSize(140, 28);
}

long Fader::on_message(unsigned message, unsigned long wparam, long lparam)
{
    const long r = model_.handle(message, wparam, lparam);
    if (message == kSetRange || message == kSetPosition)
        update();
    return r;
}

int Fader::track_length() const
{
    const int along = orientation_ == Qt::Vertical ? height() : width();
    return std::max(1, along - kThumbLength);
}

QRect Fader::thumb_rect() const
{
    const int offset = static_cast<int>(model_.fraction() * track_length() + 0.5);
    if (orientation_ == Qt::Vertical) {
        const int x = (width() - kThumbThickness) / 2;
        return QRect(x, offset, kThumbThickness, kThumbLength);
    }
    const int y = (height() - kThumbThickness) / 2;
    return QRect(offset, y, kThumbLength, kThumbThickness);
}

double Fader::fraction_at(const QPoint& p) const
{
    const int along = orientation_ == Qt::Vertical ? p.y() : p.x();
    return double(along - kThumbLength / 2) / track_length();
}

void Fader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    // The groove, with a tick every tenth of the range.
    QRect groove = orientation_ == Qt::Vertical
                       ? QRect(width() / 2 - 2, kThumbLength / 2, 4, track_length())
                       : QRect(kThumbLength / 2, height() / 2 - 2, track_length(), 4);
    painter.setPen(pal.color(QPalette::Mid));
    painter.setBrush(pal.color(QPalette::Dark));
    painter.drawRoundedRect(groove, 2, 2);
    painter.setPen(pal.color(QPalette::Mid));
    for (int i = 0; i <= 10; ++i) {
        const int at = kThumbLength / 2 + track_length() * i / 10;
        if (orientation_ == Qt::Vertical)
            painter.drawLine(2, at, 6, at);
        else
            painter.drawLine(at, height() - 6, at, height() - 2);
    }
    const QRect thumb = thumb_rect();
    QLinearGradient g(thumb.topLeft(),
                      orientation_ == Qt::Vertical ? thumb.bottomLeft() : thumb.topRight());
    g.setColorAt(0, QColor(250, 250, 250));
    g.setColorAt(1, QColor(170, 170, 170));
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(g);
    painter.drawRoundedRect(thumb.adjusted(0, 0, -1, -1), 2, 2);
    painter.setPen(QColor(60, 60, 60));
    if (orientation_ == Qt::Vertical)
        painter.drawLine(thumb.left() + 3, thumb.center().y(), thumb.right() - 3,
                         thumb.center().y());
    else
        painter.drawLine(thumb.center().x(), thumb.top() + 3, thumb.center().x(),
                         thumb.bottom() - 3);
    if (hasFocus()) {
        painter.setPen(QPen(pal.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void Fader::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    model_.position = model_.position_at(fraction_at(e->pos()));
    update();
    emit moved(id_, kNotifyMoving);
}

void Fader::mouseMoveEvent(QMouseEvent* e)
{
    if (!dragging_)
        return;
    const int before = model_.position;
    model_.position = model_.position_at(fraction_at(e->pos()));
    if (model_.position != before) {
        update();
        emit moved(id_, kNotifyMoving);
    }
}

void Fader::mouseReleaseEvent(QMouseEvent* e)
{
    if (!dragging_ || e->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    emit moved(id_, kNotifyReleased);
}

void Fader::keyPressEvent(QKeyEvent* e)
{
    int step = 0;
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_PageUp:
        step = -10;
        break;
    case Qt::Key_PageDown:
        step = 10;
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    model_.position = std::clamp(model_.position + step, model_.minimum, model_.maximum);
    update();
    emit moved(id_, kNotifyReleased);
}

// ---------------------------------------------------------------------------------------

DbGauge::DbGauge(const QString& label, QWidget* parent) : QWidget(parent), label_(label)
{
    setObjectName("DBGaugeIndicator");
    register_gauge(handle(), this);
}

DbGauge::~DbGauge()
{
    unregister_gauge(handle());
}

QSize DbGauge::sizeHint() const
{
    return QSize(22, 120);
}

void DbGauge::draw_gauge(long level, long mode, long reset)
{
    model_.draw(level, mode, reset);
    update();
}

void DbGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect area = rect().adjusted(2, 2, -3, -14);
    p.fillRect(rect(), QColor(24, 24, 24));
    // Segments of 3 dB from -48 dB (bottom) to 0 dB (top).
    const int segments = 16;
    const double level_db = GaugeModel::decibels(model_.level);
    const double peak_db = GaugeModel::decibels(model_.peak);
    const int seg_h = std::max(2, area.height() / segments);
    for (int i = 0; i < segments; ++i) {
        // Segment i covers (lower, lower + 3] dB.
        const double lower = -48.0 + 3.0 * i;
        QColor on = i >= 14   ? QColor(255, 40, 30)
                    : i >= 11 ? QColor(255, 210, 0)
                              : QColor(40, 230, 60);
        const bool lit = model_.level > 0 && level_db > lower;
        const bool peak = model_.peak > 0 && peak_db > lower && peak_db <= lower + 3.0;
        QColor c = lit || peak ? on : on.darker(400);
        const int y = area.bottom() - (i + 1) * seg_h + 1;
        p.fillRect(QRect(area.left(), y, area.width(), seg_h - 1), c);
    }
    p.setPen(QColor(200, 200, 200));
    QFont f = font();
    f.setPointSizeF(6.5);
    p.setFont(f);
    p.drawText(QRect(0, height() - 13, width(), 12), Qt::AlignCenter, label_);
}

// ---------------------------------------------------------------------------------------

VolumeIndicator::VolumeIndicator(QWidget* parent) : QWidget(parent)
{
    setObjectName("VolumeIndicator");
    register_gauge(handle(), this);
}

VolumeIndicator::~VolumeIndicator()
{
    unregister_gauge(handle());
}

QSize VolumeIndicator::sizeHint() const
{
    return QSize(130, 30);
}

void VolumeIndicator::draw_levels(long left, long right)
{
    left_ = static_cast<int>(std::clamp(left, 0L, 128L));
    right_ = static_cast<int>(std::clamp(right, 0L, 128L));
    update();
}

void VolumeIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(24, 24, 24));
    const int rows = 2;
    const int gap = 3;
    const int h = (height() - gap * (rows + 1)) / rows;
    const int segments = 16;
    const int seg_w = std::max(2, (width() - 14) / segments);
    QFont f = font();
    f.setPointSizeF(6.5);
    p.setFont(f);
    const int levels[2] = {left_, right_};
    for (int r = 0; r < rows; ++r) {
        const int y = gap + r * (h + gap);
        p.setPen(QColor(200, 200, 200));
        p.drawText(QRect(1, y, 10, h), Qt::AlignCenter, r == 0 ? "L" : "R");
        for (int k = 0; k < segments; ++k) {
            const bool lit = 8 * k < levels[r];
            QColor on = k >= 14   ? QColor(255, 0, 0)
                        : k >= 12 ? QColor(255, 180, 0)
                        : k >= 10 ? QColor(255, 255, 0)
                                  : QColor(0, 230, 0);
            p.fillRect(QRect(12 + k * seg_w, y, seg_w - 1, h), lit ? on : on.darker(450));
        }
    }
}

// ---------------------------------------------------------------------------------------

SpectrumIndicator::SpectrumIndicator(QWidget* parent) : QWidget(parent)
{
    setObjectName("170");
    bars_.fill(app::kSpectrumEmpty);
    drawn_ = bars_;
}

QSize SpectrumIndicator::sizeHint() const
{
    return QSize(16 * 7 + 4, 40);
}

void SpectrumIndicator::start_timer(int which, int ms)
{
    if (which == kTimerEmpty)
        empty_timer_.start(ms, this);
    else if (which == kTimerRedraw)
        redraw_timer_.start(ms, this);
}

void SpectrumIndicator::stop_timer(int which)
{
    if (which == kTimerEmpty)
        empty_timer_.stop();
    else if (which == kTimerRedraw)
        redraw_timer_.stop();
}

bool SpectrumIndicator::timer_running(int which) const
{
    return which == kTimerEmpty ? empty_timer_.isActive() : redraw_timer_.isActive();
}

void SpectrumIndicator::show_block(const std::vector<float>& samples)
{
    stop_timer(kTimerRedraw);
    bars_ = app::spectrum_bars(samples);
    update();
    start_timer(kTimerRedraw, 30);
}

void SpectrumIndicator::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == empty_timer_.timerId()) {
        stop_timer(kTimerEmpty);
        stop_timer(kTimerRedraw);
        bars_.fill(app::kSpectrumEmpty);
        start_timer(kTimerRedraw, 30);
    } else if (e->timerId() == redraw_timer_.timerId()) {
        // Redraw only what changed; an unchanged display needs no more ticks until the
        // next block arrives.
        if (drawn_ != bars_)
            update();
        else
            stop_timer(kTimerRedraw);
    }
}

void SpectrumIndicator::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(16, 16, 32));
    const int n = app::kSpectrumBars;
    const int w = std::max(2, (width() - 4) / n);
    const QRect area = rect().adjusted(2, 2, -2, -2);
    for (int k = 0; k < n; ++k) {
        // 33 is empty; 28 - 33 = -5 is the tallest a bar gets.
        const int filled = std::clamp(app::kSpectrumEmpty - bars_[k], 0, 38);
        const int h = area.height() * filled / 38;
        QRect bar(area.left() + k * w, area.bottom() - h + 1, w - 1, h);
        QLinearGradient g(QPointF(0, area.bottom()), QPointF(0, area.top()));
        g.setColorAt(0.0, QColor(0, 90, 255));
        g.setColorAt(0.6, QColor(0, 220, 255));
        g.setColorAt(1.0, QColor(255, 255, 255));
        p.fillRect(bar, g);
        p.fillRect(QRect(area.left() + k * w, area.top(), w - 1, area.height() - h),
                   QColor(30, 30, 60));
    }
    drawn_ = bars_;
}

} // namespace ui
