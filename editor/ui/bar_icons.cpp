#include "editor/ui/bar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace ui {

namespace {

constexpr int kSize = 20;

struct Pens
{
    bool color;
    QColor ink() const { return QColor(40, 40, 40); }
    QColor pick(QColor c) const
    {
        if (color)
            return c;
        const int g = qGray(c.rgb());
        return QColor(g, g, g);
    }
};

void page(QPainter& p, const Pens& k, QRectF r, QColor fill = QColor(255, 255, 255))
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(k.ink(), 1));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void wave(QPainter& p, QColor c, QRectF r, double amp = 1.0)
{
    QPainterPath path;
    for (int i = 0; i <= 20; ++i) {
        const double x = r.left() + r.width() * i / 20.0;
        const double y = r.center().y() - amp * r.height() / 2 * std::sin(i * 0.9) *
                                              (0.4 + 0.6 * std::abs(std::cos(i * 0.37)));
        if (i == 0)
            path.moveTo(x, y);
        else
            path.lineTo(x, y);
    }
    p.setPen(QPen(c, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void floppy(QPainter& p, const Pens& k)
{
    p.setPen(QPen(k.ink(), 1));
    p.setBrush(k.pick(QColor(40, 80, 190)));
    p.drawRoundedRect(QRectF(3.5, 3.5, 13, 13), 1.5, 1.5);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(6.5, 3.5, 7, 5));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(5.5, 11, 9, 5.5));
}

void triangle(QPainter& p, QColor c, QPointF tip, double w, double h, bool right = true)
{
    QPolygonF t;
    if (right)
        t << QPointF(tip.x() - w, tip.y() - h / 2) << tip << QPointF(tip.x() - w, tip.y() + h / 2);
    else
        t << QPointF(tip.x() + w, tip.y() - h / 2) << tip << QPointF(tip.x() + w, tip.y() + h / 2);
    p.setPen(QPen(c.darker(150), 0.8));
    p.setBrush(c);
    p.drawPolygon(t);
}

void bracket(QPainter& p, QColor c, double x, bool left)
{
    p.setPen(QPen(c, 1.6));
    const double d = left ? 3 : -3;
    p.drawLine(QPointF(x, 4), QPointF(x, 16));
    p.drawLine(QPointF(x, 4), QPointF(x + d, 4));
    p.drawLine(QPointF(x, 16), QPointF(x + d, 16));
}

void curved_arrow(QPainter& p, QColor c, bool left)
{
    QPainterPath path;
    if (left) {
        path.moveTo(15, 15);
        path.cubicTo(16, 7, 10, 5, 5, 8);
    } else {
        path.moveTo(5, 15);
        path.cubicTo(4, 7, 10, 5, 15, 8);
    }
    p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    triangle(p, c, left ? QPointF(3, 8.5) : QPointF(17, 8.5), 5, 7, !left);
}

void flag(QPainter& p, const Pens& k)
{
    p.setPen(QPen(k.ink(), 1.4));
    p.drawLine(QPointF(6, 3), QPointF(6, 17));
    p.setPen(QPen(k.pick(QColor(200, 30, 30)).darker(130), 0.8));
    p.setBrush(k.pick(QColor(230, 40, 40)));
    QPolygonF f;
    f << QPointF(6.5, 3.5) << QPointF(16, 6.5) << QPointF(6.5, 10);
    p.drawPolygon(f);
}

void list_lines(QPainter& p, const Pens& k)
{
    p.setPen(QPen(k.ink(), 1));
    p.setBrush(QColor(255, 255, 250));
    p.drawRect(QRectF(3.5, 3.5, 13, 13));
    p.setPen(QPen(k.pick(QColor(30, 90, 200)), 1.4));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(6, 6.5 + 2.8 * i), QPointF(14, 6.5 + 2.8 * i));
}

void arrow(QPainter& p, QColor c, QPointF from, QPointF to, double width = 1.6)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const double a = std::atan2(to.y() - from.y(), to.x() - from.x());
    QPolygonF head;
    head << to << QPointF(to.x() - 4 * std::cos(a - 0.5), to.y() - 4 * std::sin(a - 0.5))
         << QPointF(to.x() - 4 * std::cos(a + 0.5), to.y() - 4 * std::sin(a + 0.5));
    p.setPen(QPen(c, 0.8));
    p.setBrush(c);
    p.drawPolygon(head);
}

