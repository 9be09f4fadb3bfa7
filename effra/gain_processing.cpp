// The shared entry point and block loop of the compressor / expander and the drawn
// envelope: the dialog first, then the selection in place in the redo file, 32768 bytes at
// a time.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "common/preset_values.h"
#include "effra/compressor_dialog.h"
#include "effra/delay_effect.h"
#include "effra/envelope_dialog.h"
#include "effra/gain_envelope.h"
#include "effra/progress_window.h"
#include "effra/selection_outline.h"
#include "effra/selection_region.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr int kOk = 1;
constexpr int kView = 1880;
constexpr int kCreate = 373;
constexpr int kCompressorCommand = 11503;
constexpr int kEnvelopeCommand = 11505;

// A preset from KVSECHO.INI or the graph; true when a transfer table for this sample size
// is ready. A chosen preset runs at once, as every effect's presets do; View shows it first.
bool choose_compressor_curve(int limit)
{
    using namespace effra;
    GainSettings& settings = gain_settings();
    const PresetFamily family = preset_family(PresetKind::Compressor);
    set_preset_context_for(family, preset_directory());
    char chosen[kMaxPresetName + 1] = {};
    const int how = new_select_process(chosen);
    if (how == kOk || how == kView) {
        std::vector<int> values;
        if (!read_preset_values(family, compressor_preset_path(), chosen, 1, values))
            return false;
        if (!apply_compressor_preset(settings, values))
            return false;
        if (how == kOk) {
            settings.table = build_transfer_table(settings.points, limit);
            return true;
        }
    } else if (how != kCreate) {
        return false;
    }
    CompressorDialog dialog(settings, limit);
    return kel::ui().run_modal(dialog) == kOk;
}

} // namespace

int CChildFrame::amplify_waveform_by_envelope(HWND window, int mode)
{
    using namespace effra;
    owner_window = window;
    const bool compressor = mode != 0;
    GainSettings& settings = gain_settings();
    const int sample_bytes = bytes_per_sample();
    if (sample_bytes != 1 && sample_bytes != 2) {
        NewErrMsg(5016);
        return 0;
    }
    const int limit = sample_limit(sample_bytes);
    const SelectionBytes selection = whole_frames_of_selection(*this);
    if (selection.bytes == 0)
        return 0;

    double e = 0.0;
    double state[2] = {0.0, 0.0};
    if (compressor) {
        if (!choose_compressor_curve(limit))
            return 0;
        e = smoothing_factor(settings.attack, wave_format.sample_rate);
        settings.channel_mode = 1;
        if (settings.table.size() != static_cast<size_t>(limit) + 2)
            settings.table = build_transfer_table(settings.points, limit);
    } else {
        EnvelopeDialog dialog(settings, wave_format.channels,
                              selection_outline(*this, envelope_area().width));
        if (kel::ui().run_modal(dialog) != kOk)
            return 0;
    }

    // Steps of one pair of samples; blocks of whole steps.
    const unsigned long pair = 2ul * static_cast<unsigned long>(sample_bytes);
    const unsigned long block_bytes =
        std::max(pair, compute_sample_length(selection.bytes, pair, 32768));
    std::unique_ptr<int16_t[]> block(new (std::nothrow) int16_t[(block_bytes + 1) / 2]);
    if (!block) {
        NewErrMsg(5001);
        return 0;
    }
    if (!setup_for_undo(owner_window, 1))
        return 0;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return 0;
    }

    EnvelopeGain gain;
    gain.curve = &settings.curve;
    gain.height = envelope_area().height;
    gain.channel_mode = wave_format.channels == 2 ? settings.channel_mode : 1;
    gain.selection_bytes = selection.bytes;

    const unsigned long end = selection.start + selection.bytes;
    unsigned char* data = reinterpret_cast<unsigned char*>(block.get());
    bool stopped = false;
    {
        ProgressWindow progress(compressor ? "Compressing / expanding waveform ..."
                                           : "Scaling by envelope ...");
        for (unsigned long at = selection.start; at < end;) {
            const unsigned long count = std::min(block_bytes, end - at);
            const int got = copy_file_to_memory(redo_file(), data, 0, static_cast<long>(count),
                                                static_cast<long>(at), 0);
            if (got < 0 || static_cast<unsigned long>(got) != count) {
                NewErrMsg(5038);
                stopped = true;
                break;
            }
            const GainBlock b{data, count / static_cast<unsigned long>(sample_bytes), sample_bytes};
            if (compressor)
                compress_block(b, settings.table, e, state);
            else
                envelope_block(b, gain, at - selection.start);
            // A Cancel drops the block in hand.
            if (progress.cancelled()) {
                stopped = true;
                break;
            }
            if (!copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(data), 0, count,
                                     static_cast<long>(at), 0)) {
                NewErrMsg(5031);
                stopped = true;
                break;
            }
            at += count;
            progress.percent(
                static_cast<int>((at - selection.start) * 100 / (selection.bytes + 1)));
        }
    }
    block.reset();
    if (stopped) {
        // The redo file never becomes the document's state.
        abandon_undo_setup();
        return 0;
    }
    return setup_for_redo(owner_window, compressor ? kCompressorCommand : kEnvelopeCommand, 1);
}
