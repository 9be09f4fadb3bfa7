// The record dialog: a record file of this run, filled from the input device through a
// ring of six buffers, and handed to the document as one undoable step on OK. The
// document is not touched before then, so Exit leaves it exactly as it was.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/commands/command_ids.h"
#include "editor/devices/playback.h"
#include "editor/devices/playback_controller.h"
#include "editor/devices/record.h"
#include "editor/document/working_files.h"
#include "platform/paths.h"
#include "platform/profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace wd = kel::wave_device;
namespace ev = kel::events;

namespace {

// The record file of the last dialog, while no document has taken it.
char g_record_name[260] = {};

bool owned_by_a_document(const char* name)
{
    for (int i = 0; i < documents::count(); ++i) {
        CChildFrame* d = documents::at(i);
        if (!d)
            continue;
        for (const FileSlot* s : {&d->current, &d->undo, &d->redo})
            if (s->file_name[0] && std::strcmp(s->file_name, name) == 0)
                return true;
    }
    return false;
}

uint64_t length_of(const char* name)
{
    struct stat st = {};
    if (!name[0] || ::stat(name, &st) != 0)
        return 0;
    return static_cast<uint64_t>(st.st_size);
}

int preference(const char* key, int fallback)
{
    return static_cast<int>(
        kel::profile::read_int("Preferences", key, fallback, kel::profile::app_profile()));
}

bool big_time_display()
{
    return kel::profile::read_yes_no("Preferences", "Big time display", false,
                                     kel::profile::app_profile());
}

std::string describe(const WaveFormat& f)
{
    char text[96];
    std::snprintf(text, sizeof text, "%u Hz, %u-bit, %s", static_cast<unsigned>(f.sample_rate),
                  static_cast<unsigned>(f.bits_per_sample), f.channels == 2 ? "stereo" : "mono");
    return text;
}

} // namespace

RecordHooks& record_hooks()
{
    static RecordHooks hooks;
    return hooks;
}

NewRecordDialog::NewRecordDialog(CChildFrame* target) : doc_(target)
{
    if (doc_)
        format_ = doc_->wave_format;
    view_ = &silent_;
}

NewRecordDialog::~NewRecordDialog()
{
    // A dialog that goes without OK or Exit (the window was destroyed) ends as Exit.
    if (recording_ || testing_ || playing() || record_file_[0] || tail_file_[0])
        exit();
    // Nothing that listens for MIDI may keep this dialog as the one to stop.
    if (auto& close_midi = record_hooks().close_midi_input)
        close_midi(false);
    close_click_device();
    if (subscription_)
        ev::unsubscribe(subscription_);
    for (uint32_t id :
         {kPlayTimer, kStopTimer, kDelayTimer, kFrontTimer,
          static_cast<uint32_t>(cmd::kRecorderTick), static_cast<uint32_t>(cmd::kPlayTimeTick),
          static_cast<uint32_t>(cmd::kMetronomeTick)})
        ev::kill_timer(this, id);
}

void NewRecordDialog::on_open()
{
    if (!subscription_)
        subscription_ = ev::subscribe(this, [this](const ev::Message& m) { on_message(m); });
    playback_slider_ = 255 - std::clamp(playback_state().play_volume, 0, 255);
    // Free space is measured once; the readout then counts down with what is recorded.
    struct statvfs vfs = {};
    const std::string dir = run_directory().empty() ? data_directory() : run_directory();
    free_bytes_ = ::statvfs(dir.c_str(), &vfs) == 0
                      ? static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize)
                      : 0;
    insert_ = false;
    if (doc_)
        prepare_fresh();
    view_->reset_gauge(kLeftGauge);
    view_->reset_gauge(kRightGauge);
    notify();
}

// ---- The record file ----

bool NewRecordDialog::prepare_fresh()
{
    delete_record_file();
    // A record file a crashed dialog left behind, unless a document took it.
    if (g_record_name[0] && !owned_by_a_document(g_record_name))
        ::unlink(g_record_name);
    g_record_name[0] = '\0';
    punch_in_ = 0;
    take_start_ = 0;
    recording_exists_ = false;
    make_working_name(record_file_, ".tmp");
    if (const int error = create_working_file(record_file_)) {
        kel::ui().beep();
        char text[320];
        std::snprintf(text, sizeof text, "Can't create uninitialized %s", record_file_);
        ErrMsgDetail(text, working_file_problem(error));
        record_file_[0] = '\0';
        return false;
    }
    std::snprintf(g_record_name, sizeof g_record_name, "%s", record_file_);
    return true;
}

