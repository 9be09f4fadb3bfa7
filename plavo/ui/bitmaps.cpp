#include "plavo/ui/bitmaps.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace plavo::ui {

namespace {

constexpr int kSymbolW = 24;
constexpr int kSymbolH = 16;
constexpr int kDigitW = 17;
constexpr int kDigitH = 30;
constexpr int kColonW = 8;

QPixmap blank(int w, int h, const QColor& fill)
{
    QPixmap p(w, h);
    p.fill(fill);
    return p;
}

// Transport symbols: dark glyphs normally, the pressed twin lit in green and shifted by a
// pixel so the press reads as a press.
QPixmap symbol(const QString& kind, bool pressed)
{
    QPixmap p = blank(kSymbolW, kSymbolH, Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(pressed ? QColor(0, 150, 0) : QColor(24, 24, 24));
    const qreal d = pressed ? 1 : 0;
    g.translate(d, d);
    const qreal cy = kSymbolH / 2.0 - 0.5;
    auto triangle = [&](qreal x0, qreal x1, bool right) {
        QPolygonF t;
        if (right)
            t << QPointF(x0, 2) << QPointF(x1, cy) << QPointF(x0, kSymbolH - 3);
        else
            t << QPointF(x1, 2) << QPointF(x0, cy) << QPointF(x1, kSymbolH - 3);
        g.drawPolygon(t);
    };
    if (kind == "play") {
        triangle(7, 18, true);
    } else if (kind == "pause") {
        g.drawRect(QRectF(7, 2, 3.5, kSymbolH - 5));
        g.drawRect(QRectF(13.5, 2, 3.5, kSymbolH - 5));
    } else if (kind == "stop") {
        g.drawRect(QRectF(7, 2.5, 10, 10));
    } else if (kind == "forward") {
        triangle(4, 11, true);
        triangle(11, 18, true);
        g.drawRect(QRectF(18, 2, 2, kSymbolH - 5));
    } else if (kind == "backward") {
        g.drawRect(QRectF(4, 2, 2, kSymbolH - 5));
        triangle(6, 13, false);
        triangle(13, 20, false);
    } else if (kind == "help") {
        g.setPen(QPen(g.brush().color(), 2.2, Qt::SolidLine, Qt::RoundCap));
        g.setBrush(Qt::NoBrush);
        QPainterPath q;
        q.moveTo(8.5, 5.5);
        q.cubicTo(8.5, 1.5, 15.5, 1.5, 15.5, 5.5);
        q.cubicTo(15.5, 8.5, 12, 8, 12, 11);
        g.drawPath(q);
        g.setPen(Qt::NoPen);
        g.setBrush(pressed ? QColor(0, 150, 0) : QColor(24, 24, 24));
        g.drawEllipse(QPointF(12, 14), 1.4, 1.4);
    } else if (kind == "ok") {
        g.setPen(QPen(pressed ? QColor(0, 150, 0) : QColor(0, 110, 0), 2.6, Qt::SolidLine,
                      Qt::RoundCap, Qt::RoundJoin));
        g.drawPolyline(QPolygonF() << QPointF(6, 8) << QPointF(10, 12) << QPointF(18, 3));
    } else if (kind == "cancel" || kind == "delete") {
        g.setPen(QPen(QColor(170, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        g.drawLine(QPointF(7, 3), QPointF(17, 12));
        g.drawLine(QPointF(17, 3), QPointF(7, 12));
    } else if (kind == "save" || kind == "create") {
        g.setBrush(QColor(30, 60, 140));
        g.drawRect(QRectF(6, 2, 12, 12));
        g.setBrush(Qt::white);
        g.drawRect(QRectF(8, 2, 8, 5));
        g.setBrush(QColor(200, 200, 200));
        g.drawRect(QRectF(9, 10, 6, 4));
    }
    return p;
}

// Seven-segment digits, lit green on black, with the unlit segments faintly visible.
QPixmap digit(int value)
{
    static const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                          0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    QPixmap p = blank(kDigitW, kDigitH, Qt::black);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    const qreal l = 3, r = kDigitW - 4, t = 3, b = kDigitH - 4, m = kDigitH / 2.0 - 0.5;
    const qreal w = 2.6;
    auto horizontal = [&](qreal y) {
        return QPolygonF() << QPointF(l + 1, y) << QPointF(l + w, y - w / 2)
                           << QPointF(r - w, y - w / 2) << QPointF(r - 1, y)
                           << QPointF(r - w, y + w / 2) << QPointF(l + w, y + w / 2);
    };
    auto vertical = [&](qreal x, qreal y0, qreal y1) {
        return QPolygonF() << QPointF(x, y0 + 1) << QPointF(x + w / 2, y0 + w)
                           << QPointF(x + w / 2, y1 - w) << QPointF(x, y1 - 1)
                           << QPointF(x - w / 2, y1 - w) << QPointF(x - w / 2, y0 + w);
    };
    const QPolygonF seg[7] = {horizontal(t), vertical(r, t, m), vertical(r, m, b),
                              horizontal(b), vertical(l, m, b), vertical(l, t, m),
                              horizontal(m)};
    for (int s = 0; s < 7; ++s) {
        const bool on = value >= 0 && (kSegments[value] >> s) & 1;
        g.setBrush(on ? QColor(60, 255, 60) : QColor(0, 42, 0));
        g.drawPolygon(seg[s]);
    }
    return p;
}

QPixmap colon()
{
    QPixmap p = blank(kColonW, kDigitH, Qt::black);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(60, 255, 60));
    g.drawEllipse(QPointF(kColonW / 2.0, kDigitH * 0.33), 1.6, 1.6);
    g.drawEllipse(QPointF(kColonW / 2.0, kDigitH * 0.67), 1.6, 1.6);
    return p;
}

} // namespace

QPixmap bitmap(const QString& name)
{
    static QHash<QString, QPixmap> cache;
    if (auto it = cache.find(name); it != cache.end())
        return *it;
    static const char* kDigits[] = {"zero", "one", "two",   "three", "four",
                                    "five", "six", "seven", "eight", "nine"};
    static const QHash<QString, QString> kPressed = {
        {"invplay", "play"},     {"invpause", "pause"},    {"invstop", "stop"},
        {"invfrwrd", "forward"}, {"invbkwrd", "backward"},
    };
    QPixmap made;
    for (int i = 0; i < 10; ++i)
        if (name == kDigits[i])
            made = digit(i);
    if (name == "colon")
        made = colon();
    else if (kPressed.contains(name))
        made = symbol(kPressed.value(name), true);
    else if (made.isNull())
        made = symbol(name, false);
    cache.insert(name, made);
    return made;
}

} // namespace plavo::ui
