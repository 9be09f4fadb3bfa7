#include "editor/view/ui/play_bar.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>

namespace {

// The 10 x 10 images of the "PLAYBAR" strip, drawn here.
QIcon button_image(int id)
{
    QPixmap pm(10, 10);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    switch (id) {
    case 11401: // play
        p.setBrush(QColor(0, 128, 0));
        p.drawPolygon(QPolygon({QPoint(2, 0), QPoint(9, 5), QPoint(2, 10)}));
        break;
    case 11402: // pause
        p.drawRect(2, 1, 2, 8);
        p.drawRect(6, 1, 2, 8);
        break;
    case 11403: // stop
        p.setBrush(QColor(128, 0, 0));
        p.drawRect(1, 1, 8, 8);
        break;
    case 11404: // loop: an arrow going round
        p.setPen(QPen(QColor(0, 0, 128), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(1, 1, 8, 8, 60 * 16, 300 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        p.drawPolygon(QPolygon({QPoint(6, 0), QPoint(9, 2), QPoint(6, 4)}));
        break;
    case 1898: // zoom in: magnifier with a plus
    case 1899:
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawEllipse(0, 0, 7, 7);
        p.drawLine(6, 6, 9, 9);
        p.drawLine(2, 3, 5, 3);
        if (id == 1898)
            p.drawLine(3, 2, 3, 5);
        break;
    default:
        break;
    }
    return QIcon(pm);
}

} // namespace

PlayBar::PlayBar(bool tool_tips, QWidget* parent)
    : QWidget(parent), slots_{{11401, "Play", nullptr},   {11402, "Pause", nullptr},
                              {11403, "Stop", nullptr},   {11404, "Loop playback", nullptr},
                              {1898, "Zoom In", nullptr}, {1899, "Zoom Out (UnZoom)", nullptr}}
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    bar_ = new QToolBar(this);
    bar_->setObjectName("PLAYBAR");
    bar_->setIconSize(QSize(10, 10));
    bar_->setMovable(false);
    bar_->setFloatable(false);
    bar_->setContentsMargins(0, 0, 0, 0);
    bar_->setStyleSheet("QToolBar { spacing: 0px; padding: 0px; border: 0px; }");
    for (int i = 0; i < 6; ++i) {
        if (i == 4)
            bar_->addSeparator();
        Slot& s = slots_[i];
        s.action = bar_->addAction(button_image(s.id), QString::fromLatin1(s.tip));
        s.action->setData(s.id);
        if (auto* button = qobject_cast<QToolButton*>(bar_->widgetForAction(s.action))) {
            button->setFixedSize(17, 16);
            button->setObjectName(QString::number(s.id));
            button->installEventFilter(this);
        }
        const int id = s.id;
        connect(s.action, &QAction::triggered, this, [this, id] { emit command(id); });
    }
    set_tool_tips(tool_tips);
    row->addWidget(bar_);

    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setRange(0, 100);
    row->addWidget(scroll_, 1);

    readout_ = new QLabel(this);
    readout_->setObjectName("zoom_readout");
    readout_->setAlignment(Qt::AlignCenter);
    QFont font("Sans Serif");
    font.setPointSize(6); // -(60 x pixels per inch / 720) high
    font.setWeight(QFont::Normal);
    readout_->setFont(font);
    readout_->setFixedWidth(40);
    readout_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    row->addWidget(readout_);
}

QAction* PlayBar::action(int command) const
{
    for (const Slot& s : slots_)
        if (s.id == command)
            return s.action;
    return nullptr;
}

void PlayBar::set_tool_tips(bool on)
{
    tool_tips_ = on;
}

bool PlayBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !tool_tips_)
        return true;
    return QWidget::eventFilter(watched, event);
}