bool NewRecordDialog::prepare_from_document()
{
    if (!prepare_fresh() || !doc_)
        return false;
    const unsigned long bytes =
        static_cast<unsigned long>(std::max(0L, doc_->current.total_samples)) *
        static_cast<unsigned long>(std::max(1, doc_->bytes_per_sample()));
    if (bytes > 0 && !doc_->copy_file_to_file(record_file_, doc_->working_file(), bytes, 0, 0, 0,
                                              "Copying file...")) {
        ErrMsg("Failed to copy %s to %s", doc_->working_file(), record_file_);
        // Start again from an empty record file rather than a half copy.
        ::truncate(record_file_, 0);
        return false;
    }
    // Recording goes on after what is there; the scroll bar moves the punch-in point.
    punch_in_ = length_of(record_file_);
    take_start_ = punch_in_;
    return true;
}

void NewRecordDialog::delete_record_file()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (tail_file_[0]) {
        ::unlink(tail_file_);
        tail_file_[0] = '\0';
    }
    if (record_file_[0]) {
        if (!owned_by_a_document(record_file_))
            ::unlink(record_file_);
        if (std::strcmp(g_record_name, record_file_) == 0)
            g_record_name[0] = '\0';
        record_file_[0] = '\0';
    }
    recording_exists_ = false;
}

uint64_t NewRecordDialog::record_file_bytes() const
{
    return length_of(record_file_);
}

wd::Format NewRecordDialog::device_format() const
{
    wd::Format f;
    f.format_tag = 1;
    f.channels = format_.channels;
    f.sample_rate = format_.sample_rate;
    f.bits_per_sample = format_.bits_per_sample;
    f.block_align = static_cast<uint16_t>(f.channels * f.bits_per_sample / 8);
    f.avg_bytes_per_sec = f.sample_rate * f.block_align;
    return f;
}

// ---- Record, Test, Stop ----

void NewRecordDialog::start(bool test)
{
    if (!doc_ || recording_ || testing_ || playing() || (!test && !record_file_[0]))
        return;
    const wd::Format format = device_format();
    buffer_size_ = test ? test_buffer_size(format_, record_settings().meter_avg != 0)
                        : record_buffer_size(format_);
    for (int i = 0; i < kRecordBuffers; ++i) {
        blocks_[i].reset(new (std::nothrow) char[buffer_size_]());
        if (!blocks_[i]) {
            free_ring();
            ErrMsg("%s", "Failed to allocate record buffers");
            return;
        }
        headers_[i] = wd::Header{};
    }

    // Insert: what lies after the punch-in point waits in the tail file for the end of
    // the take. Overwrite writes over the old material from the punch-in point on.
    const uint64_t length = record_file_bytes();
    punch_in_ = std::min(punch_in_, length);
    if (!test && insert_ && punch_in_ < length) {
        make_working_name(tail_file_, ".tmp");
        if (create_working_file(tail_file_) != 0 ||
            !doc_->copy_file_to_file(
                tail_file_, record_file_, static_cast<unsigned long>(length - punch_in_),
                static_cast<unsigned long>(punch_in_), 0, 0, "Copying file...")) {
            if (tail_file_[0])
                ::unlink(tail_file_);
            tail_file_[0] = '\0';
            free_ring();
            return;
        }
    }
    if (!test) {
        fd_ = ::open(record_file_, O_RDWR | O_CLOEXEC);
        if (fd_ < 0) {
            kel::ui().beep();
            ErrMsg("Can't open initialized %s", record_file_);
            if (tail_file_[0])
                ::unlink(tail_file_);
            tail_file_[0] = '\0';
            free_ring();
            return;
        }
    }

    wd::Handle h = 0;
    const int r = wd::in_open(&h, preference("Default Wave input device", 0), format, this);
    if (r != wd::kOk) {
        std::string text = "Error opening wave device.";
        if (r == wd::kBadFormat)
            text += "\nThe input device cannot record " + describe(format_) + ".";
        else if (wd::in_device_count() < 1 || r == wd::kBadDeviceId)
            text += "\nThere is no sound input device to record from.";
        else if (r == wd::kAllocated)
            text += "\nThe input device is in use by another program.";
        kel::ui().message_box(text, "Double Buffer", kel::Buttons::Ok, kel::Icon::Exclamation);
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        if (tail_file_[0])
            ::unlink(tail_file_);
        tail_file_[0] = '\0';
        free_ring();
        return;
    }
    device_ = h;
    if (!test && insert_ && tail_file_[0])
        ::ftruncate(fd_, static_cast<off_t>(punch_in_));
    write_at_ = punch_in_;
    take_bytes_ = 0;
    take_start_ = punch_in_;
    current_ = 0;
    quarter_ = 0;
    overruns_ = 0;
    write_failed_ = false;
    stop_marked_ = false;
    stop_requested_ = false;
    resetting_ = false;
    recording_ = !test;
    testing_ = test;
    started_ = !test && !threshold_wait_;
    if (auto& close_midi = record_hooks().close_midi_input)
        close_midi(true);
    if (!test) {
        ev::set_timer(this, cmd::kRecorderTick, kRecordTickMs);
        ev::set_timer(this, cmd::kPlayTimeTick, kPlayTimeTickMs);
        if (record_settings().metronome && open_click_device())
            ev::set_timer(this, cmd::kMetronomeTick,
                          60000u /
                              static_cast<uint32_t>(std::clamp(record_settings().bpm, 3, 120)));
        if (big_time_display())
            view_->show_time_window(true);
    }
    set_status(test ? "" : threshold_wait_ ? "Waiting for threshold" : "Recording", false);
    notify();
}

