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
            // Effects: a coloured badge with its letters.
            const int hue = ((command - 11500) * 37) % 360;
            QColor fill = k.pick(QColor::fromHsv(hue, 150, 225));
            p.setPen(QPen(fill.darker(170), 1));
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(1.5, 2.5, 17, 15), 3.5, 3.5);
            QFont f("DejaVu Sans");
            f.setPixelSize(9);
            f.setBold(true);
            p.setFont(f);
            p.setPen(QColor(20, 20, 20));
            p.drawText(QRectF(1, 2, 18, 16), Qt::AlignCenter, effect_badge(command));
        } else {
            p.setPen(QPen(dark, 1));
            p.setBrush(QColor(230, 230, 230));
            p.drawRect(QRectF(3.5, 3.5, 13, 13));
        }
    }
}

} // namespace

const char* effect_badge(int command)
{
    switch (command) {
    case 11500:
        return "Tm";
    case 11501:
        return "Am";
    case 11502:
        return "Pi";
    case 11503:
        return "Co";
    case 11504:
        return "Ec";
    case 11505:
        return "En";
    case 11506:
        return "Eq";
    case 11507:
        return "Fa";
    case 11508:
        return "Fl";
    case 11509:
        return "Fi";
    case 11510:
        return "Mo";
    case 11511:
        return "NR";
    case 11512:
        return "Pa";
    case 11513:
        return "Sh";
    case 11514:
        return "Rv";
    case 11515:
        return "Re";
    case 11516:
        return "Sp";
    case 11517:
        return "To";
    case 11518:
        return "Si";
    default:
        return "";
    }
}

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
