#include "effra/ui/faders.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>

namespace effra_ui {

namespace {

// The toolkit's default style fills a slider from its minimum, the wrong way round for a
// fader whose top is its largest value; the plain style draws no fill.
QStyle* plain_style()
{
    static QStyle* style = QStyleFactory::create("Windows");
    return style;
}

} // namespace

QSlider* make_fader(QWidget* parent, int id, int minimum, int maximum, int position, int height)
{
    auto* s = new QSlider(Qt::Vertical, parent);
    s->setObjectName(id_name(id));
    s->setRange(minimum, maximum);
    s->setInvertedAppearance(true);
    s->setInvertedControls(true);
    s->setTickPosition(QSlider::TicksLeft);
    const int step = std::max(1, (maximum - minimum) / 10);
    s->setTickInterval(step);
    s->setPageStep(step);
    s->setMinimumHeight(height);
    if (QStyle* style = plain_style())
        s->setStyle(style);
    s->setValue(position);
    return s;
}

QLabel* make_readout(QWidget* parent, int id, int minimum_width)
{
    auto* l = new QLabel(parent);
    l->setObjectName(id_name(id));
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Box);
    l->setMinimumWidth(minimum_width);
    QFont font("MS Sans Serif");
    font.setPointSize(9);
    font.setBold(true);
    l->setFont(font);
    set_readout_grey(l, false);
    return l;
}

void set_readout_grey(QLabel* readout, bool grey)
{
    readout->setStyleSheet(grey ? "QLabel { color: rgb(128,128,128); background: white; }"
                                : "QLabel { color: rgb(255,0,0); background: white; }");
}

QPushButton* add_push_button(QBoxLayout* layout, QWidget* parent, const char* text, int id)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(id_name(id));
    b->setMinimumWidth(84);
    layout->addWidget(b);
    return b;
}

} // namespace effra_ui
