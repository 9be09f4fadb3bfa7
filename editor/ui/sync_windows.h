#pragma once
// The Qt faces of the synchronisation dialogs: "SyncRecordPlayback" ("Trigger Recording
// or Playback"), "SETSMPTE" ("Set SMPTE Time"), the triggers "RECORDPLAYDELAY" and
// "SEQUENCERINPUT", and "CHASELOCK" ("Chase-lock to SMPTE").
#include "platform/ui.h"

class QWidget;

namespace ui {

int run_sync_record_playback_dialog(kel::DialogModel& model, QWidget* parent);
int run_set_smpte_dialog(kel::DialogModel& model, QWidget* parent);
int run_record_play_delay_dialog(kel::DialogModel& model, QWidget* parent);
int run_sequencer_input_dialog(kel::DialogModel& model, QWidget* parent);
int run_chase_lock_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
