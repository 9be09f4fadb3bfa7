#include "editor/view/ui/waveform_image.h"

#include "common/child_frame.h"
#include "editor/view/time_ruler.h"
#include "editor/view/time_text.h"
#include "editor/view/view_state.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

// One column of a channel: the line from the previous column's last value down (or up)
// to this column's minimum, then on to its maximum.
inline void column_span(QRgb* const* rows, int x, int y_from, int y_a, int y_b, QRgb pen)
{
    const int lo = std::min({y_from, y_a, y_b});
    const int hi = std::max({y_from, y_a, y_b});
    for (int y = lo; y <= hi; ++y)
        rows[y][x] = pen;
}

void draw_channel(QImage& image, QRgb* const* rows, const std::vector<ColumnSpan>& spans, int count,
                  int full_scale, int band_top, int band_height, QRgb pen)
{
    int last = value_to_y(0, full_scale, band_top, band_height);
    for (int x = 0; x < count; ++x) {
        const int y_min = value_to_y(spans[x].min, full_scale, band_top, band_height);
        const int y_max = value_to_y(spans[x].max, full_scale, band_top, band_height);
        // The previous column's pen position counts only when it lies beyond this
        // column's own range; otherwise the span alone is the line.
        const int from = x == 0 ? y_min : last;
        column_span(rows, x, from, y_min, y_max, pen);
        last = y_max;
    }
    (void)image;
}

} // namespace

int value_to_y(int value, int full_scale, int band_top, int band_height)
{
    const int half = std::max(1, band_height / 2);
    const int centre = band_top + half;
    const double scale = static_cast<double>(half - 1) / full_scale;
    const int y = centre - static_cast<int>(value * scale);
    return std::clamp(y, band_top, band_top + std::max(0, band_height - 1));
}

void render_waveform(QImage& image, CChildFrame& doc, int screen_width, const ViewColors& colors,
                     WaveColumns& scratch)
{
    if (image.isNull())
        return;
    const int width = image.width();
    const int height = image.height();
    image.fill(to_qrgb(colors.background));
    std::vector<QRgb*> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<QRgb*>(image.scanLine(y));

    const bool stereo = doc.wave_format.channels == 2;
    const int band = stereo ? height / 2 : height;
    const QRgb grid = to_qrgb(colors.grid);
    auto hline = [&](int y, QRgb c) {
        if (y >= 0 && y < height)
            std::fill(rows[y], rows[y] + width, c);
    };
    hline(value_to_y(0, 1, 0, band), grid);
    if (stereo) {
        hline(value_to_y(0, 1, band, height - band), grid);
        hline(band - 1, to_qrgb(0x808080)); // between the two halves
    }

    compute_columns(doc, width, screen_width, scratch);
    const QRgb pen = to_qrgb(colors.data);
    const int count = std::min(scratch.count, width);
    draw_channel(image, rows.data(), scratch.left, count, scratch.full_scale, 0,
                 stereo ? band - 1 : band, pen);
    if (stereo)
        draw_channel(image, rows.data(), scratch.right, count, scratch.full_scale, band,
                     height - band, pen);
}

void paint_ruler(QPainter& p, const CChildFrame& doc, int top, int width, const ViewColors& colors)
{
    const QRect band(0, top, width, kRulerHeight);
    p.fillRect(band, QColor(0xC0, 0xC0, 0xC0));
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    p.drawLine(0, top, width, top);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, top + kRulerHeight - 1, width, top + kRulerHeight - 1);
    if (doc.current.total_samples <= 0)
        return;
    QFont font("Sans Serif");
    font.setPixelSize(10);
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int label_width = metrics.horizontalAdvance("00:00:00:00");
    const int base = top + kRulerHeight - 2;
    p.setPen(Qt::black);
    for (const RulerMark& m : ruler_marks(doc, width, label_width, time_format())) {
        if (m.major) {
            p.drawLine(m.x, base, m.x, base - 10);
            p.drawText(m.x + 2, base - 12, QString::fromStdString(m.label).trimmed());
        } else {
            p.drawLine(m.x, base, m.x, base - 4);
        }
    }
    (void)colors;
}

void paint_video_strip(QPainter& p, int width, int height)
{
    p.fillRect(0, 0, width, height, QColor(40, 40, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 200, 200));
    for (int x = 4; x < width; x += 16) {
        p.drawRect(x, 3, 8, 6);
        p.drawRect(x, height - 9, 8, 6);
    }
    p.setBrush(Qt::NoBrush);
}
