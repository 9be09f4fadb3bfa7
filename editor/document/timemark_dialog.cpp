#include "editor/document/timemark_dialog.h"

#include "common/child_frame.h"
#include "editor/devices/playback_controller.h"
#include "editor/document/markers.h"
#include "editor/document/repaint.h"
#include "editor/files/outside_program.h"
#include "editor/sync/smpte.h"
#include "editor/sync/triggers.h"
#include "editor/view/time_text.h"
#include "editor/view/view_state.h"
#include "platform/paths.h"
#include "platform/process.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr const char* kCaption = "Kelvara";

void tell(const std::string& text)
{
    kel::ui().message_box(text, kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
}

long channels_of(const CChildFrame& doc)
{
    return std::max<long>(1, doc.wave_format.channels);
}

// The sibling keyboard program: its own name in the program directory, else our
// build's lower-case name.
std::string keyboard_program()
{
    const std::string own = kel::paths::program_dir() + "MIDIKEYB.EXE";
    if (access(own.c_str(), X_OK) == 0)
        return own;
    return outside_program_path("midikeyb");
}

} // namespace

TimemarkDialog::TimemarkDialog(CChildFrame& doc, int start) : doc_(doc)
{
    const int count = markers_of(doc_).count();
    start_ = count == 0 ? -1 : std::clamp(start, 0, count - 1);
    refill();
}

std::string TimemarkDialog::title() const
{
    return std::string(kTitlePrefix) + doc_.file_title;
}

void TimemarkDialog::refill()
{
    MarkerTable& t = markers_of(doc_);
    combo_.clear();
    for (int i = 0; i < t.count(); ++i)
        if (i != start_)
            combo_.push_back(i);
    combo_selection_ = -1;
    start_name = start_ >= 0 ? t.entries[start_].name : std::string();
    end_name.clear();
    const long channels = channels_of(doc_);
    const long start_at = start_ >= 0 ? t.entries[start_].position : 0;
    const int partner = start_ >= 0 ? t.entries[start_].partner : -1;
    if (partner >= 0 && partner < t.count()) {
        // A pair opens on its end.
        mode_ = EndMode::Existing;
        combo_selection_ =
            static_cast<int>(std::find(combo_.begin(), combo_.end(), partner) - combo_.begin());
        end_name = t.entries[partner].name;
    } else {
        mode_ = EndMode::NewMarker;
    }
    // A new end goes to the end of the highlight when that lies after the start, else
    // to the end of the sound.
    const FileSlot& s = doc_.current;
    new_end_ = s.has_selection && s.select_end > start_at ? s.select_end : s.total_samples;
    new_end_ -= new_end_ % channels;
}

void TimemarkDialog::set_start(int index)
{
    const MarkerTable& t = markers_of(doc_);
    if (t.count() == 0 || index < 0 || index >= t.count() || index == start_)
        return;
    start_ = index;
    refill();
    move_view_to(t.entries[start_].position);
}

std::string TimemarkDialog::start_time_text() const
{
    if (start_ < 0)
        return {};
    return position_text(doc_, markers_of(doc_).entries[start_].position, time_format());
}

std::vector<std::string> TimemarkDialog::combo_texts() const
{
    const MarkerTable& t = markers_of(doc_);
    std::vector<std::string> out;
    for (int i : combo_)
        out.push_back(marker_description(
            t.entries[i], position_text(doc_, t.entries[i].position, time_format())));
    return out;
}

void TimemarkDialog::select_combo(int entry)
{
    if (entry < 0 || entry >= static_cast<int>(combo_.size())) {
        combo_selection_ = -1;
        return;
    }
    combo_selection_ = entry;
    mode_ = EndMode::Existing;
    const Marker& m = markers_of(doc_).entries[combo_[entry]];
    end_name = m.name;
    move_view_to(m.position);
}

int TimemarkDialog::stop_scroll_maximum() const
{
    if (mode_ == EndMode::Existing)
        return std::max(0, static_cast<int>(combo_.size()) - 1);
    return static_cast<int>(
        std::min<long>(doc_.current.total_samples / channels_of(doc_), 0x7fffffffL));
}

int TimemarkDialog::stop_scroll_value() const
{
    if (mode_ == EndMode::Existing)
        return std::max(0, combo_selection_);
    return static_cast<int>(new_end_ / channels_of(doc_));
}

