#pragma once
// "ShowSystemDevices" and "EMUSAMPLER" as windows.
#include "platform/ui.h"

class QWidget;

namespace ui {

int run_system_devices_dialog(kel::DialogModel& model, QWidget* parent);
int run_sampler_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
