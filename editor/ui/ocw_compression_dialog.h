#pragma once
// The Qt face of "OCW_FILE_COMPRESSION": five bit rates, OK, Cancel and Help.
#include "platform/ui.h"

class QWidget;

namespace ui {

// Shows the compression choices for an OcwCompressionDialog model; returns the button it
// ended with. Radio buttons are named by their control ids, "2000" .. "2004".
int run_ocw_compression_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