void NewRecordDialog::stop()
{
    if (playing()) {
        playback::stop();
        return;
    }
    if (!recording_ && !testing_) {
        view_->levels(0, 0);
        if (auto& has = record_hooks().has_partner; has && has())
            if (auto& notify_partner = record_hooks().notify_partner)
                notify_partner(1856);
        view_->main_window_to_front();
        notify();
        return;
    }
    if (!stop_requested_ && !stop_marked_) {
        // The first Stop: the device hands back the buffer it is filling and records no
        // more; half a second later the ring comes home and the device closes.
        stop_requested_ = true;
        wd::in_stop(device_);
        ev::set_timer(this, kStopTimer, 500);
        notify();
        return;
    }
    close_input();
}

void NewRecordDialog::close_input()
{
    ev::kill_timer(this, kStopTimer);
    if (!device_ || resetting_)
        return;
    resetting_ = true;
    wd::in_reset(device_);
    if (wd::in_close(device_) == wd::kStillPlaying) {
        wd::in_reset(device_);
        wd::in_close(device_);
    }
}

// Ends the take at once: what is already written stays, nothing more is.
void NewRecordDialog::mark_stop()
{
    if (stop_marked_)
        return;
    stop_marked_ = true;
    wd::in_stop(device_);
    ev::set_timer(this, kStopTimer, 500);
}

void NewRecordDialog::on_input_open()
{
    for (int i = 0; i < kRecordBuffers; ++i) {
        wd::Header& h = headers_[i];
        h = wd::Header{};
        h.data = blocks_[i].get();
        h.buffer_length = static_cast<uint32_t>(buffer_size_);
        h.loops = 1;
        wd::in_prepare(device_, &h);
        wd::in_add_buffer(device_, &h);
    }
    RecordHooks& hooks = record_hooks();
    if (recording_ && hooks.has_partner && hooks.has_partner()) {
        if (hooks.notify_partner)
            hooks.notify_partner(1855);
        const int delay = hooks.start_delay_ms ? hooks.start_delay_ms() : 0;
        if (delay > 0) {
            ev::set_timer(this, kDelayTimer, static_cast<uint32_t>(delay));
            return;
        }
    }
    wd::in_start(device_);
}

