// Insert Silence: the dialog chooses the length, the engine puts it in at the selection
// start.
#include "common/host_services.h"
#include "editor/edit/clipboard_files.h"
#include "editor/edit/combine_engine.h"
#include "editor/edit/edit_commands.h"
#include "editor/edit/silence_dialog.h"
#include "platform/ui.h"

namespace {

// A document must stay something a wave file can hold.
constexpr long kLargestDataBytes = 0xFFFFFFFFL - 64;

} // namespace

int edit_insert_silence(CChildFrame& doc)
{
    InsertSilenceDialog dialog(g_clipboard.silence_seconds);
    const int result = kel::ui().run_modal(dialog);
    long samples;
    if (result == 11518) {
        if (!has_highlighted_section(doc)) {
            kel::ui().beep();
            return 0;
        }
        samples = doc.current.select_end - doc.current.select_start;
    } else if (result == 11500) {
        const long seconds = dialog.total_seconds();
        g_clipboard.silence_seconds = static_cast<int>(seconds);
        samples =
            seconds * doc.wave_format.channels * static_cast<long>(doc.wave_format.sample_rate);
    } else {
        return 0;
    }
    if (samples <= 0)
        return 0;
    const long bps = doc.bytes_per_sample();
    if (samples > (kLargestDataBytes - doc.current.total_samples * bps) / bps) {
        ErrMsg("%s", "The silence would make the file longer than a wave file can hold.");
        return 0;
    }
    g_clipboard.silence_samples = samples;
    return combine_selection(&doc, doc, 0, 11518);
}
