#pragma once
// The Qt faces of "NewRecord" ("Record Waveform"), "SAMPLE" and "AUTOSTOP".
#include "platform/ui.h"

class QWidget;

namespace ui {

int run_record_dialog(kel::DialogModel& model, QWidget* parent);
int run_sample_dialog(kel::DialogModel& model, QWidget* parent);
int run_auto_stop_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
