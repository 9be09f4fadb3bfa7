#include "editor/sync/triggers.h"

#include "common/host_services.h"
#include "editor/commands/command_ids.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "editor/devices/record.h"
#include "platform/clock.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace synchro {

namespace ev = kel::events;
namespace mi = kel::midi_in;

TriggerSettings& trigger_settings()
{
    static TriggerSettings settings;
    return settings;
}

std::string note_name(int note)
{
    static const char* const kNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                           "F#", "G",  "G#", "A",  "A#", "B"};
    note = std::clamp(note, 0, 127);
    char text[16];
    std::snprintf(text, sizeof text, "%s%1d", kNames[note % 12], note / 12);
    return text;
}

std::function<bool(TimerCaps*)>& timer_caps_query()
{
    static std::function<bool(TimerCaps*)> query = [](TimerCaps* caps) {
        timespec res{};
        if (::clock_getres(CLOCK_MONOTONIC, &res) != 0)
            return false;
        const long ms = res.tv_sec * 1000 + res.tv_nsec / 1000000;
        caps->min_period = static_cast<unsigned>(std::max(1L, ms));
        caps->max_period = 1000000;
        return true;
    };
    return query;
}

namespace {

// Whether a note message is the trigger's note on its channel.
bool matches(const TriggerSettings& s, intptr_t packed)
{
    return mi::data1_of(packed) == s.note && (mi::status_of(packed) & 15) == s.channel - 1;
}

} // namespace

// ---- RECORDPLAYDELAY ----

RecordPlayDelayDialog::RecordPlayDelayDialog(Mode mode, const TriggerSettings& settings)
    : mode_(mode), settings_(settings), linn_(smpte_fps, smpte_drop)
{
}

RecordPlayDelayDialog::~RecordPlayDelayDialog()
{
    input_.close();
    ev::kill_timer(this, kShowTimer);
    ev::kill_timer(this, cmd::kPlayTimeTick);
    if (subscription_)
        ev::unsubscribe(subscription_);
}

std::string RecordPlayDelayDialog::title() const
{
    // LINN 9000 shares the time code's dialog; only its line differs.
    const char* what = mode_ == Mode::Delay ? "Start Delay for " : "Start MTC for ";
    return std::string(what) + (settings_.recording ? "Recording" : "Playback");
}

void RecordPlayDelayDialog::on_open()
{
    if (!subscription_)
        subscription_ = ev::subscribe(this, [this](const ev::Message& m) { on_message(m); });
    elapsed_ = play_time_text(0.0, 1);
    time_ = smpte_text(SmpteTime{});
    ev::set_timer(this, kShowTimer, 150);
}

void RecordPlayDelayDialog::click(int control)
{
    if (control == kStart)
        start();
    else if (control == kel::kIdCancel)
        finish(kel::kIdCancel);
    else if (control == kHelp)
        kel::ui().open_help("Orlo.HLP", 1893);
    if (changed)
        changed();
}

void RecordPlayDelayDialog::start()
{
    if (started_ || ended())
        return;
    if (mode_ == Mode::Delay) {
        TimerCaps caps;
        if (!timer_caps_query() || !timer_caps_query()(&caps)) {
            NewErrMsg(5012);
            return;
        }
        // Only the timer's limits are asked: the ticks are the queue's timers, which keep
        // to the millisecond counter at any resolution.
        started_at_ = kel::clock::now_ms();
        ev::set_timer(this, cmd::kPlayTimeTick, kTickMs);
    } else if (!input_.open(this)) {
        NewErrMsg(5010);
        finish(kel::kIdCancel);
        return;
    }
    started_ = true;
}

void RecordPlayDelayDialog::on_message(const ev::Message& m)
{
    if (ended())
        return;
    if (m.message == ev::kWmTimer && m.wparam == kShowTimer) {
        ev::kill_timer(this, kShowTimer);
        if (mode_ == Mode::Delay) {
            line_ = {"Press Start to begin timed delay", 100, kRed, 700};
        } else {
            line_ = {mode_ == Mode::Mtc ? "Start MTC device" : "Start LINN 9000", 100, kRed, 700};
            line2_ = {"Press Start to begin", 100, kRed, 700};
        }
    } else if ((m.message == ev::kWmTimer || m.message == ev::kWmCommand) &&
               m.wparam == static_cast<uintptr_t>(cmd::kPlayTimeTick)) {
        tick();
    } else if (m.message == mi::kMimData && input_.is_open() && m.wparam == input_.handle()) {
        midi(m.lparam);
    } else if (m.message == mi::kMimError && input_.is_open() && m.wparam == input_.handle()) {
        mtc_.interrupt();
        return;
    } else {
        return;
    }
    if (changed)
        changed();
}

