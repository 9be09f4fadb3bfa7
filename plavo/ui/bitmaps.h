#pragma once
// The player's bitmaps, drawn by us: the transport symbols (each with its pressed "inv"
// twin), the dialog buttons' symbols, and the digit display's "zero" .. "nine" and "colon".
#include <QPixmap>
#include <QString>

namespace plavo::ui {

// An empty pixmap for a name we do not draw.
QPixmap bitmap(const QString& name);

} // namespace plavo::ui
