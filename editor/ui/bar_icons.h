#pragma once
// The tool bar pictures, drawn rather than loaded: a colour and a monochrome variant of
// each, chosen by the "Color" option.
#include <QIcon>

namespace ui {

QIcon bar_icon(int command, bool color);

} // namespace ui