void TimemarkDialog::set_stop_scroll(int value)
{
    if (mode_ == EndMode::Existing) {
        select_combo(std::clamp(value, 0, static_cast<int>(combo_.size()) - 1));
        return;
    }
    const long channels = channels_of(doc_);
    new_end_ = std::clamp(static_cast<long>(value) * channels, 0L,
                          doc_.current.total_samples / channels * channels);
    move_view_to(new_end_);
}

long TimemarkDialog::stop_position() const
{
    if (mode_ == EndMode::NewMarker)
        return new_end_;
    if (combo_selection_ < 0)
        return -1;
    return markers_of(doc_).entries[combo_[combo_selection_]].position;
}

std::string TimemarkDialog::stop_time_text() const
{
    const long at = stop_position();
    return at < 0 ? std::string() : position_text(doc_, at, time_format());
}

bool TimemarkDialog::type_stop_time(const std::string& text)
{
    const int rate = smpte_frame_rate(time_format());
    SmpteTime t;
    std::string error;
    if (!parse_smpte_time(text, rate, t, &error)) {
        tell(error);
        return false;
    }
    const double seconds = smpte_seconds(t, rate);
    if (seconds > position_seconds(doc_, doc_.current.total_samples)) {
        tell("The time lies beyond the end of the sound.");
        return false;
    }
    const long channels = channels_of(doc_);
    const long at = seconds_to_samples(doc_, seconds);
    mode_ = EndMode::NewMarker;
    new_end_ = at - at % channels;
    move_view_to(new_end_);
    return true;
}

void TimemarkDialog::move_view_to(long position)
{
    // The marker comes to rest a little in from the left edge.
    const long channels = channels_of(doc_);
    long first = std::max(0L, position - words_for_pixels(doc_, 40.0));
    doc_.first_visible = first - first % channels;
    repaint_document(&doc_);
}

bool TimemarkDialog::interval(long& from, long& to) const
{
    if (start_ < 0)
        return false;
    from = markers_of(doc_).entries[start_].position;
    to = stop_position();
    return to > from;
}

void TimemarkDialog::highlight()
{
    if (start_ < 0)
        return;
    long from = 0, to = 0;
    FileSlot& s = doc_.current;
    if (interval(from, to)) {
        s.select_start = from;
        s.select_end = to;
        s.has_selection = 1;
    } else {
        s.select_start = s.select_end = from;
        s.has_selection = 0;
    }
    sync_selection_x(doc_);
    repaint_document(&doc_);
}

int TimemarkDialog::play(bool loop)
{
    if (start_ < 0)
        return 0;
    TimemarkTrigger t;
    if (!trigger(t))
        return 0;
    if (t.kind != TimemarkTrigger::Kind::None) {
        if (!timemark_trigger_hook) {
            tell("Playback cannot wait for this trigger here: choose \"No trigger\" to play "
                 "the interval at once.");
            return 0;
        }
        if (!timemark_trigger_hook(t))
            return 0;
    }
    long from = 0, to = 0;
    PlayRequest request;
    if (interval(from, to))
        highlight();
    else
        request.from = markers_of(doc_).entries[start_].position;
    return loop ? playback::start_loop(doc_, request) : playback::start(doc_, request);
}

void TimemarkDialog::delete_interval()
{
    if (start_ < 0)
        return;
    MarkerTable& t = markers_of(doc_);
    const int partner = t.entries[start_].partner;
    // The later index first, so the other stays where it is.
    if (partner > start_ && partner < t.count()) {
        delete_marker(doc_, partner);
        delete_marker(doc_, start_);
    } else {
        delete_marker(doc_, start_);
        if (partner >= 0 && partner < start_)
            delete_marker(doc_, partner);
    }
    start_ = t.count() == 0 ? -1 : std::min(start_, t.count() - 1);
    refill();
    repaint_document(&doc_);
}

void TimemarkDialog::set_event(int event)
{
    trigger_.event = std::clamp(event, 0, 2);
}

void TimemarkDialog::set_channel(int channel)
{
    trigger_.channel = std::clamp(channel, 1, 16);
}

void TimemarkDialog::set_note(int note)
{
    trigger_.note = std::clamp(note, 0, 127);
}

std::string TimemarkDialog::note_name(int note)
{
    return synchro::note_name(note);
}