void NewRecordDialog::write_block(const char* data, uint32_t n)
{
    uint32_t done = 0;
    while (done < n) {
        const ssize_t w = ::pwrite(fd_, data + done, n - done, static_cast<off_t>(write_at_));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0) {
            const int error = w < 0 ? errno : ENOSPC;
            // Keep what was written, in whole frames; tell the user and stop the take.
            const uint64_t align = std::max<uint16_t>(1, format_.block_align);
            const uint64_t keep = write_at_ / align * align;
            if (record_file_bytes() > keep && !insert_ && keep >= take_start_ &&
                record_file_bytes() <= write_at_)
                ::ftruncate(fd_, static_cast<off_t>(keep));
            take_bytes_ -= write_at_ - keep;
            write_at_ = keep;
            write_failed_ = true;
            working_file_message(5031, error);
            mark_stop();
            return;
        }
        done += static_cast<uint32_t>(w);
        write_at_ += static_cast<uint64_t>(w);
        take_bytes_ += static_cast<uint64_t>(w);
    }
}

void NewRecordDialog::on_input_data(wd::Header* h)
{
    const uint32_t n = std::min(h->bytes_recorded, h->buffer_length);
    if (n > 0)
        last_block_.assign(h->data, h->data + n);
    if (recording_ && !started_ && threshold_wait_ && !stop_marked_ && n > 0) {
        const double sample = buffer_peak(h->data, n, format_);
        const double threshold = record_settings().threshold;
        char text[96];
        std::snprintf(text, sizeof text, "Sample = %f  Threshold = %f", sample, threshold);
        set_status(text, true);
        if (sample > threshold) {
            started_ = true;
            take_start_ = write_at_;
        }
    }
    if (recording_ && started_ && !stop_marked_ && fd_ >= 0 && n > 0)
        write_block(h->data, n);
    if (testing_ && n > 0) {
        const unsigned long frame = std::max<uint16_t>(1, format_.block_align);
        show_levels(h->data, 0, n > 2 * frame ? n - 2 * frame : 0);
    }
    const bool home = stop_requested_ || stop_marked_ || resetting_;
    if (!home) {
        h->buffer_length = static_cast<uint32_t>(buffer_size_);
        h->bytes_recorded = 0;
        h->user = 0;
        h->loops = 1;
        wd::in_add_buffer(device_, h);
    }
    current_ = (current_ + 1) % kRecordBuffers;
    const uint32_t lost = wd::in_overruns(device_);
    if (lost != overruns_) {
        overruns_ = lost;
        char text[128];
        std::snprintf(text, sizeof text,
                      "Input overrun: %u times the device had no buffer and sound was lost",
                      static_cast<unsigned>(overruns_));
        set_status(text, false);
    }
    // Auto-stop counts what the device recorded, not the wall clock.
    const RecordSettings& s = record_settings();
    if (recording_ && started_ && !stop_marked_ && (s.auto_stop || sample_duration_)) {
        const uint64_t limit = static_cast<uint64_t>(std::clamp(s.auto_stop_seconds, 0, 100)) *
                               std::max<uint32_t>(1, format_.avg_bytes_per_sec);
        if (take_bytes_ >= limit)
            mark_stop();
    }
    if (recording_ && started_)
        notify();
}

void NewRecordDialog::on_input_close()
{
    for (uint32_t id :
         {static_cast<uint32_t>(cmd::kRecorderTick), static_cast<uint32_t>(cmd::kPlayTimeTick),
          static_cast<uint32_t>(cmd::kMetronomeTick), kStopTimer, kDelayTimer})
        ev::kill_timer(this, id);
    close_click_device();
    if (recording_) {
        const uint64_t end_of_take = write_at_;
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        if (tail_file_[0]) {
            const uint64_t tail = length_of(tail_file_);
            if (tail > 0 &&
                !doc_->copy_file_to_file(record_file_, tail_file_, static_cast<unsigned long>(tail),
                                         0, -1, 0, "Copying file...")) {
                // The document still holds that material; the user is told the take
                // lacks it before choosing OK or Exit.
                ErrMsg("Failed to copy %s to %s", tail_file_, record_file_);
            }
            ::unlink(tail_file_);
            tail_file_[0] = '\0';
        }
        punch_in_ = end_of_take;
        if (take_bytes_ > 0 || write_failed_)
            recording_exists_ = true;
        view_->show_time_window(false);
    }
    view_->levels(0, 0);
    free_ring();
    device_ = 0;
    recording_ = false;
    testing_ = false;
    started_ = false;
    threshold_wait_ = false;
    sample_duration_ = false;
    stop_marked_ = false;
    stop_requested_ = false;
    resetting_ = false;
    if (status_.rfind("Input overrun", 0) != 0 && !write_failed_)
        set_status("", false);
    notify();
}

