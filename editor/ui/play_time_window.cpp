#include "editor/ui/play_time_window.h"

#include "editor/devices/playback.h"

#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace ui {

PlayTimeWindow::PlayTimeWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName("PLAYRECORDTIME");
    setWindowTitle("Time");
    setModal(false);
    // Green figures read best on black.
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 6, 12, 6);
    time_ = new QLabel(this);
    time_->setObjectName("419");
    time_->setAlignment(Qt::AlignCenter);
    column->addWidget(time_);
    show_time(BigTimeText{play_time_text(0.0, 1)});
}

void PlayTimeWindow::show_time(const BigTimeText& text)
{
    QFont font(QString::fromStdString(text.face));
    // The height is given in tenths of a point, as the read-outs of the record dialog are.
    font.setPointSizeF(text.height / 10.0);
    font.setWeight(text.weight >= 700 ? QFont::Bold : QFont::Normal);
    if (time_->font() != font) {
        time_->setFont(font);
        // Wide enough for the longest form, "00:00:00:00" or " 0000.000 sec".
        const QFontMetrics m(font);
        time_->setMinimumWidth(
            std::max(m.horizontalAdvance("00:00:00:00"), m.horizontalAdvance("0000.000 sec")) + 8);
    }
    QPalette pal = time_->palette();
    const unsigned c = text.colour;
    pal.setColor(QPalette::WindowText, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    time_->setPalette(pal);
    time_->setText(QString::fromStdString(text.text));
}

} // namespace ui