// A sine of `cycles` whose amplitude follows `envelope` (0..1 along the width).
template <class Envelope>
void shaped_wave(QPainter& p, QColor c, QRectF r, double cycles, Envelope envelope,
                 double width = 1.2)
{
    QPainterPath path;
    const int n = 60;
    for (int i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        const QPointF at(r.left() + r.width() * t,
                         r.center().y() -
                             r.height() / 2 * envelope(t) * std::sin(2 * M_PI * cycles * t));
        if (i == 0)
            path.moveTo(at);
        else
            path.lineTo(at);
    }
    p.setPen(QPen(c, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void note(QPainter& p, QColor c, QPointF head)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(head, 2.6, 2.0);
    p.setPen(QPen(c, 1.3));
    p.drawLine(QPointF(head.x() + 2.3, head.y()), QPointF(head.x() + 2.3, head.y() - 10));
    p.drawLine(QPointF(head.x() + 2.3, head.y() - 10), QPointF(head.x() + 5, head.y() - 7.5));
}

void speaker(QPainter& p, const Pens& k, QPointF at, bool facing_right)
{
    const double s = facing_right ? 1 : -1;
    QPolygonF cone;
    cone << QPointF(at.x(), at.y() - 2) << QPointF(at.x() + s * 2, at.y() - 2)
         << QPointF(at.x() + s * 5, at.y() - 5) << QPointF(at.x() + s * 5, at.y() + 5)
         << QPointF(at.x() + s * 2, at.y() + 2) << QPointF(at.x(), at.y() + 2);
    p.setPen(QPen(k.ink(), 0.9));
    p.setBrush(k.pick(QColor(90, 90, 90)));
    p.drawPolygon(cone);
}

// The effects: each a small picture of what it does to the sound.
void effect(QPainter& p, int command, const Pens& k)
{
    const QColor green = k.pick(QColor(20, 170, 40));
    const QColor red = k.pick(QColor(215, 25, 25));
    const QColor blue = k.pick(QColor(30, 90, 210));
    const QColor orange = k.pick(QColor(230, 130, 0));
    const QColor purple = k.pick(QColor(140, 60, 190));
    const QColor dark = k.ink();
    auto flat = [](double) { return 1.0; };
    switch (command) {
    case 11500: // tempo: the wave drawn out both ways
        shaped_wave(p, blue, QRectF(2, 2, 16, 9), 2.5, flat);
        arrow(p, red, QPointF(10, 15), QPointF(2, 15));
        arrow(p, red, QPointF(10, 15), QPointF(18, 15));
        break;
    case 11501: // amplify: a wave that grows, and up
        shaped_wave(p, blue, QRectF(1, 3, 14, 14), 3, [](double t) { return 0.2 + 0.8 * t; });
        arrow(p, green, QPointF(17, 16), QPointF(17, 3));
        break;
    case 11502: // pitch: a note, up and down
        note(p, dark, QPointF(6, 15));
        arrow(p, green, QPointF(15, 10), QPointF(15, 2));
        arrow(p, red, QPointF(15, 10), QPointF(15, 18));
        break;
    case 11503: // compressor: the peaks pressed toward the middle
        shaped_wave(p, blue, QRectF(1, 6, 18, 8), 3, flat);
        arrow(p, red, QPointF(10, 0.5), QPointF(10, 5.5));
        arrow(p, red, QPointF(10, 19.5), QPointF(10, 14.5));
        break;
    case 11504: { // echo: a click and its dying repeats
        const double heights[] = {14, 9, 5.5, 3};
        for (int i = 0; i < 4; ++i) {
            const QColor c = i == 0 ? blue : blue.lighter(115 + 20 * i);
            p.setPen(QPen(c, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3 + 4.5 * i, 17), QPointF(3 + 4.5 * i, 17 - heights[i]));
        }
        p.setPen(QPen(dark, 1));
        p.drawLine(QPointF(1, 17.5), QPointF(19, 17.5));
        break;
    }
    case 11505: { // envelope: attack, decay, sustain, release over the wave
        shaped_wave(p, blue.lighter(150), QRectF(2, 3, 16, 14), 4, [](double t) {
            return t < 0.2 ? t / 0.2 : t < 0.8 ? 0.7 : 0.7 * (1 - t) / 0.2;
        });
        QPolygonF env;
        env << QPointF(2, 17) << QPointF(5, 3) << QPointF(8, 6) << QPointF(14, 6)
            << QPointF(18, 17);
        p.setPen(QPen(orange, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(env);
        break;
    }
    case 11506: { // equalizer: band sliders
        const double knobs[] = {12, 7, 10, 5};
        for (int i = 0; i < 4; ++i) {
            const double x = 4 + 4 * i;
            p.setPen(QPen(dark, 1));
            p.drawLine(QPointF(x, 3), QPointF(x, 17));
            p.setPen(QPen(dark.darker(120), 0.8));
            p.setBrush(k.pick(QColor::fromHsv(100 + 40 * i, 180, 220)));
            p.drawRect(QRectF(x - 1.8, knobs[i] - 1.5, 3.6, 3));
        }
        break;
    }
    case 11507: { // fade: the level rising along a ramp
        QPolygonF ramp;
        ramp << QPointF(2, 17) << QPointF(18, 3) << QPointF(18, 17);
        p.setPen(Qt::NoPen);
        p.setBrush(k.pick(QColor(200, 225, 255)));
        p.drawPolygon(ramp);
        shaped_wave(p, blue, QRectF(2, 3, 16, 14), 3.5, [](double t) { return t; });
        p.setPen(QPen(dark, 1));
        p.drawLine(QPointF(2, 17), QPointF(18, 3));
        break;
    }
    case 11508: // flange: the wave and its sliding copy
        shaped_wave(p, blue, QRectF(1, 4, 18, 12), 2, flat);
        shaped_wave(p, red, QRectF(3, 4, 16, 12), 1.8, flat);
        break;
    case 11509: { // filter: a low-pass response on its axes
        p.setPen(QPen(dark, 1));
        p.drawLine(QPointF(2.5, 2), QPointF(2.5, 17.5));
        p.drawLine(QPointF(2.5, 17.5), QPointF(18, 17.5));
        QPainterPath curve;
        curve.moveTo(3, 6);
        curve.lineTo(9, 6);
        curve.cubicTo(13, 6, 13, 16, 17.5, 16.5);
        p.setPen(QPen(red, 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve);
        break;
    }
    case 11510: { // modulate: a carrier inside a slower envelope
        auto am = [](double t) { return 0.25 + 0.75 * std::abs(std::sin(M_PI * 1.5 * t)); };
        shaped_wave(p, blue, QRectF(1, 3, 18, 14), 7, am, 1.0);
        QPainterPath upper;
        for (int i = 0; i <= 30; ++i) {
            const double t = i / 30.0;
            const QPointF at(1 + 18 * t, 10 - 7 * am(t));
            if (i == 0)
                upper.moveTo(at);
            else
                upper.lineTo(at);
        }
        p.setPen(QPen(orange, 1.2, Qt::DashLine));
        p.drawPath(upper);
        break;
    }
    case 11511: { // noise reduction: hiss in, clean sound out
        QPainterPath hiss;
        hiss.moveTo(1, 10);
        const double jag[] = {-3, 2.5, -1.5, 3.5, -2.5, 1.5, -3.5, 2};
        for (int i = 0; i < 8; ++i)
            hiss.lineTo(1.8 + i * 0.9, 10 + jag[i]);
        p.setPen(QPen(k.pick(QColor(150, 150, 150)), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hiss);
        arrow(p, dark, QPointF(9.5, 10), QPointF(12.5, 10), 1.2);
        shaped_wave(p, blue, QRectF(13, 5, 6, 10), 1, flat, 1.5);
        break;
    }
    case 11512: // pan: between two speakers
        speaker(p, k, QPointF(1.5, 10), true);
        speaker(p, k, QPointF(18.5, 10), false);
        arrow(p, green, QPointF(10, 10), QPointF(7, 10), 1.4);
        arrow(p, green, QPointF(10, 10), QPointF(13, 10), 1.4);
        p.setPen(QPen(dark, 1));
        p.setBrush(k.pick(QColor(250, 250, 250)));
        p.drawEllipse(QPointF(10, 10), 1.6, 1.6);
        break;
    case 11513: // shift: the wave moved on in time
        p.setPen(QPen(dark, 1, Qt::DotLine));
        p.drawLine(QPointF(2, 3), QPointF(2, 17));
        shaped_wave(p, blue, QRectF(7, 3, 12, 9), 1.5, flat);
        arrow(p, red, QPointF(2, 15), QPointF(12, 15));
        break;
    case 11514: { // reverb: a source and its reflections in a room
        p.setPen(QPen(dark, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(2, 2), QPointF(2, 18));
        p.drawLine(QPointF(2, 18), QPointF(18, 18));
        p.drawLine(QPointF(18, 18), QPointF(18, 2));
        p.setPen(Qt::NoPen);
        p.setBrush(purple);
        p.drawEllipse(QPointF(6, 13), 1.8, 1.8);
        for (int i = 1; i <= 3; ++i) {
            p.setPen(QPen(purple.lighter(100 + 25 * i), 1.2));
            p.setBrush(Qt::NoBrush);
            const double r = 3.5 * i;
            p.drawArc(QRectF(6 - r, 13 - r, 2 * r, 2 * r), -10 * 16, 110 * 16);
        }
        break;
    }
    case 11515: // reverse: the wave sent back
        shaped_wave(p, blue, QRectF(2, 9, 16, 9), 1.5, [](double t) { return 1 - 0.8 * t; });
        arrow(p, red, QPointF(17, 4), QPointF(3, 4));
        break;
    case 11516: { // spatial: a listener and a sound placed around the head
        p.setPen(QPen(dark, 1));
        p.setBrush(k.pick(QColor(245, 215, 180)));
        p.drawEllipse(QPointF(10, 12), 4, 4.5);
        QPolygonF nose;
        nose << QPointF(8.5, 7.8) << QPointF(10, 5.8) << QPointF(11.5, 7.8);
        p.drawPolygon(nose);
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawEllipse(QPointF(16.5, 4), 2, 2);
        p.setPen(QPen(red, 1));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(11, 1, 8, 8), 180 * 16, 90 * 16);
        break;
    }
    case 11517: { // tones: a tuning fork and its ring
        p.setPen(QPen(dark, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath fork;
        fork.moveTo(6, 2);
        fork.lineTo(6, 9);
        fork.cubicTo(6, 12.5, 12, 12.5, 12, 9);
        fork.lineTo(12, 2);
        p.drawPath(fork);
        p.drawLine(QPointF(9, 11.6), QPointF(9, 18));
        p.setPen(QPen(orange, 1.1));
        p.drawArc(QRectF(12, 2, 5, 7), -60 * 16, 120 * 16);
        p.drawArc(QRectF(12, 0.5, 8, 10), -60 * 16, 120 * 16);
        break;
    }
    case 11518: // insert silence: a flat stretch let into the wave
        wave(p, blue, QRectF(1, 6, 6, 10));
        p.fillRect(QRectF(7, 6, 6, 10), k.pick(QColor(190, 210, 255)));
        p.setPen(QPen(blue, 1.3));
        p.drawLine(QPointF(7, 11), QPointF(13, 11));
        wave(p, blue, QRectF(13, 6, 6, 10));
        {
            QPolygonF caret;
            caret << QPointF(7, 0.5) << QPointF(13, 0.5) << QPointF(10, 5);
            p.setPen(QPen(red.darker(150), 0.8));
            p.setBrush(red);
            p.drawPolygon(caret);
        }
        break;
    default:
        break;
    }
}

void draw(QPainter& p, int command, const Pens& k)
{
    const QColor green = k.pick(QColor(20, 170, 40));
    const QColor red = k.pick(QColor(215, 25, 25));
    const QColor blue = k.pick(QColor(30, 90, 210));
    const QColor dark = k.ink();
    switch (command) {
    case 11200: // new file
        page(p, k, QRectF(4.5, 2.5, 11, 15));
        p.setPen(QPen(k.pick(QColor(240, 180, 0)), 1.6));
        p.drawLine(QPointF(13, 12), QPointF(17, 16));
        p.drawLine(QPointF(17, 12), QPointF(13, 16));
        p.drawLine(QPointF(15, 11.5), QPointF(15, 16.5));
        break;
    case 11201: { // open
        p.setPen(QPen(dark, 1));
        p.setBrush(k.pick(QColor(240, 200, 80)));
        QPolygonF back;
        back << QPointF(2.5, 5.5) << QPointF(7.5, 5.5) << QPointF(9, 7) << QPointF(16.5, 7)
             << QPointF(16.5, 15.5) << QPointF(2.5, 15.5);
        p.drawPolygon(back);
        p.setBrush(k.pick(QColor(255, 225, 120)));
        QPolygonF front;
        front << QPointF(2.5, 15.5) << QPointF(5, 9.5) << QPointF(18.5, 9.5) << QPointF(16.5, 15.5);
        p.drawPolygon(front);
        break;
    }
    case 11202:
        floppy(p, k);
        break;
    case 11203:
        floppy(p, k);
        p.setPen(QPen(k.pick(QColor(230, 120, 0)), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 17), QPointF(18, 10));
        break;
    case 11204:
        floppy(p, k);
        p.fillRect(QRectF(1, 12, 18, 3), k.pick(QColor(255, 230, 0, 200)));
        break;
    case 57602: // close
        page(p, k, QRectF(4.5, 2.5, 11, 15));
        p.setPen(QPen(red, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 8), QPointF(13, 14));
        p.drawLine(QPointF(13, 8), QPointF(7, 14));
        break;
    case 11301: // clear: silence in the highlight
        p.fillRect(QRectF(6, 3, 8, 14), k.pick(QColor(190, 210, 255)));
        wave(p, blue, QRectF(1, 4, 5, 12));
        p.setPen(QPen(blue, 1.3));
        p.drawLine(QPointF(6, 10), QPointF(14, 10));
        wave(p, blue, QRectF(14, 4, 5, 12));
        break;
    case 11302: // crop
        p.setPen(QPen(dark, 1.8));
        p.drawLine(QPointF(5, 2), QPointF(5, 15));
        p.drawLine(QPointF(5, 15), QPointF(18, 15));
        p.drawLine(QPointF(2, 5), QPointF(15, 5));
        p.drawLine(QPointF(15, 5), QPointF(15, 18));
        wave(p, blue, QRectF(6, 6, 8, 8));
        break;
    case 1881: // trim
        bracket(p, dark, 4, true);
        bracket(p, dark, 16, false);
        wave(p, blue, QRectF(5, 4, 10, 12));
        break;
    case 11303: // cut
        p.setPen(QPen(dark, 1.4));
        p.drawLine(QPointF(6, 2), QPointF(13, 13));
        p.drawLine(QPointF(14, 2), QPointF(7, 13));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(red, 1.6));
        p.drawEllipse(QPointF(6, 15), 2.6, 2.6);
        p.drawEllipse(QPointF(14, 15), 2.6, 2.6);
        break;
    case 11304: // copy
        page(p, k, QRectF(2.5, 2.5, 9, 11));
        page(p, k, QRectF(8.5, 6.5, 9, 11));
        wave(p, blue, QRectF(9.5, 9, 7, 6), 0.8);
        break;
    case 11305: // paste
    case 11309: // play clipboard
        p.setPen(QPen(dark, 1));
        p.setBrush(k.pick(QColor(190, 130, 60)));
        p.drawRoundedRect(QRectF(3.5, 3.5, 12, 14), 1.5, 1.5);
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(5.5, 6.5, 8, 9));
        p.setBrush(k.pick(QColor(150, 150, 150)));
        p.drawRect(QRectF(7, 2, 5, 3));
        if (command == 11309)
            triangle(p, green, QPointF(18.5, 13), 7, 8);
        else
            wave(p, blue, QRectF(6, 8, 7, 6), 0.8);
        break;
    case 11306: // replace
        page(p, k, QRectF(3.5, 2.5, 12, 15));
        p.setPen(QPen(red, 2));
        p.drawLine(QPointF(6, 10), QPointF(13, 10));
        triangle(p, red, QPointF(17, 10), 5, 7);
        break;
    case 11307: // mix
        wave(p, blue, QRectF(1, 2, 18, 8));
        wave(p, green, QRectF(1, 10, 18, 8));
        p.setPen(QPen(red, 2));
        p.drawLine(QPointF(10, 6), QPointF(10, 14));
        p.drawLine(QPointF(6, 10), QPointF(14, 10));
        break;
    case 11400: // record
        p.setPen(QPen(red.darker(160), 1));
        p.setBrush(red);
        p.drawEllipse(QPointF(10, 10), 6, 6);
        break;
    case 11404: { // loop
        p.setPen(QPen(green, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 4, 14, 12), 30 * 16, 300 * 16);
        triangle(p, green, QPointF(17.5, 5.5), 5, 6);
        break;
    }
    case 11401: // play
    case 1037:
        if (command == 1037)
            list_lines(p, k);
        triangle(p, green, QPointF(command == 1037 ? 19 : 16, command == 1037 ? 13 : 10),
                 command == 1037 ? 8 : 11, command == 1037 ? 9 : 13);
        break;
    case 11402: // pause
        p.setPen(Qt::NoPen);
        p.setBrush(k.pick(QColor(230, 170, 0)));
        p.drawRect(QRectF(5, 4, 3.5, 12));
        p.drawRect(QRectF(11.5, 4, 3.5, 12));
        break;
    case 11403: // stop
        p.setPen(QPen(dark, 1));
        p.setBrush(k.pick(QColor(60, 60, 60)));
        p.drawRect(QRectF(4.5, 4.5, 11, 11));
        break;
    case 11800: // go to beginning
        p.fillRect(QRectF(3, 4, 2, 12), dark);
        triangle(p, blue, QPointF(5, 10), 10, 12, false);
        break;
    case 11801: // go to end
        p.fillRect(QRectF(15, 4, 2, 12), dark);
        triangle(p, blue, QPointF(15, 10), 10, 12, true);
        break;
    case 11900: // review
        triangle(p, blue, QPointF(1, 10), 8, 11, false);
        triangle(p, blue, QPointF(9, 10), 8, 11, false);
        break;
    case 11901: // cue
        triangle(p, blue, QPointF(19, 10), 8, 11, true);
        triangle(p, blue, QPointF(11, 10), 8, 11, true);
        break;
    case 11902:
    case 11903:
        bracket(p, dark, 9, true);
        triangle(p, red, command == 11902 ? QPointF(1, 10) : QPointF(19, 10), 7, 9,
                 command == 11903);
        break;
    case 11904:
    case 11905:
        bracket(p, dark, 11, false);
        triangle(p, red, command == 11904 ? QPointF(1, 10) : QPointF(19, 10), 7, 9,
                 command == 11905);
        break;
    case 11600:
        curved_arrow(p, blue, true);
        break;
    case 11601:
        curved_arrow(p, blue, false);
        break;
    case 11700:
        flag(p, k);
        break;
    case 11701:
        flag(p, k);
        p.setPen(QPen(dark, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 12), QPointF(17, 18));
        p.drawLine(QPointF(17, 12), QPointF(11, 18));
        break;
    case 353:
        list_lines(p, k);
        break;
    default:
        if (command >= 11500 && command <= 11518) {
            effect(p, command, k);
        } else {
            p.setPen(QPen(dark, 1));
            p.setBrush(QColor(230, 230, 230));
            p.drawRect(QRectF(3.5, 3.5, 13, 13));
        }
    }
}

} // namespace

QIcon bar_icon(int command, bool color)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(kSize * scale, kSize * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, command, Pens{color});
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace ui
