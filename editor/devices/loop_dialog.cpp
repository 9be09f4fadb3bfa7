// The loop set-up dialog SETUPPLAYBACKLOOP: continuous or counted loops, and the SMPTE
// lead-in with the option to wait for MIDI time code before looped playback starts.
#include "common/child_frame.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "platform/profile.h"

#include <algorithm>
#include <cstdio>

namespace {

struct SpinRange
{
    int id;
    int low;
    int high;
};

constexpr SpinRange kRanges[] = {
    {SetupPlaybackLoopDialog::kLoopSpin, 0, 100},  {SetupPlaybackLoopDialog::kHourSpin, 0, 23},
    {SetupPlaybackLoopDialog::kMinuteSpin, 0, 59}, {SetupPlaybackLoopDialog::kSecondSpin, 0, 59},
    {SetupPlaybackLoopDialog::kFrameSpin, 0, 23},
};

int lead_in_frame_rate()
{
    const long format =
        kel::profile::read_int("Preferences", "Time format", 1, kel::profile::app_profile());
    return format == 24 || format == 25 ? static_cast<int>(format) : 30;
}

} // namespace

void SetupPlaybackLoopDialog::on_open()
{
    const PlaybackState& pb = playback_state();
    loop_counted = pb.loop_counted;
    loop_limit_ = std::clamp(pb.loop_limit, 0, 100);
    trigger = trigger_on_mtc;
    hms_f_[0] = smpte_lead_in.hours;
    hms_f_[1] = smpte_lead_in.minutes;
    hms_f_[2] = smpte_lead_in.seconds;
    hms_f_[3] = smpte_lead_in.frames;
    on_timer();
}

void SetupPlaybackLoopDialog::on_timer()
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", loop_limit_);
    edits[0] = text;
    for (int i = 0; i < 4; ++i) {
        std::snprintf(text, sizeof text, "%d", hms_f_[i]);
        edits[1 + i] = text;
    }
}

std::string SetupPlaybackLoopDialog::edit_text(int edit_id) const
{
    if (edit_id == kLoopEdit)
        return edits[0];
    if (edit_id >= kHourEdit && edit_id < kHourEdit + 4)
        return edits[1 + edit_id - kHourEdit];
    return {};
}

void SetupPlaybackLoopDialog::click(int control_id)
{
    switch (control_id) {
    case kContinuous:
        loop_counted = 0;
        break;
    case kLoopCount:
        loop_counted = 1;
        break;
    case kTriggerCheck:
        trigger = !trigger;
        break;
    case kHelp:
        kel::ui().open_help("Orlo.HLP", cmd::kSetupLoop);
        break;
    case kel::kIdOk:
        ok();
        break;
    case kel::kIdCancel:
        cancel();
        break;
    default:
        break;
    }
}

void SetupPlaybackLoopDialog::set_spin(int spin_id, int value)
{
    for (const SpinRange& r : kRanges) {
        if (r.id != spin_id)
            continue;
        value = std::clamp(value, r.low, r.high);
        if (spin_id == kLoopSpin)
            loop_limit_ = value;
        else
            hms_f_[spin_id - kHourSpin] = value;
    }
}

int SetupPlaybackLoopDialog::spin(int spin_id) const
{
    if (spin_id == kLoopSpin)
        return loop_limit_;
    if (spin_id >= kHourSpin && spin_id <= kFrameSpin)
        return hms_f_[spin_id - kHourSpin];
    return 0;
}

void SetupPlaybackLoopDialog::ok()
{
    PlaybackState& pb = playback_state();
    loop_playback_flag = 1;
    pb.loop_counted = loop_counted;
    pb.loop_limit = loop_limit_;
    smpte_lead_in.hours = hms_f_[0];
    smpte_lead_in.minutes = hms_f_[1];
    smpte_lead_in.seconds = hms_f_[2];
    smpte_lead_in.frames = hms_f_[3];
    smpte_lead_in.total_seconds = hms_f_[0] * 3600.0 + hms_f_[1] * 60.0 + hms_f_[2] +
                                  static_cast<double>(hms_f_[3]) / lead_in_frame_rate();
    trigger_on_mtc = trigger;
    if (trigger) {
        const int result = mtc_trigger_hook ? mtc_trigger_hook() : 0;
        loop_playback_flag = result;
        if (pb.time_window_shown) {
            pb.time_window_shown = false;
            playback_observer().show_time_window(false);
        }
        if (result == 0) {
            end_dialog(kel::kIdCancel);
            return;
        }
    }
    end_dialog(kel::kIdOk);
}

void SetupPlaybackLoopDialog::cancel()
{
    loop_playback_flag = 0;
    end_dialog(kel::kIdCancel);
}

int playback::setup_loop(CChildFrame& doc, const PlayRequest& request)
{
    SetupPlaybackLoopDialog dialog;
    // run_modal opens the dialog (on_open), so it starts from the current values.
    const int result = kel::ui().run_modal(dialog);
    if (result != kel::kIdOk)
        loop_playback_flag = 0; // any way out but OK is Cancel
    playback_observer().menu_check(cmd::kLoopPlayback, loop_playback_flag != 0);
    if (result != kel::kIdOk)
        return 0;
    if (trigger_on_mtc) {
        trigger_on_mtc = 0;
        playback::command(doc, cmd::kPlay, request);
    }
    return 1;
}
