#include "editor/ui/empty_area_drop.h"

#include "editor/view/ui/section_drag.h"

#include <QDropEvent>
#include <QWidget>

namespace ui {

EmptyAreaDrop::EmptyAreaDrop(QWidget* area, Handler handler)
    : QObject(area), area_(area), handler_(std::move(handler))
{
    area_->setAcceptDrops(true);
    area_->installEventFilter(this);
}

bool EmptyAreaDrop::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != area_)
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* e = static_cast<QDropEvent*>(event);
    CChildFrame* source = section_drag_source(e->mimeData());
    // Over a document window's frame is not the empty area; dropped files go to the frame.
    if (!source || area_->childAt(e->position().toPoint())) {
        if (source) {
            e->ignore();
            return true;
        }
        return false;
    }
    e->setDropAction(Qt::CopyAction);
    e->accept();
    if (type == QEvent::Drop && handler_)
        handler_(*source);
    return true;
}

} // namespace ui
