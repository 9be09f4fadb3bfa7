#include "filtrel/ui/dialog_widgets.h"

#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>

namespace filtrel_ui {

QWidget* ModelWindow::control(int id) const
{
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void ModelWindow::remember(int id, QWidget* widget)
{
    widget->setObjectName(QStringLiteral("control_%1").arg(id));
    controls_[id] = widget;
}

QSlider* ModelWindow::fader(const DialogSlider& model, int minimum_height, QWidget* parent,
                            std::function<void(int)> moved)
{
    auto* s = new QSlider(Qt::Vertical, parent);
    // The smallest position at the top, which is where the largest value is.
    s->setInvertedAppearance(true);
    s->setInvertedControls(true);
    s->setTickPosition(QSlider::TicksLeft);
    s->setMinimumHeight(minimum_height);
    // A plain fader: the default style's fill would grow from the top here.
    if (!fader_style_) {
        fader_style_ = QStyleFactory::create("Windows");
        if (fader_style_)
            fader_style_->setParent(this);
    }
    if (fader_style_)
        s->setStyle(fader_style_);
    show_fader(s, model);
    remember(model.id, s);
    connect(s, &QSlider::valueChanged, this, [s, moved](int v) {
        if (!s->signalsBlocked())
            moved(v);
    });
    return s;
}

void ModelWindow::show_fader(QSlider* s, const DialogSlider& model)
{
    const bool blocked = s->blockSignals(true);
    const int span = std::max(1, model.maximum - model.minimum);
    s->setRange(model.minimum, model.maximum);
    s->setTickInterval(std::max(1, span / 10));
    s->setPageStep(std::max(1, span / 20));
    s->setValue(model.position);
    s->setEnabled(model.enabled);
    s->blockSignals(blocked);
}

QLabel* ModelWindow::value_field(QWidget* parent, const QColor& text, const QString& face,
                                 int points, int width)
{
    auto* l = new QLabel(parent);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, text);
    l->setPalette(pal);
    QFont f(face);
    f.setPointSize(points);
    l->setFont(f);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(width);
    l->setFixedHeight(18);
    return l;
}

} // namespace filtrel_ui
