#include "editor/view/ui/view_cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <array>

namespace {

constexpr int kSize = 32;

void outlined(QPainter& p, const QPainterPath& path)
{
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// An I-beam with a channel letter: where a click at this height starts a highlight.
void beam(QPainter& p, const char* letter)
{
    QPainterPath path;
    path.moveTo(12, 4);
    path.lineTo(20, 4);
    path.moveTo(16, 4);
    path.lineTo(16, 28);
    path.moveTo(12, 28);
    path.lineTo(20, 28);
    outlined(p, path);
    if (letter) {
        QFont f("Sans Serif");
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                p.drawText(QRect(19 + dx, 9 + dy, 12, 12), Qt::AlignCenter, letter);
        p.setPen(Qt::black);
        p.drawText(QRect(19, 9, 12, 12), Qt::AlignCenter, letter);
    }
}

void arrow(QPainter& p)
{
    QPainterPath path;
    path.moveTo(2, 2);
    path.lineTo(2, 18);
    path.lineTo(6, 14);
    path.lineTo(9, 21);
    path.lineTo(11, 20);
    path.lineTo(8, 13);
    path.lineTo(13, 13);
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
}

// A small page under the arrow: a section being carried.
void page(QPainter& p, bool plus)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(12, 16, 14, 11);
    p.setPen(QPen(QColor(0, 0, 128), 1));
    for (int x = 14; x < 25; x += 2)
        p.drawLine(x, 21 - (x % 4), x, 22 + (x % 4));
    if (plus) {
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(26, 5, 26, 13);
        p.drawLine(22, 9, 30, 9);
    }
    p.setBrush(Qt::NoBrush);
}

QPixmap draw(ViewCursor which)
{
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (which) {
    case ViewCursor::LeftChannel:
        beam(p, "L");
        break;
    case ViewCursor::RightChannel:
        beam(p, "R");
        break;
    case ViewCursor::LeftRight: {
        beam(p, nullptr);
        QPainterPath path; // small arrows both ways
        path.moveTo(4, 16);
        path.lineTo(12, 16);
        path.moveTo(20, 16);
        path.lineTo(28, 16);
        path.moveTo(7, 13);
        path.lineTo(4, 16);
        path.lineTo(7, 19);
        path.moveTo(25, 13);
        path.lineTo(28, 16);
        path.lineTo(25, 19);
        outlined(p, path);
        break;
    }
    case ViewCursor::Watch:
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::white);
        p.drawEllipse(QPoint(16, 16), 10, 10);
        p.drawLine(16, 16, 16, 9);
        p.drawLine(16, 16, 21, 16);
        p.drawRect(13, 2, 6, 3);
        break;
    case ViewCursor::Nodrop:
        arrow(p);
        p.setPen(QPen(Qt::red, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPoint(21, 21), 7, 7);
        p.drawLine(16, 26, 26, 16);
        break;
    case ViewCursor::DragNew:
        arrow(p);
        page(p, true);
        break;
    case ViewCursor::Drag:
        arrow(p);
        page(p, false);
        break;
    case ViewCursor::Cuelist: {
        // A pointing flag: markers live up here.
        QPainterPath pole;
        pole.moveTo(8, 2);
        pole.lineTo(8, 29);
        outlined(p, pole);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 0, 0));
        p.drawPolygon(QPolygon({QPoint(9, 3), QPoint(22, 8), QPoint(9, 13)}));
        break;
    }
    case ViewCursor::Arrow:
        arrow(p);
        break;
    }
    return pm;
}

QPoint hot_spot(ViewCursor which)
{
    switch (which) {
    case ViewCursor::LeftChannel:
    case ViewCursor::RightChannel:
    case ViewCursor::LeftRight:
    case ViewCursor::Watch:
        return {16, 16};
    case ViewCursor::Cuelist:
        return {8, 29};
    default:
        return {2, 2};
    }
}

} // namespace

QPixmap view_cursor_pixmap(ViewCursor which)
{
    static std::array<QPixmap, 9> cache;
    QPixmap& pm = cache[static_cast<int>(which)];
    if (pm.isNull())
        pm = draw(which);
    return pm;
}

QCursor view_cursor(ViewCursor which)
{
    if (which == ViewCursor::Arrow)
        return QCursor(Qt::ArrowCursor);
    const QPoint hot = hot_spot(which);
    return QCursor(view_cursor_pixmap(which), hot.x(), hot.y());
}