bool TimemarkDialog::trigger(TimemarkTrigger& out) const
{
    out = trigger_;
    out.frame_rate = synchro::smpte_fps;
    if (out.kind != TimemarkTrigger::Kind::Smpte && out.kind != TimemarkTrigger::Kind::Mtc)
        return true;
    std::string error;
    if (!parse_smpte_fields(smpte_fields[0], smpte_fields[1], smpte_fields[2], smpte_fields[3],
                            out.frame_rate, out.time, &error)) {
        tell(error);
        return false;
    }
    return true;
}

bool TimemarkDialog::keyboard_running() const
{
    return keyboard_process_ != 0 && !kel::process::has_exited(keyboard_process_);
}

void TimemarkDialog::show_keyboard(bool show)
{
    if (!show) {
        if (keyboard_running())
            kel::process::kill_started(keyboard_process_);
        keyboard_process_ = 0;
        return;
    }
    // Already up: nothing more to start.
    if (keyboard_running())
        return;
    keyboard_process_ = kel::process::start({keyboard_program()}, true);
    if (keyboard_process_ == 0)
        tell("The MIDI keyboard program could not be started.");
}

void TimemarkDialog::choose_trigger(TimemarkTrigger::Kind kind)
{
    const bool was_player = trigger_.kind == TimemarkTrigger::Kind::MidiPlayer;
    trigger_.kind = kind;
    const bool is_player = kind == TimemarkTrigger::Kind::MidiPlayer;
    if (is_player != was_player || is_player)
        show_keyboard(is_player);
}

void TimemarkDialog::click(int control_id)
{
    switch (control_id) {
    case kMakeNew:
        mode_ = EndMode::NewMarker;
        break;
    case kUseExisting:
        mode_ = EndMode::Existing;
        break;
    case kDelete:
        delete_interval();
        break;
    case kHighlight:
        highlight();
        break;
    case kPlay:
        play(false);
        break;
    case kPlayLoop:
        play(true);
        break;
    case kNoTrigger:
        choose_trigger(TimemarkTrigger::Kind::None);
        break;
    case kSmpte:
        choose_trigger(TimemarkTrigger::Kind::Smpte);
        break;
    case kMtc:
        choose_trigger(TimemarkTrigger::Kind::Mtc);
        break;
    case kSequencer:
        choose_trigger(TimemarkTrigger::Kind::Sequencer);
        break;
    case kMidiPlayer:
        choose_trigger(TimemarkTrigger::Kind::MidiPlayer);
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

bool TimemarkDialog::make_pair(int start, int end)
{
    MarkerTable& t = markers_of(doc_);
    // Each marker is single, a start or an end: what the two were before is undone.
    auto unpair = [&t](int i) {
        Marker& m = t.entries[i];
        if (m.partner >= 0 && m.partner < t.count())
            t.entries[m.partner].end_flag = 0;
        m.partner = -1;
        for (Marker& other : t.entries)
            if (other.partner == i)
                other.partner = -1;
        m.end_flag = 0;
    };
    unpair(start);
    unpair(end);
    t.entries[start].partner = end;
    t.entries[end].end_flag = 1;
    return true;
}

bool TimemarkDialog::ok()
{
    if (start_ < 0) {
        end_dialog(kel::kIdOk);
        return true;
    }
    MarkerTable& t = markers_of(doc_);
    const long from = t.entries[start_].position;
    int end = -1;
    if (mode_ == EndMode::Existing) {
        if (combo_selection_ < 0) {
            tell("Please select an existing marker from the combo box.");
            return false;
        }
        end = combo_[combo_selection_];
        if (t.entries[end].position <= from) {
            tell("The end marker must lie after the start marker.");
            return false;
        }
    } else {
        if (t.count() >= kMaxMarkers) {
            tell("Too many timemarks");
            kel::ui().beep();
            return false;
        }
        if (new_end_ <= from) {
            tell("The end marker must lie after the start marker.");
            return false;
        }
        end = add_marker(doc_, new_end_, default_marker_name(new_end_));
    }
    if (!start_name.empty())
        t.entries[start_].name = start_name;
    if (!end_name.empty())
        t.entries[end].name = end_name;
    make_pair(start_, end);
    repaint_document(&doc_);
    end_dialog(kel::kIdOk);
    return true;
}

int show_timemark_dialog(CChildFrame& doc, int start)
{
    TimemarkDialog dialog(doc, start);
    return kel::ui().run_modal(dialog);
}