void NewRecordDialog::free_ring()
{
    for (int i = 0; i < kRecordBuffers; ++i) {
        if (device_ && (headers_[i].flags & wd::kPrepared))
            wd::in_unprepare(device_, &headers_[i]);
        headers_[i] = wd::Header{};
        blocks_[i].reset();
    }
}

// ---- Meters, readouts, ticks ----

void NewRecordDialog::show_levels(const char* data, unsigned long from, unsigned long to)
{
    int left = 0, right = 0;
    window_levels(data, from, to, format_, &left, &right);
    if (record_settings().meter_avg) {
        left = (level_left_ + left) / 2;
        right = (level_right_ + right) / 2;
    }
    level_left_ = left;
    level_right_ = right;
    view_->levels(left, right);
}

void NewRecordDialog::record_tick()
{
    if (!recording_ || last_block_.empty())
        return;
    // Successive ticks measure the last buffer's quarters in turn.
    const unsigned long n = last_block_.size();
    const unsigned long frame = std::max<uint16_t>(1, format_.block_align);
    const unsigned long from = n * static_cast<unsigned long>(quarter_) / 4;
    unsigned long to = n * static_cast<unsigned long>(quarter_ + 1) / 4;
    if (quarter_ == 3)
        to = n > 2 * frame ? n - 2 * frame : 0;
    quarter_ = (quarter_ + 1) % 4;
    show_levels(last_block_.data(), from, to);
    notify();
}

void NewRecordDialog::play_time_tick()
{
    view_->big_time(time_text());
}

bool NewRecordDialog::open_click_device()
{
    wd::Handle h = 0;
    if (wd::out_open(&h, preference("Default Wave output device", 0), metronome_click_format(),
                     this) != wd::kOk) {
        kel::ui().beep();
        return false;
    }
    click_device_ = h;
    click_busy_ = false;
    click_header_ = wd::Header{};
    click_header_.data = const_cast<char*>(metronome_click().data());
    click_header_.buffer_length = static_cast<uint32_t>(metronome_click().size());
    wd::out_prepare(click_device_, &click_header_);
    return true;
}

void NewRecordDialog::close_click_device()
{
    if (!click_device_)
        return;
    wd::out_reset(click_device_);
    wd::out_unprepare(click_device_, &click_header_);
    wd::out_close(click_device_);
    click_device_ = 0;
}

void NewRecordDialog::metronome_beat()
{
    // A beat that comes while the last click still sounds is skipped, not queued.
    if (!click_device_ || click_busy_)
        return;
    if (wd::out_write(click_device_, &click_header_) == wd::kOk) {
        click_busy_ = true;
        ++clicks_;
    }
}

int NewRecordDialog::time_format() const
{
    return preference("Time format", 1);
}

std::string NewRecordDialog::format_seconds(double seconds) const
{
    return play_time_text(seconds, time_format());
}

std::string NewRecordDialog::time_text() const
{
    const double rate = std::max<uint32_t>(1, format_.avg_bytes_per_sec);
    uint64_t at = punch_in_;
    if (recording_)
        at = write_at_;
    else if (playing())
        at = play_position_;
    return format_seconds(static_cast<double>(at) / rate);
}

std::string NewRecordDialog::length_text() const
{
    const double rate = std::max<uint32_t>(1, format_.avg_bytes_per_sec);
    return format_seconds(static_cast<double>(record_file_bytes()) / rate);
}

std::string NewRecordDialog::disk_space_text() const
{
    const uint64_t per_minute =
        static_cast<uint64_t>(std::max<uint32_t>(1, format_.avg_bytes_per_sec)) * 60;
    const uint64_t left = free_bytes_ > take_bytes_ ? free_bytes_ - take_bytes_ : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%s%s", std::to_string(left / per_minute).c_str(), " min");
    return text;
}

namespace {
uint64_t block_bytes(const WaveFormat& f)
{
    return std::max<uint64_t>(1, record_buffer_size(f));
}
} // namespace

int NewRecordDialog::scroll_range() const
{
    return static_cast<int>(std::max<uint64_t>(1, record_file_bytes() / block_bytes(format_)));
}

