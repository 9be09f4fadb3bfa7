#include "plavo/ui/widgets.h"

#include "plavo/ui/bitmaps.h"

#include <QPainter>
#include <cmath>

namespace plavo::ui {

BitmapButton::BitmapButton(const QString& normal, const QString& pressed, QWidget* parent,
                           const QString& caption)
    : QAbstractButton(parent), normal_(normal), pressed_(pressed), caption_(caption)
{
    setFocusPolicy(Qt::StrongFocus);
    if (!caption.isEmpty())
        setText(caption);
}

QSize BitmapButton::sizeHint() const
{
    return caption_.isEmpty() ? QSize(38, 28) : QSize(84, 28);
}

void BitmapButton::paintEvent(QPaintEvent*)
{
    QPainter g(this);
    const QRect r = rect();
    g.fillRect(r, QColor(192, 192, 192));
    const int l = 1, t = 1, rr = r.width() - 2, b = r.height() - 2;
    g.setPen(Qt::white);
    g.drawLine(l, t, rr, t);
    g.drawLine(l, t + 1, rr, t + 1);
    g.setPen(QColor(128, 128, 128));
    g.drawLine(l, b, rr, b);
    g.drawLine(l, b - 1, rr, b - 1);
    // The dotted lines that follow each edge.
    for (int x = l; x <= rr; x += 2) {
        g.setPen(Qt::white);
        g.drawPoint(x, t + 2);
        g.setPen(QColor(128, 128, 128));
        g.drawPoint(x, b - 2);
    }
    g.setPen(Qt::black);
    g.drawRect(r.adjusted(0, 0, -1, -1));
    const bool down = isDown();
    const QPixmap pm = bitmap(down && !pressed_.isEmpty() ? pressed_ : normal_);
    QRect area = r;
    if (!caption_.isEmpty())
        area.setWidth(r.width() / 2);
    if (!isEnabled())
        g.setOpacity(0.35);
    g.drawPixmap(area.center().x() - pm.width() / 2 + 1, area.center().y() - pm.height() / 2 + 1,
                 pm);
    if (!caption_.isEmpty()) {
        QRect right = r;
        right.setLeft(r.width() / 2 - 4);
        g.setPen(Qt::black);
        g.drawText(right.translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter, caption_);
    }
    if (hasFocus()) {
        g.setOpacity(1);
        g.setPen(QPen(Qt::black, 1, Qt::DotLine));
        g.drawRect(r.adjusted(4, 5, -5, -6));
    }
}

DigitDisplay::DigitDisplay(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DigitDisplay::set_seconds(double seconds)
{
    const QString d = QString::fromStdString(shown_digits(seconds));
    if (d != digits_) {
        digits_ = d;
        update();
    }
}

void DigitDisplay::paintEvent(QPaintEvent*)
{
    static const char* kNames[] = {"zero", "one", "two",   "three", "four",
                                   "five", "six", "seven", "eight", "nine"};
    QPainter g(this);
    g.fillRect(rect(), Qt::black);
    const QPixmap sample = bitmap("zero");
    int x = width() / 2 - 2 * sample.width() - 2;
    for (int i = 0; i < 4; ++i) {
        const QPixmap pm = bitmap(kNames[digits_.at(i).digitValue()]);
        g.drawPixmap(x, (height() - pm.height()) / 2, pm);
        x += pm.width();
        if (i == 1) {
            const QPixmap c = bitmap("colon");
            g.drawPixmap(x, (height() - c.height()) / 2, c);
            x += c.width();
        }
    }
}

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LevelMeter::set_levels(bool lit, Levels levels)
{
    lit_ = lit;
    levels_ = lit ? levels : Levels{};
    update();
}

void LevelMeter::paintEvent(QPaintEvent*)
{
    // Built off screen and copied in one piece.
    QPixmap off(size());
    off.fill(Qt::black);
    {
        QPainter g(&off);
        const int s = static_cast<int>(std::trunc((width() - 32) / 16.0 + 0.5)) - 1;
        QFont label("Arial");
        label.setPixelSize(8);
        g.setFont(label);
        auto row = [&](int y, int level, const char* name) {
            g.setPen(Qt::white);
            g.drawText(QRect(0, y, s, s), Qt::AlignCenter, name);
            for (int k = 0; k < kSegments; ++k) {
                const Rgb c = segment_colour(k, lit_ && segment_lit(k, level));
                g.fillRect(s + k * (s + 2), y, s, s, QColor(c.r, c.g, c.b));
            }
        };
        row(6, levels_.left, "L");
        row(height() - 6 - s, levels_.right, "R");
        QFont middle("MS Sans Serif");
        middle.setPixelSize(7);
        g.setFont(middle);
        g.setPen(Qt::white);
        g.drawText(QRect(0, 6 + s, width(), height() - 12 - 2 * s), Qt::AlignCenter, "LEVEL");
    }
    QPainter(this).drawPixmap(0, 0, off);
}

} // namespace plavo::ui