void RecordPlayDelayDialog::tick()
{
    if (!started_ || mode_ != Mode::Delay)
        return;
    const uint32_t elapsed_ms = kel::clock::now_ms() - started_at_;
    elapsed_ = play_time_text(elapsed_ms / 1000.0, 1);
    if (elapsed_ms >= static_cast<uint32_t>(std::clamp(settings_.delay_seconds, 1, 100)) * 1000u) {
        finish(kel::kIdOk);
        return;
    }
    // Periodic without drift, as the multimedia timer is: the next tick is due at the next
    // multiple of the period since Start, however late this one came.
    ev::set_timer(this, cmd::kPlayTimeTick, kTickMs - elapsed_ms % kTickMs);
}

void RecordPlayDelayDialog::show_time(const SmpteTime& t)
{
    time_ = smpte_text(t);
}

void RecordPlayDelayDialog::midi(intptr_t packed)
{
    switch (midi_kind(packed)) {
    case MidiKind::QuarterFrame: {
        SmpteTime t;
        if (mode_ != Mode::Mtc || !mtc_.feed(mi::data1_of(packed), &t))
            return;
        show_time(t);
        // Time code counts whole frames; the lead-in's sub-frames cannot be told apart.
        if (smpte_seconds(t, smpte_fps) >= smpte_seconds(settings_.lead_in, smpte_fps))
            finish(kel::kIdOk);
        return;
    }
    case MidiKind::SysEx:
        mtc_.interrupt();
        return;
    case MidiKind::SongPosition:
        if (mode_ == Mode::Linn) {
            linn_.song_position(mi::data1_of(packed), mi::data2_of(packed));
            show_time(linn_.time());
        }
        return;
    case MidiKind::Clock:
        if (mode_ == Mode::Linn && linn_.clock()) {
            show_time(linn_.time());
            if (smpte_packed(linn_.time()) >= smpte_packed(settings_.lead_in))
                finish(kel::kIdOk);
        }
        return;
    default:
        return;
    }
}

void RecordPlayDelayDialog::finish(int code)
{
    ev::kill_timer(this, cmd::kPlayTimeTick);
    ev::kill_timer(this, kShowTimer);
    input_.close();
    end_dialog(code);
}

// ---- The held note ----

namespace {

struct NoteWatch
{
    MidiListener input;
    TriggerSettings settings;
    bool held = false;
    NewRecordDialog* dialog = nullptr;
    uint64_t subscription = 0;
};

NoteWatch& watch()
{
    static NoteWatch w;
    return w;
}

void end_watch()
{
    NoteWatch& w = watch();
    w.input.close();
    w.held = false;
    w.dialog = nullptr;
}

// Messages for the watch's target after its dialog has gone: a held note's Note Off.
void watch_message(const ev::Message& m)
{
    NoteWatch& w = watch();
    if (!w.held || m.message != mi::kMimData || m.wparam != w.input.handle())
        return;
    if (midi_kind(m.lparam) != MidiKind::NoteOff || !matches(w.settings, m.lparam))
        return;
    NewRecordDialog* dialog = w.dialog;
    end_watch();
    if (dialog) {
        if (dialog->recording() || dialog->playing())
            dialog->click(NewRecordDialog::kStop);
    } else {
        playback::stop();
    }
}

// Listens afresh for each trigger: the queue may have dropped its handlers meanwhile.
void* watch_target()
{
    NoteWatch& w = watch();
    if (w.subscription)
        ev::unsubscribe(w.subscription);
    w.subscription = ev::subscribe(&w, watch_message);
    return &w;
}

} // namespace

bool note_watch::active()
{
    return watch().held;
}

void note_watch::close()
{
    end_watch();
}

// ---- SEQUENCERINPUT ----

SequencerInputDialog::SequencerInputDialog(const TriggerSettings& settings) : settings_(settings) {}

SequencerInputDialog::~SequencerInputDialog()
{
    ev::kill_timer(this, kShowTimer);
    if (subscription_)
        ev::unsubscribe(subscription_);
    if (timer_subscription_)
        ev::unsubscribe(timer_subscription_);
    // Closed without firing "While note on": nothing stays open.
    if (!watch().held)
        watch().input.close();
}

std::string SequencerInputDialog::title() const
{
    return std::string("Start MIDI for ") + (settings_.recording ? "Recording" : "Playback");
}