int NewRecordDialog::scroll_position() const
{
    const uint64_t at = playing() ? play_position_ : recording_ ? write_at_ : punch_in_;
    if (at >= record_file_bytes() && record_file_bytes() > 0)
        return scroll_range();
    return static_cast<int>(std::min<uint64_t>(scroll_range(), at / block_bytes(format_) + 1));
}

void NewRecordDialog::scroll_to(int block)
{
    if (recording_ || testing_ || playing())
        return;
    const int range = scroll_range();
    block = std::clamp(block, 1, range);
    const uint64_t length = record_file_bytes();
    const uint64_t align = std::max<uint16_t>(1, format_.block_align);
    uint64_t at = block == range ? length : static_cast<uint64_t>(block - 1) * block_bytes(format_);
    punch_in_ = std::min(at, length) / align * align;
    notify();
}

double NewRecordDialog::position_fraction() const
{
    const uint64_t blocks = record_file_bytes() / block_bytes(format_);
    const uint64_t at = (playing()    ? play_position_
                         : recording_ ? write_at_
                                      : punch_in_) /
                        block_bytes(format_);
    return std::clamp(static_cast<double>(at) / static_cast<double>(blocks + 1), 0.0, 1.0);
}

std::string NewRecordDialog::bpm_text() const
{
    return std::to_string(record_settings().bpm);
}

void NewRecordDialog::set_bpm(int bpm)
{
    record_settings().bpm = std::clamp(bpm, 3, 120);
    if (recording_ && click_device_)
        ev::set_timer(this, cmd::kMetronomeTick,
                      60000u / static_cast<uint32_t>(record_settings().bpm));
    notify();
}

void NewRecordDialog::set_playback_slider(int position)
{
    playback_slider_ = std::clamp(position, 0, 255);
    set_play_volume(255 - playback_slider_);
}

void NewRecordDialog::set_status(const std::string& text, bool blue)
{
    status_ = text;
    status_blue_ = blue;
}

void NewRecordDialog::notify() const
{
    view_->changed();
}

bool NewRecordDialog::playing() const
{
    const PlaybackState& pb = playback_state();
    return pb.is_playing && pb.from_record_dialog && pb.target == this;
}

bool NewRecordDialog::paused() const
{
    return playing() && playback_state().is_paused;
}

bool NewRecordDialog::enabled(int control) const
{
    const bool busy = recording_ || testing_;
    switch (control) {
    case kStop:
        return busy || playing();
    case kRecord:
    case kSample:
        return doc_ && !busy && !playing() && record_file_[0];
    case kTest:
        return doc_ && !busy && !playing();
    case kPlay:
    case kReview:
    case kCue:
        return !busy && !playing() && record_file_bytes() > 0;
    case kPause:
        return playing();
    case kAdat:
        return false; // no ADAT interface on this system
    case kResetLeft:
    case kResetRight:
        return true;
    case kel::kIdOk:
    case kel::kIdCancel:
    case kHelp:
        return !busy;
    default:
        return !busy && !playing();
    }
}

// ---- Playback inside the dialog ----

void NewRecordDialog::start_playback(uint64_t from)
{
    if (!doc_ || recording_ || testing_ || playing())
        return;
    play_from_ = from;
    play_position_ = from;
    play_ticks_ = 0;
    if (!playback::play_record_file(*doc_, record_file_, from, this, [this] { playback_ended(); }))
        return;
    if (big_time_display())
        view_->show_time_window(true);
    notify();
}

void NewRecordDialog::playback_tick()
{
    if (!playing())
        return;
    if (++play_ticks_ % 5 != 0)
        return;
    PlaybackState& pb = playback_state();
    wd::Position p;
    p.type = wd::kTimeBytes;
    if (wd::out_get_position(pb.device, p) == wd::kOk)
        play_position_ = std::min(play_from_ + p.bytes, record_file_bytes());
    int left = 0, right = 0;
    const wd::Header& h = pb.headers[pb.next_slot];
    if (h.data && h.buffer_length)
        window_levels(h.data, 0, h.buffer_length, format_, &left, &right);
    view_->levels(left, right);
    view_->big_time(time_text());
    notify();
}

