#include "editor/sync/sync_dialog.h"

#include "common/host_services.h"
#include "editor/devices/playback.h"
#include "editor/devices/record.h"
#include "editor/devices/timemark_trigger.h"

#include <algorithm>
#include <cstdio>

namespace synchro {

namespace {

struct Range
{
    int id;
    int low;
    int high;
};

using Sync = SyncRecordPlaybackDialog;

constexpr Range kSyncRanges[] = {
    {Sync::kHourSpin, 0, 23},     {Sync::kHourSpin + 1, 0, 59}, {Sync::kHourSpin + 2, 0, 59},
    {Sync::kHourSpin + 3, 0, 23}, {Sync::kHourSpin + 4, 0, 50}, {Sync::kDelaySpin, 1, 100},
    {Sync::kDelaySlider, 1, 100}, {Sync::kChannelSpin, 1, 16},  {Sync::kNoteSpin, 0, 127},
};

const Range* find_range(const Range* begin, const Range* end, int id)
{
    for (const Range* r = begin; r != end; ++r)
        if (r->id == id)
            return r;
    return nullptr;
}

std::string number(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

void refuse(const std::string& text)
{
    kel::ui().message_box(text, "Kelvara", kel::Buttons::Ok, kel::Icon::Exclamation);
}

} // namespace

SyncHooks& sync_hooks()
{
    static SyncHooks hooks;
    return hooks;
}

// ---- SyncRecordPlayback ----

void SyncRecordPlaybackDialog::on_open()
{
    values = trigger_settings();
    for (auto& t : typed_)
        t.clear();
    typed_delay_.clear();
    typed_channel_.clear();
}

void SyncRecordPlaybackDialog::click(int control)
{
    switch (control) {
    case kExternal:
        values.source = TriggerSource::External;
        break;
    case kMtc:
        values.source = TriggerSource::Mtc;
        break;
    case kLinn:
        values.source = TriggerSource::Linn;
        break;
    case kDelay:
        values.source = TriggerSource::Delay;
        break;
    case kSequencer:
        values.source = TriggerSource::Sequencer;
        break;
    case kMidiKeyboard:
        values.source = TriggerSource::MidiKeyboard;
        if (sync_hooks().midi_keyboard)
            sync_hooks().midi_keyboard();
        break;
    case kRecording:
        values.recording = true;
        break;
    case kPlayback:
        values.recording = false;
        break;
    case kHelp:
        kel::ui().open_help("Orlo.HLP", 352);
        break;
    case kel::kIdOk:
        ok();
        break;
    case kel::kIdCancel:
        end_dialog(kel::kIdCancel);
        break;
    default:
        break;
    }
}

void SyncRecordPlaybackDialog::set_spin(int spin_id, int value)
{
    const Range* r = find_range(std::begin(kSyncRanges), std::end(kSyncRanges), spin_id);
    if (!r)
        return;
    value = std::clamp(value, r->low, r->high);
    switch (spin_id) {
    case kHourSpin:
        values.lead_in.hours = value;
        break;
    case kHourSpin + 1:
        values.lead_in.minutes = value;
        break;
    case kHourSpin + 2:
        values.lead_in.seconds = value;
        break;
    case kHourSpin + 3:
        values.lead_in.frames = value;
        break;
    case kHourSpin + 4:
        values.sub_frames = value;
        break;
    case kDelaySpin:
    case kDelaySlider:
        values.delay_seconds = value;
        typed_delay_.clear();
        break;
    case kChannelSpin:
        values.channel = value;
        typed_channel_.clear();
        break;
    case kNoteSpin:
        values.note = value;
        break;
    default:
        break;
    }
    if (spin_id >= kHourSpin && spin_id <= kHourSpin + 4)
        typed_[spin_id - kHourSpin].clear();
}

int SyncRecordPlaybackDialog::spin(int spin_id) const
{
    switch (spin_id) {
    case kHourSpin:
        return values.lead_in.hours;
    case kHourSpin + 1:
        return values.lead_in.minutes;
    case kHourSpin + 2:
        return values.lead_in.seconds;
    case kHourSpin + 3:
        return values.lead_in.frames;
    case kHourSpin + 4:
        return values.sub_frames;
    case kDelaySpin:
    case kDelaySlider:
        return values.delay_seconds;
    case kChannelSpin:
        return values.channel;
    case kNoteSpin:
        return values.note;
    default:
        return 0;
    }
}

void SyncRecordPlaybackDialog::set_event(int index)
{
    values.event = static_cast<NoteEvent>(std::clamp(index, 0, 2));
}

std::string SyncRecordPlaybackDialog::edit_text(int edit_id) const
{
    if (edit_id >= kHourEdit && edit_id <= kHourEdit + 4)
        return number(spin(kHourSpin + edit_id - kHourEdit));
    if (edit_id == kDelayEdit)
        return number(values.delay_seconds);
    if (edit_id == kChannelEdit)
        return number(values.channel);
    if (edit_id == kNoteText)
        return note_name(values.note);
    return {};
}

void SyncRecordPlaybackDialog::type(int edit_id, const std::string& text)
{
    if (edit_id >= kHourEdit && edit_id <= kHourEdit + 4)
        typed_[edit_id - kHourEdit] = text;
    else if (edit_id == kDelayEdit)
        typed_delay_ = text;
    else if (edit_id == kChannelEdit)
        typed_channel_ = text;
}

void SyncRecordPlaybackDialog::ok()
{
    static const char* const kNames[5] = {"hours", "minutes", "seconds", "frames", "sub-frames"};
    TriggerSettings v = values;
    for (int i = 0; i < 5; ++i) {
        if (typed_[i].empty())
            continue;
        const Range* r = find_range(std::begin(kSyncRanges), std::end(kSyncRanges), kHourSpin + i);
        int value = 0;
        if (!parse_smpte_field(typed_[i], r->low, r->high, &value)) {
            char text[128];
            std::snprintf(text, sizeof text, "The lead-in %s must be a number from %d to %d.",
                          kNames[i], r->low, r->high);
            refuse(text);
            return;
        }
        int* fields[5] = {&v.lead_in.hours, &v.lead_in.minutes, &v.lead_in.seconds,
                          &v.lead_in.frames, &v.sub_frames};
        *fields[i] = value;
    }
    if (!typed_delay_.empty() && !parse_smpte_field(typed_delay_, 1, 100, &v.delay_seconds)) {
        refuse("The delay must be a number of seconds from 1 to 100.");
        return;
    }
    if (!typed_channel_.empty() && !parse_smpte_field(typed_channel_, 1, 16, &v.channel)) {
        refuse("The channel must be a number from 1 to 16.");
        return;
    }
    if (v.source == TriggerSource::None) {
        NewErrMsg(5011);
        return;
    }
    values = v;
    trigger_settings() = v;
    end_dialog(kel::kIdOk);
}

// ---- SETSMPTE ----

void SetSmpteDialog::on_open()
{
    fps = smpte_fps;
    drop = smpte_drop;
    start = smpte_start_time;
    for (auto& t : typed_)
        t.clear();
}

void SetSmpteDialog::click(int control)
{
    switch (control) {
    case k24:
    case k25:
    case k30:
        fps = control == k24 ? 24 : control == k25 ? 25 : 30;
        drop = false;
        break;
    case k30Drop:
        fps = 30;
        drop = true;
        break;
    case kHelp:
        kel::ui().open_help("Orlo.HLP", 442);
        break;
    case kel::kIdOk:
        ok();
        break;
    case kel::kIdCancel:
        end_dialog(kel::kIdCancel);
        break;
    default:
        break;
    }
}

void SetSmpteDialog::set_spin(int spin_id, int value)
{
    const int i = spin_id - kHourSpin;
    if (i < 0 || i > 3)
        return;
    const int high[4] = {23, 59, 59, 29};
    int* fields[4] = {&start.hours, &start.minutes, &start.seconds, &start.frames};
    *fields[i] = std::clamp(value, 0, high[i]);
    typed_[i].clear();
}

int SetSmpteDialog::spin(int spin_id) const
{
    const int fields[4] = {start.hours, start.minutes, start.seconds, start.frames};
    const int i = spin_id - kHourSpin;
    return i >= 0 && i < 4 ? fields[i] : 0;
}

std::string SetSmpteDialog::edit_text(int edit_id) const
{
    return number(spin(kHourSpin + edit_id - kHourEdit));
}

void SetSmpteDialog::type(int edit_id, const std::string& text)
{
    const int i = edit_id - kHourEdit;
    if (i >= 0 && i < 4)
        typed_[i] = text;
}

void SetSmpteDialog::ok()
{
    // The four edits read as one time, so the rate's own limits (frames, dropped
    // labels) are checked where every typed time is.
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            text += ':';
        text += typed_[i].empty() ? number(spin(kHourSpin + i)) : typed_[i];
    }
    SmpteTime t;
    std::string message;
    if (!parse_smpte(text, fps, drop, &t, &message)) {
        refuse(message);
        return;
    }
    start = t;
    smpte_fps = fps;
    smpte_drop = drop;
    smpte_start_time = t;
    end_dialog(kel::kIdOk);
}

// ---- Running a trigger ----

void sync_record_playback(NewRecordDialog& record_dialog)
{
    SyncRecordPlaybackDialog dialog;
    if (kel::ui().run_modal(dialog) != kel::kIdOk)
        return;
    run_trigger(trigger_settings(), &record_dialog);
}

int loop_mtc_trigger()
{
    TriggerSettings s;
    s.source = TriggerSource::Mtc;
    s.recording = false;
    s.lead_in = {smpte_lead_in.hours, smpte_lead_in.minutes, smpte_lead_in.seconds,
                 smpte_lead_in.frames};
    return run_playback_trigger(s);
}

// The time-mark dialog's triggers are the playback triggers: its "Smpte" is the outside
// reader, "Midi player" the keyboard program's notes.
int timemark_trigger(const TimemarkTrigger& trigger)
{
    TriggerSettings s;
    s.recording = false;
    switch (trigger.kind) {
    case TimemarkTrigger::Kind::None:
        return 1;
    case TimemarkTrigger::Kind::Smpte:
        s.source = TriggerSource::External;
        break;
    case TimemarkTrigger::Kind::Mtc:
        s.source = TriggerSource::Mtc;
        break;
    case TimemarkTrigger::Kind::Sequencer:
        s.source = TriggerSource::Sequencer;
        break;
    case TimemarkTrigger::Kind::MidiPlayer:
        s.source = TriggerSource::MidiKeyboard;
        break;
    }
    s.lead_in = trigger.time;
    s.event = static_cast<NoteEvent>(std::clamp(trigger.event, 0, 2));
    s.channel = std::clamp(trigger.channel, 1, 16);
    s.note = std::clamp(trigger.note, 0, 127);
    return run_playback_trigger(s);
}

void install_sync_hooks()
{
    timemark_trigger_hook = timemark_trigger;
    record_hooks().sync = sync_record_playback;
    record_hooks().close_midi_input = close_trigger_inputs;
    mtc_trigger_hook = loop_mtc_trigger;
}

} // namespace synchro
