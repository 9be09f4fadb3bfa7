// The block loop shared by echo and reverb. The selection is processed in place in the
// redo file, one block of exactly the delay's length at a time, so delay-line entry i
// always holds frame i of the block before.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "effra/delay_effect.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Which samples of a frame get a delay line.
std::vector<int> processed_channels(int channels, int choice)
{
    if (channels < 2)
        return {0};
    if (choice == 2)
        return {0};
    if (choice == 3)
        return {1};
    return {0, 1};
}

struct ProgressWindow
{
    int handle = 0;
    explicit ProgressWindow(const char* text) : handle(display_message_dialog(text, 1))
    {
        show_percent_done(handle, 0);
    }
    ~ProgressWindow() { terminate_message_dialog(handle); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
};

} // namespace

int CChildFrame::do_new_echo_waveform(const char* operation_name, int undo_flag)
{
    using namespace effra;
    const DelayEffect* effect = effect_named(operation_name);
    if (!effect)
        return 0;
    DelaySettings& settings = delay_settings();
    const int delay_ms = settings.delay_ms(*effect);
    const int decay = settings.decay_percent(*effect);

    const int sample_bytes = bytes_per_sample();
    const int channels = wave_format.channels;
    const int frame = sample_bytes * channels;
    if (frame <= 0)
        return 0;
    const float gain = static_cast<float>(decay * 0.01);
    const DelayGeometry geometry = delay_geometry(wave_format.sample_rate, delay_ms, frame);
    const std::vector<int> lanes = processed_channels(channels, settings.channel_choice);

    std::vector<std::unique_ptr<int32_t[]>> lines;
    for (size_t i = 0; i < lanes.size(); ++i) {
        lines.emplace_back(new (std::nothrow) int32_t[geometry.delay_line_entries]());
        if (!lines.back()) {
            NewErrMsg(5001);
            return 0;
        }
    }
    // Taken before the undo set-up, so that a failure leaves nothing to put back; words, so
    // that 16-bit samples are worked on in place (8-bit ones are read as bytes).
    std::unique_ptr<int16_t[]> block(new (std::nothrow) int16_t[(geometry.block_bytes + 1) / 2]);
    if (!block) {
        NewErrMsg(5001);
        return 0;
    }

    // Byte positions in the working file, on whole frames.
    const unsigned long data_end = static_cast<unsigned long>(std::max(0L, total_samples())) *
                                   static_cast<unsigned long>(sample_bytes);
    const unsigned long selection_end_raw =
        std::min(data_end, static_cast<unsigned long>(std::max(0L, select_end())) * sample_bytes);
    const unsigned long f = static_cast<unsigned long>(frame);
    const unsigned long end = selection_end_raw / f * f;
    const unsigned long start = std::min(
        end, static_cast<unsigned long>(std::max(0L, select_start())) * sample_bytes / f * f);
    unsigned long tail = 0;
    if (effect->has_tail && settings.outside) {
        tail = std::min(echo_tail_bytes(geometry.block_bytes, decay), data_end - end);
        tail -= tail % f;
    }
    const unsigned long region_end = end + tail;

    if (undo_flag) {
        if (!setup_for_undo(owner_window, 1))
            return 0;
        if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
            abandon_undo_setup();
            return 0;
        }
    }
    // The redo file holds the data up to the selection's end; the tail is processed in
    // place like the selection, so it needs the sound that follows too.
    if (region_end > selection_end_raw &&
        !copy_file_to_file(redo_file(), working_file(), region_end - selection_end_raw,
                           selection_end_raw, static_cast<long>(selection_end_raw), 0,
                           "Copying file...")) {
        if (undo_flag)
            abandon_undo_setup();
        return 0;
    }

    const bool coded = sample_bytes == 1 || sample_bytes == 2;
    const unsigned long region = region_end - start;
    bool stopped = false;
    {
        ProgressWindow progress(effect->progress_text);
        for (unsigned long at = start; at < region_end;) {
            const unsigned long count = std::min(geometry.block_bytes, region_end - at);
            const int got = copy_file_to_memory(redo_file(), block.get(), 0,
                                                static_cast<long>(count), static_cast<long>(at), 0);
            if (got < 0 || static_cast<unsigned long>(got) != count) {
                NewErrMsg(5038);
                stopped = true;
                break;
            }
            if (coded) {
                for (size_t lane = 0; lane < lanes.size(); ++lane) {
                    DelayBlock b;
                    b.first_sample =
                        reinterpret_cast<unsigned char*>(block.get()) + lanes[lane] * sample_bytes;
                    b.frame_count = static_cast<long>(count / f);
                    b.stride = channels;
                    b.sample_bytes = sample_bytes;
                    b.delay_line = lines[lane].get();
                    b.gain = gain;
                    effect->process(b);
                }
            }
            if (!copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(block.get()), 0,
                                     count, static_cast<long>(at), 0)) {
                NewErrMsg(5031);
                stopped = true;
                break;
            }
            at += count;
            if (cancel_button_pressed(progress.handle)) {
                stopped = true;
                break;
            }
            show_percent_done(progress.handle, static_cast<int>((at - start) * 100 / (region + 1)));
        }
    }
    block.reset();
    lines.clear();

    if (stopped) {
        // The redo file never becomes the document's state.
        if (undo_flag)
            abandon_undo_setup();
        return 0;
    }
    if (tail > 0)
        select_end() = static_cast<long>(region_end / static_cast<unsigned long>(sample_bytes));
    return setup_for_redo(owner_window, effect->command, 1);
}