void NewRecordDialog::playback_ended()
{
    ev::kill_timer(this, kPlayTimer);
    ev::kill_timer(this, kDelayTimer);
    view_->show_time_window(false);
    view_->levels(0, 0);
    if (record_settings().auto_rewind)
        click(kCue);
    ev::set_timer(this, kFrontTimer, 100);
    notify();
}

// ---- Messages ----

void NewRecordDialog::on_message(const ev::Message& m)
{
    if (m.message == ev::kWmTimer) {
        switch (m.wparam) {
        case cmd::kRecorderTick:
            record_tick();
            break;
        case cmd::kPlayTimeTick:
            play_time_tick();
            break;
        case cmd::kMetronomeTick:
            metronome_beat();
            break;
        case kPlayTimer:
            playback_tick();
            break;
        case kStopTimer:
            ev::kill_timer(this, kStopTimer);
            if (recording_ || testing_)
                close_input();
            break;
        case kDelayTimer:
            ev::kill_timer(this, kDelayTimer);
            if (device_)
                wd::in_start(device_);
            break;
        case kFrontTimer:
            ev::kill_timer(this, kFrontTimer);
            view_->main_window_to_front();
            break;
        default:
            break;
        }
        return;
    }
    // Device words: only those of the devices now open count.
    if (m.message == wd::kWomDone && click_device_ && m.wparam == click_device_) {
        click_busy_ = false;
    } else if (m.message == wd::kWimOpen && m.wparam == device_) {
        on_input_open();
    } else if (m.message == wd::kWimData && m.wparam == device_ && m.lparam) {
        on_input_data(reinterpret_cast<wd::Header*>(m.lparam));
    } else if (m.message == wd::kWimClose && m.wparam == device_ && device_) {
        on_input_close();
    }
}

// ---- Buttons ----

void NewRecordDialog::click(int control)
{
    RecordSettings& s = record_settings();
    const bool busy = recording_ || testing_;
    switch (control) {
    case kOverwrite:
        if (!busy)
            insert_ = false;
        break;
    case kInsert:
        if (!busy)
            insert_ = true;
        break;
    case kAutoStop:
        s.auto_stop = !s.auto_stop;
        if (s.auto_stop) {
            AutoStopDialog dialog;
            if (kel::ui().run_modal(dialog) != kel::kIdOk)
                s.auto_stop = 0;
        }
        break;
    case kAutoRewind:
        s.auto_rewind = !s.auto_rewind;
        break;
    case kMetronome:
        s.metronome = !s.metronome;
        break;
    case kNormal:
        s.meter_avg = 0;
        break;
    case kAvg:
        s.meter_avg = 1;
        break;
    case kTest:
        threshold_wait_ = false;
        sample_duration_ = false;
        start(true);
        break;
    case kRecord:
        threshold_wait_ = false;
        sample_duration_ = false;
        start(false);
        break;
    case kSample: {
        if (!enabled(kSample))
            break;
        SampleDialog dialog;
        if (kel::ui().run_modal(dialog) != kel::kIdOk)
            break;
        threshold_wait_ = true;
        sample_duration_ = !s.continuous;
        start(false);
        break;
    }
    case kStop:
        stop();
        break;
    case kPlay:
        start_playback(punch_in_ < record_file_bytes() ? punch_in_ : 0);
        break;
    case kReview:
        start_playback(take_start_);
        break;
    case kCue:
        if (!busy && !playing()) {
            punch_in_ = 0;
            play_position_ = 0;
        }
        break;
    case kPause:
        if (playing()) {
            const bool resume = paused();
            playback::pause();
            if (resume)
                ev::set_timer(this, kPlayTimer, kTrackingPeriodMs);
        }
        break;
    case kNew:
        if (!busy && !playing() && record_hooks().new_document)
            if (CChildFrame* d = record_hooks().new_document()) {
                doc_ = d;
                format_ = d->wave_format;
                prepare_fresh();
            }
        break;
    case kSync:
        if (record_hooks().sync)
            record_hooks().sync(*this);
        break;
    case kShowMidi:
        if (record_hooks().show_midi)
            record_hooks().show_midi();
        break;
    case kShowCd:
        if (record_hooks().show_cd)
            record_hooks().show_cd();
        break;
    case kFourTrack:
        if (record_hooks().four_track)
            record_hooks().four_track();
        break;
    case kAdat:
        if (record_hooks().adat)
            record_hooks().adat();
        break;
    case kMixer:
        if (record_hooks().mixer)
            record_hooks().mixer();
        break;
    case kResetLeft:
        view_->reset_gauge(kLeftGauge);
        break;
    case kResetRight:
        view_->reset_gauge(kRightGauge);
        break;
    case kHelp:
        kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", 11400);
        break;
    case kel::kIdOk:
        ok();
        break;
    case kel::kIdCancel:
        exit();
        break;
    default:
        break;
    }
    notify();
}

