#pragma once
// The Qt face of "SETUPPLAYBACKLOOP" ("Setup Playback Loop Control").
#include "platform/ui.h"

class QWidget;

namespace ui {

// Binds the loop set-up model to its dialog, runs it and returns the model's end code.
int run_setup_playback_loop_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
