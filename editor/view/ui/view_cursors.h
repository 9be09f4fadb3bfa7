#pragma once
// The view's own mouse cursors, drawn once at first use.
#include "editor/view/view_cursor.h"

#include <QCursor>
#include <QPixmap>

QCursor view_cursor(ViewCursor which);
// The image of a cursor (for drag feedback).
QPixmap view_cursor_pixmap(ViewCursor which);