std::vector<NewRecordDialog::MenuItem> NewRecordDialog::record_to_menu() const
{
    std::vector<MenuItem> items{{99, "Record To...", false}};
    for (int i = 0; i < documents::count(); ++i)
        if (CChildFrame* d = documents::at(i))
            items.push_back({100 + i, d->file_title, d == doc_});
    return items;
}

void NewRecordDialog::choose_record_to(int id)
{
    if (recording_ || testing_ || playing())
        return;
    CChildFrame* d = id >= 100 ? documents::at(id - 100) : nullptr;
    if (!d)
        return;
    doc_ = d;
    format_ = d->wave_format;
    if (auto& to_top = record_hooks().bring_to_top)
        to_top(*d);
    prepare_from_document();
    notify();
}

// ---- Closing ----

void NewRecordDialog::stop_all()
{
    if (playing()) {
        playback::stop();
        ev::pump();
    }
    if (recording_ || testing_) {
        // What the device holds now still belongs to the take.
        if (!stop_requested_ && !stop_marked_) {
            stop_requested_ = true;
            wd::in_stop(device_);
        }
        close_input();
        for (int i = 0; i < 100 && (recording_ || testing_); ++i)
            ev::pump();
    }
    for (uint32_t id : {kDelayTimer, kStopTimer, kPlayTimer, kFrontTimer})
        ev::kill_timer(this, id);
    if (auto& close_midi = record_hooks().close_midi_input)
        close_midi(false);
}

void NewRecordDialog::ok()
{
    stop_all();
    if (!doc_ || !recording_exists_ || !record_file_[0]) {
        delete_record_file();
        end_dialog(0);
        return;
    }
    CChildFrame& d = *doc_;
    const long bps = std::max(1, d.bytes_per_sample());
    const uint64_t align = std::max<uint16_t>(1, d.wave_format.block_align);
    const uint64_t bytes = record_file_bytes() / align * align;
    ::truncate(record_file_, static_cast<off_t>(bytes));
    // A second name keeps the take should the hand-over fail half way: undo's clean-up
    // deletes a redo file it gives up on.
    char keep[260] = {};
    make_working_name(keep, ".tmp");
    const bool kept = keep[0] && ::link(record_file_, keep) == 0;
    if (!d.setup_for_undo(d.window, 0)) {
        if (kept)
            ::unlink(keep);
        return;
    }
    ::unlink(d.redo.file_name);
    std::snprintf(d.redo.file_name, sizeof d.redo.file_name, "%s", record_file_);
    d.redo.total_samples = static_cast<long>(bytes / static_cast<uint64_t>(bps));
    d.current.select_start = 0;
    d.current.select_end = 0;
    d.current.has_selection = 0;
    if (!d.setup_for_redo(d.window, 1813, 0)) {
        if (kept)
            ::rename(keep, record_file_);
        set_status("The recording could not be handed to the document", false);
        notify();
        return;
    }
    if (kept)
        ::unlink(keep);
    // The file is the document's now: no later dialog may take it for an old record file.
    if (std::strcmp(g_record_name, record_file_) == 0)
        g_record_name[0] = '\0';
    record_file_[0] = '\0';
    recording_exists_ = false;
    handed_over_ = true;
    end_dialog(1);
}

void NewRecordDialog::exit()
{
    stop_all();
    delete_record_file();
    if (!ended())
        end_dialog(0);
}

int record_command(CChildFrame& doc)
{
    NewRecordDialog dialog(&doc);
    kel::ui().run_modal(dialog);
    const bool taken = dialog.handed_over();
    if (!taken)
        dialog.exit();
    return taken ? 1 : 0;
}
