#include "plavo/player.h"

#include "platform/paths.h"
#include "platform/ui.h"
#include "platform/wave_device.h"
#include "plavo/playlist.h"
#include "plavo/texts.h"

#include <algorithm>
#include <cstdio>

namespace plavo {

namespace wd = kel::wave_device;
namespace ev = kel::events;

namespace {

constexpr long kHelpFinder = 11;

void box(const std::string& text)
{
    kel::ui().message_box(text, kCaption, kel::Buttons::Ok, kel::Icon::Information);
}

std::string formatted(const char* format, const std::string& path)
{
    char text[600];
    std::snprintf(text, sizeof text, format, path.c_str());
    return text;
}

bool has_extension(const std::string& path)
{
    const std::string name = kel::paths::file_part(path);
    return name.find('.') != std::string::npos;
}

} // namespace

void dialog_position(int screen_w, int screen_h, int w, int h, int& x, int& y)
{
    x = ((screen_w - w) / 2 + 4) & ~6;
    y = (screen_h - h) / 2;
}

Player::Player(PlayerView& view) : view_(view), playback_(this)
{
    token_ = ev::subscribe(this, [this](const ev::Message& m) { on_message(m); });
}

Player::~Player()
{
    ev::unsubscribe(token_);
    for (uint32_t id : {kClockTimer, kMeterTimer, kResetTimer, kStartTimer})
        ev::kill_timer(this, id);
    playback_.release();
}

void Player::init(const std::string& command_line_file)
{
    for (int c : {kPlayButton, kPauseButton, kStopButton, kPrevButton, kNextButton, kConvertButton})
        view_.enable(c, false);
    view_.set_text(kFileNameText, " ");
    elapsed_ = 0;
    view_.set_seconds(0);
    view_.set_progress(0);
    view_.set_levels(false, {});
    command_line_file_ = command_line_file;
    ev::set_timer(this, kStartTimer, 100);
}

void Player::show_file(const std::string& path)
{
    current_file_ = path.substr(0, kMaxPath);
    view_.set_text(kFileNameText, kel::paths::file_part(current_file_));
}

void Player::set_ready_buttons()
{
    for (int c : {kPlayButton, kConvertButton, kFileButton})
        view_.enable(c, true);
    for (int c : {kPauseButton, kStopButton, kPrevButton, kNextButton})
        view_.enable(c, false);
}

void Player::set_playing_buttons()
{
    for (int c : {kPlayButton, kConvertButton, kFileButton})
        view_.enable(c, false);
    for (int c : {kPauseButton, kStopButton, kPrevButton, kNextButton})
        view_.enable(c, true);
}

void Player::on_file()
{
    OpenDialog dialog;
    int dropped = 0;
    dialog.panel.entries = read_list(kCurrentSection, &dropped);
    tell_dropped(dropped);
    dialog.panel.playlist_mode = playlist_mode_;
    if (kel::ui().run_modal(dialog) != kel::kIdOk || dialog.path.empty())
        return;
    file_chosen_ = true;
    playlist_mode_ = dialog.panel.playlist_mode;
    playlist_count_ = static_cast<int>(std::max<size_t>(1, dialog.panel.entries.size()));
    playlist_index_ = 1;
    view_.enable(kPlayButton, true);
    view_.enable(kConvertButton, true);
    show_file(dialog.path);
}

void Player::on_play()
{
    if (!file_chosen_) {
        box("First please open a file to play.");
        return;
    }
    if (playing_)
        return;
    set_playing_buttons();
    playing_ = true;
    paused_ = false;
    elapsed_ = 0;
    if (playback_.open_and_play(current_file_) != 1) {
        // Nothing plays: back to where a Play can be tried again.
        playing_ = false;
        set_ready_buttons();
        return;
    }
    device_ = playback_.handle();
    ev::set_timer(this, kClockTimer, 1000);
}

void Player::on_pause()
{
    if (!playing_)
        return;
    if (!paused_) {
        playback_.pause();
        ev::kill_timer(this, kMeterTimer);
        paused_ = true;
    } else {
        playback_.restart();
        ev::set_timer(this, kMeterTimer, 50);
        paused_ = false;
    }
}

void Player::stop_step()
{
    playback_.release();
    view_.set_levels(false, {});
    view_.set_progress(0);
    set_ready_buttons();
    playing_ = false;
    paused_ = false;
    if (!skip_) {
        // A reset already pending keeps the loop switch it remembered first.
        if (!ev::timer_active(this, kResetTimer))
            remembered_loop_ = loop_;
        loop_ = false;
        view_.set_check(kLoopCheck, false);
        playlist_index_ = playlist_count_ + 1;
        ev::set_timer(this, kResetTimer, 100);
    } else {
        skip_ = false;
    }
}

void Player::on_stop()
{
    stop_step();
}

void Player::on_next()
{
    if (!playing_)
        return;
    skip_ = true;
    stop_step();
}

void Player::on_prev()
{
    if (!playing_)
        return;
    skip_ = true;
    playlist_index_ = std::max(0, playlist_index_ - 2);
    stop_step();
}

void Player::on_loop()
{
    loop_ = !loop_;
    view_.set_check(kLoopCheck, loop_);
}

void Player::on_convert()
{
    if (!file_chosen_) {
        box("First please open a file to play.");
        return;
    }
    if (playing_ || converting_)
        return;
    kel::FileDialogRequest request;
    request.save = true;
    request.filter = "*.wav|*.wav";
    request.file_name = "*.wav";
    std::string target = kel::ui().file_dialog(request);
    if (target.empty())
        return;
    if (!has_extension(target))
        target += ".wav";
    for (int c : {kPlayButton, kPauseButton, kStopButton, kPrevButton, kNextButton, kConvertButton,
                  kFileButton})
        view_.enable(c, false);
    view_.set_progress(0);
    view_.set_text(kExitButton, "&Cancel");
    converting_ = true;
    Playback::ConvertHooks hooks;
    hooks.cancel = [this] { return view_.cancel_pressed(); };
    hooks.progress = [this](int p) { view_.set_progress(p); };
    hooks.pump = [this] {
        view_.pump();
        ev::pump();
    };
    const int ok = playback_.convert(current_file_, target, hooks);
    converting_ = false;
    if (ok && playback_.converted_truncated())
        kel::ui().message_box(formatted("File %s is cut short: only the part it holds was "
                                        "converted.",
                                        current_file_),
                              kCaption, kel::Buttons::Ok, kel::Icon::Exclamation);
    else
        box(formatted(ok ? "File %s converted successfully." : "Error in converting file %s.",
                      current_file_));
    view_.set_text(kExitButton, "&Exit");
    view_.set_progress(0);
    for (int c : {kPlayButton, kFileButton, kConvertButton})
        view_.enable(c, true);
    view_.enable(kPauseButton, false);
    view_.enable(kStopButton, false);
}

void Player::on_help()
{
    kel::ui().open_help(kel::paths::program_dir() + "PLAVO.HLP", kHelpFinder);
}

void Player::on_volume(int position)
{
    volume_ = 255 - std::clamp(position, 0, 255);
    wd::set_master_volume(0, volume_, volume_);
}

bool Player::request_play(const std::string& path)
{
    // A conversion owns the job until it ends.
    if (path.empty() || path.size() > kMaxPath || converting_)
        return false;
    write_list(kCurrentSection, {path});
    playlist_mode_ = true;
    playlist_count_ = 1;
    file_chosen_ = true;
    if (playing_) {
        // The stop's end of file moves on to the new first entry.
        skip_ = true;
        playlist_index_ = 0;
        stop_step();
        return true;
    }
    playlist_index_ = 1;
    show_file(path);
    on_play();
    return true;
}

void Player::end_of_file()
{
    playback_.release();
    view_.set_levels(false, {});
    elapsed_ = 0;
    view_.set_seconds(0);
    ev::kill_timer(this, kClockTimer);
    ev::kill_timer(this, kMeterTimer);
    set_ready_buttons();
    playing_ = false;
    paused_ = false;
    if (playlist_mode_) {
        ++playlist_index_;
        std::string next =
            playlist_index_ <= playlist_count_ ? current_entry(playlist_index_) : std::string();
        if (next.empty()) {
            if (!loop_) {
                stop_step();
                return;
            }
            playlist_index_ = 1;
            next = current_entry(1);
            if (next.empty()) {
                stop_step();
                return;
            }
        }
        show_file(next);
        on_play();
    } else if (loop_) {
        on_play();
    }
}

void Player::on_timer(uint32_t id)
{
    switch (id) {
    case kClockTimer:
        elapsed_ = playback_.elapsed_seconds();
        view_.set_seconds(elapsed_);
        // Buffers return about once a second; the clock keeps the bar moving between them.
        if (playback_.device_open())
            view_.set_progress(playback_.progress_percent());
        break;
    case kMeterTimer: {
        if (++meter_counter_ > kMeterTicks)
            meter_counter_ = 0;
        size_t bytes = 0;
        const uint8_t* buffer = playback_.meter_buffer(bytes);
        view_.set_levels(buffer != nullptr,
                         meter_levels(buffer, bytes, playback_.channels(), meter_counter_));
        break;
    }
    case kResetTimer:
        ev::kill_timer(this, kResetTimer);
        playlist_index_ = 1;
        if (playlist_mode_) {
            const std::string first = current_entry(1);
            if (!first.empty())
                show_file(first);
        }
        view_.set_progress(0);
        loop_ = remembered_loop_;
        view_.set_check(kLoopCheck, loop_);
        break;
    case kStartTimer:
        ev::kill_timer(this, kStartTimer);
        if (!command_line_file_.empty()) {
            file_chosen_ = true;
            show_file(command_line_file_);
            view_.enable(kPlayButton, true);
            view_.enable(kConvertButton, true);
            on_play();
        }
        break;
    default:
        break;
    }
}

void Player::on_message(const ev::Message& m)
{
    switch (m.message) {
    case wd::kWomOpen:
        playback_.on_open(m.wparam);
        meter_counter_ = 0;
        if (m.wparam == device_ && playing_)
            ev::set_timer(this, kMeterTimer, 50);
        break;
    case wd::kWomDone: {
        const bool ours = m.wparam != 0 && m.wparam == playback_.handle();
        if (!playback_.on_done(m.wparam, reinterpret_cast<wd::Header*>(m.lparam))) {
            if (ours && playback_.device_open()) {
                meter_counter_ = 0;
                if (!paused_)
                    ev::set_timer(this, kMeterTimer, 50);
                view_.set_progress(playback_.progress_percent());
            }
        } else if (ours) {
            // The last buffer has played: the whole file is done.
            view_.set_progress(100);
        }
        break;
    }
    case wd::kWomClose:
        if (m.wparam != 0 && m.wparam == device_) {
            device_ = 0;
            end_of_file();
        }
        break;
    case ev::kWmTimer:
        on_timer(static_cast<uint32_t>(m.wparam));
        break;
    default:
        break;
    }
}

} // namespace plavo
