#include "editor/ui/document_window.h"

#include "editor/app/commands.h"
#include "editor/ui/command_event.h"

#include <QCloseEvent>
#include <QLinearGradient>
#include <QPainter>

namespace ui {

DocumentWindow::DocumentWindow(std::unique_ptr<CChildFrame> doc, const QString& title,
                               QWidget* parent)
    : QWidget(parent), doc_(std::move(doc))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setObjectName("CChildFrame");
    doc_->window = handle();
    doc_->view_window = handle();
    doc_->owner_window = handle();
    setMinimumSize(160, 90);
}

DocumentWindow::~DocumentWindow()
{
    // The document deletes its working, undo, redo and backup files as it goes.
    doc_.reset();
}

bool DocumentWindow::event(QEvent* e)
{
    if (e->type() == CommandEvent::type()) {
        if (static_cast<CommandEvent*>(e)->command == cmd::kRedrawDocument)
            redraw();
        return true;
    }
    return QWidget::event(e);
}

void DocumentWindow::closeEvent(QCloseEvent* e)
{
    if (doc_ && doc_->query_close() == 0) {
        e->ignore();
        return;
    }
    e->accept();
}

void DocumentWindow::redraw()
{
    update();
}

QString DocumentWindow::format_text(const CChildFrame& doc)
{
    const WaveFormat& f = doc.wave_format;
    return QString("%1 Hz, %2 bits, %3")
        .arg(f.sample_rate)
        .arg(f.bits_per_sample)
        .arg(f.channels == 2 ? "Stereo" : "Mono");
}

QString DocumentWindow::length_text(const CChildFrame& doc)
{
    const WaveFormat& f = doc.wave_format;
    const long words = doc.current.total_samples;
    const double seconds =
        f.channels && f.sample_rate ? double(words) / f.channels / f.sample_rate : 0.0;
    return QString("%1 sec, %2 sample words").arg(seconds, 7, 'f', 3).arg(words);
}

void DocumentWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0));
    // A faint grid and centre line where the waveform will be drawn.
    p.setPen(QColor(0, 70, 0));
    for (int x = 0; x < width(); x += 40)
        p.drawLine(x, 0, x, height());
    for (int y = 0; y < height(); y += 30)
        p.drawLine(0, y, width(), y);
    p.setPen(QColor(0, 150, 0));
    const int channels = doc_ && doc_->wave_format.channels == 2 ? 2 : 1;
    for (int c = 0; c < channels; ++c) {
        const int mid = height() * (2 * c + 1) / (2 * channels);
        p.drawLine(0, mid, width(), mid);
    }
    if (!doc_)
        return;
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(0, 255, 0));
    const QRect text = rect().adjusted(12, 10, -12, -10);
    p.drawText(text, Qt::AlignTop | Qt::AlignLeft, windowTitle());
    QFont small = font();
    p.setFont(small);
    p.setPen(QColor(190, 255, 190));
    const int line = QFontMetrics(f).height() + 4;
    p.drawText(text.adjusted(0, line, 0, 0), Qt::AlignTop | Qt::AlignLeft, format_text(*doc_));
    p.drawText(text.adjusted(0, line + QFontMetrics(small).height() + 2, 0, 0),
               Qt::AlignTop | Qt::AlignLeft, length_text(*doc_));
}

} // namespace ui