void SequencerInputDialog::on_open()
{
    // The input reports to the held note's target, so that it can stay open after the
    // dialog when the trigger is "While note on".
    end_watch();
    void* target = watch_target();
    if (!subscription_)
        subscription_ = ev::subscribe(target, [this](const ev::Message& m) { on_message(m); });
    if (!watch().input.open(target)) {
        NewErrMsg(5010);
        finish(kel::kIdCancel);
        return;
    }
    // The show timer comes to the dialog itself.
    if (!timer_subscription_)
        timer_subscription_ = ev::subscribe(this, [this](const ev::Message& m) {
            if (m.message != ev::kWmTimer || m.wparam != kShowTimer || ended())
                return;
            ev::kill_timer(this, kShowTimer);
            char text[96];
            std::snprintf(text, sizeof text, "Waiting for Midi note %s, channel %d",
                          note_name(settings_.note).c_str(), settings_.channel);
            line_ = {text, 100, kBlue, 400};
            if (changed)
                changed();
        });
    ev::set_timer(this, kShowTimer, 150);
}

void SequencerInputDialog::click(int control)
{
    if (control == kel::kIdCancel)
        finish(kel::kIdCancel);
    else if (control == kHelp)
        kel::ui().open_help("Orlo.HLP", 1854);
    if (changed)
        changed();
}

void SequencerInputDialog::on_message(const ev::Message& m)
{
    NoteWatch& w = watch();
    if (ended() || m.message != mi::kMimData || m.wparam != w.input.handle())
        return;
    const MidiKind kind = midi_kind(m.lparam);
    if (kind != MidiKind::NoteOn && kind != MidiKind::NoteOff)
        return;
    const bool on = kind == MidiKind::NoteOn;
    char text[96];
    std::snprintf(text, sizeof text, on ? "Note %s on, channel %d" : "Note %s off, channel %d",
                  note_name(mi::data1_of(m.lparam)).c_str(), (mi::status_of(m.lparam) & 15) + 1);
    line_ = {text, 100, kRed, 400};
    if (matches(settings_, m.lparam)) {
        if (on && settings_.event == NoteEvent::WhileNoteOn) {
            w.settings = settings_;
            w.held = true;
            ev::kill_timer(this, kShowTimer);
            end_dialog(kel::kIdOk);
        } else if ((on && settings_.event == NoteEvent::NoteOn) ||
                   (!on && settings_.event == NoteEvent::NoteOff)) {
            finish(kel::kIdOk);
        }
    }
    if (changed)
        changed();
}

void SequencerInputDialog::finish(int code)
{
    ev::kill_timer(this, kShowTimer);
    end_watch();
    end_dialog(code);
}

// ---- Running a trigger ----

int run_trigger(const TriggerSettings& settings, NewRecordDialog* record_dialog)
{
    int result = kel::kIdCancel;
    switch (settings.source) {
    case TriggerSource::None:
        NewErrMsg(5011);
        return 0;
    case TriggerSource::External:
        // The outside SMPTE reader: none is attached to this program.
        NewErrMsg(5014);
        return 0;
    case TriggerSource::Delay:
    case TriggerSource::Mtc:
    case TriggerSource::Linn: {
        const auto mode =
            settings.source == TriggerSource::Delay ? RecordPlayDelayDialog::Mode::Delay
            : settings.source == TriggerSource::Mtc ? RecordPlayDelayDialog::Mode::Mtc
                                                    : RecordPlayDelayDialog::Mode::Linn;
        RecordPlayDelayDialog dialog(mode, settings);
        result = kel::ui().run_modal(dialog);
        break;
    }
    case TriggerSource::Sequencer:
    case TriggerSource::MidiKeyboard: {
        SequencerInputDialog dialog(settings);
        result = kel::ui().run_modal(dialog);
        break;
    }
    }
    if (result != kel::kIdOk) {
        end_watch();
        return 0;
    }
    if (watch().held)
        watch().dialog = record_dialog;
    if (record_dialog)
        record_dialog->click(settings.recording ? NewRecordDialog::kRecord
                                                : NewRecordDialog::kPlay);
    return 1;
}

int run_playback_trigger(const TriggerSettings& settings)
{
    TriggerSettings s = settings;
    s.recording = false;
    return run_trigger(s, nullptr);
}

void close_trigger_inputs(bool keep_note_watch)
{
    if (!keep_note_watch || !watch().held)
        end_watch();
}

} // namespace synchro
