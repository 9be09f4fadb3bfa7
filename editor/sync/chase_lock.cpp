#include "editor/sync/chase_lock.h"

#include "common/child_frame.h"
#include "editor/commands/command_ids.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"

#include <algorithm>

namespace synchro {

namespace ev = kel::events;
namespace mi = kel::midi_in;

ChaseLockDialog::ChaseLockDialog(CChildFrame& doc)
    : doc_(doc), cue_{smpte_lead_in.hours, smpte_lead_in.minutes, smpte_lead_in.seconds,
                      smpte_lead_in.frames}
{
}

ChaseLockDialog::~ChaseLockDialog()
{
    if (!ended())
        finish();
    if (subscription_)
        ev::unsubscribe(subscription_);
}

void ChaseLockDialog::on_open()
{
    if (!subscription_)
        subscription_ = ev::subscribe(this, [this](const ev::Message& m) { on_message(m); });
    state_ = State::Waiting;
    status_ = "Waiting to start";
    prompt_ = "1) Start MTC Device; 2) Press Start";
    position_ = smpte_text(SmpteTime{});
}

void ChaseLockDialog::click(int control)
{
    switch (control) {
    case kStart:
        if (state_ == State::Waiting)
            start_listening();
        else
            finish();
        break;
    case kel::kIdCancel:
        finish();
        break;
    case kBack:
        adjust(-1);
        break;
    case kForward:
        adjust(1);
        break;
    case kHelp:
        kel::ui().open_help("Orlo.HLP", cmd::kChaseLock);
        break;
    default:
        break;
    }
    if (changed)
        changed();
}

void ChaseLockDialog::start_listening()
{
    if (!input_.open(this)) {
        status_ = "Failed to open MIDI for input";
        return;
    }
    mtc_.reset();
    have_time_ = false;
    state_ = State::Ready;
    status_ = "Ready for Midi Time Code Input";
    prompt_ = "Press Cancel to quit";
    ev::set_timer(this, cmd::kPlayTimeTick, kTickMs);
}

void ChaseLockDialog::on_message(const ev::Message& m)
{
    if (ended() || state_ == State::Waiting)
        return;
    if ((m.message == ev::kWmTimer || m.message == ev::kWmCommand) &&
        m.wparam == static_cast<uintptr_t>(cmd::kPlayTimeTick)) {
        tick();
    } else if (m.message == mi::kMimData && m.wparam == input_.handle()) {
        const MidiKind kind = midi_kind(m.lparam);
        if (kind == MidiKind::SysEx)
            mtc_.interrupt();
        else if (kind == MidiKind::QuarterFrame)
            quarter_frame(mi::data1_of(m.lparam));
        else
            return;
    } else if (m.message == mi::kMimError && m.wparam == input_.handle()) {
        mtc_.interrupt();
        return;
    } else {
        return;
    }
    if (changed)
        changed();
}

void ChaseLockDialog::quarter_frame(uint8_t data)
{
    SmpteTime t;
    if (!mtc_.feed(data, &t))
        return;
    position_ = smpte_text(t);
    if (!have_time_ || smpte_packed(t) != last_packed_)
        new_time_ = true;
    have_time_ = true;
    last_packed_ = smpte_packed(t);
    // Where the tape is now: two frames past the time the group carries.
    SmpteTime now = t;
    smpte_add_frames(now, 2, smpte_fps, smpte_drop);
    if (smpte_packed(now) < smpte_packed(cue_))
        return;
    if (state_ == State::Ready)
        play_from(cue_, "Reached cuepoint");
    else if (state_ == State::Stopped)
        play_from(now, "MTC device restarted");
}

void ChaseLockDialog::play_from(const SmpteTime& t, const char* status)
{
    playback::release(doc_);
    PlayRequest request;
    request.from = smpte_to_sample_words(t, smpte_fps, doc_.wave_format);
    if (request.from >= doc_.current.total_samples)
        return; // the file ends before this time: nothing to play here
    if (!playback::start(doc_, request))
        return;
    last_start_ = request.from;
    state_ = State::Playing;
    unchanged_ticks_ = 0;
    new_time_ = false;
    status_ = status;
    prompt_ = "Press Cancel to quit";
}

void ChaseLockDialog::tick()
{
    if (state_ != State::Playing)
        return;
    if (new_time_) {
        new_time_ = false;
        unchanged_ticks_ = 0;
        return;
    }
    if (++unchanged_ticks_ <= kStallTicks)
        return;
    playback::release(doc_);
    mtc_.reset();
    state_ = State::Stopped;
    status_ = "MTC device stopped";
    prompt_ = "Restart MTC Device";
}

void ChaseLockDialog::adjust(int direction)
{
    PlaybackState& pb = playback_state();
    if (state_ != State::Playing || !pb.is_playing || pb.doc != &doc_ || !pb.source)
        return;
    const long step = sync_adjust_bytes(doc_.wave_format, smpte_fps);
    const long long align = std::max<uint16_t>(1, doc_.wave_format.block_align);
    long long at = static_cast<long long>(pb.bytes_read) + direction * static_cast<long long>(step);
    at = std::clamp<long long>(at, 0, static_cast<long long>(pb.bytes_total)) / align * align;
    if (pb.source->seek(static_cast<int64_t>(pb.start_offset) + at, SEEK_SET) < 0)
        return;
    pb.bytes_read = static_cast<unsigned long>(at);
}

void ChaseLockDialog::finish()
{
    ev::kill_timer(this, cmd::kPlayTimeTick);
    input_.close();
    if (state_ == State::Playing)
        playback::release(doc_);
    end_dialog(kel::kIdCancel);
}

int chase_lock_command(CChildFrame& doc)
{
    ChaseLockDialog dialog(doc);
    kel::ui().run_modal(dialog);
    return 1;
}

} // namespace synchro
