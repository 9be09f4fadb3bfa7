// Shift (11513, "Quantize selection"): the highlighted section moves by h frames, up to a
// quarter second, and the file keeps its length. The g = 4h frames on either side of it are
// re-timed by the splicing engine, one stretched by 1.25 (g + h frames) and the other
// squeezed by 0.75 (g - h):
//
//   [ head | before: g | section | after: g | tail ]
//   [ head | before: g -/+ h | section | after: g +/- h | tail ]
//
// Slider -100 .. 100, d = value / 100 quarter notes of a second; positive values move the
// section earlier (the top of the slider reads "Earlier"), negative ones later.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/pitch_dialogs.h"
#include "filtrel/pitch_settings.h"
#include "filtrel/splice_engine.h"
#include "platform/ui.h"

#include <cmath>
#include <sys/stat.h>

namespace {

long file_bytes(const char* name)
{
    struct stat st = {};
    return ::stat(name, &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

} // namespace

int CChildFrame::shift_waveform(HWND window)
{
    owner_window = window;
    if (!current.has_selection || current.select_end <= current.select_start) {
        NewErrMsg(5053);
        return 0;
    }
    if (!check_sample_format())
        return 0;
    PassageSliderDialog dialog(PassageSliderDialog::Kind::Quantize, g_pitch);
    if (kel::ui().run_modal(dialog) != passage_dialog::kOk)
        return 0;
    const double d = g_pitch.quantize_value * 0.01;
    if (d == 0.0)
        return 0;
    begin_passage(*this);
    const FrameSpan span = g_passage.span;
    const long h = static_cast<long>(std::fabs(d) * static_cast<double>(span.sample_rate) * 0.25);
    const long g = 4 * h;
    const long start = span.start_frame();
    const long end = start + span.frames();
    if (h <= 0 || start < g || end + g >= span.total_frames()) {
        NewErrMsg(5054);
        return 0;
    }
    const bool earlier = d > 0;
    if (!make_passage_temporary())
        return 0;

    const int segment = splice_segment_frames(span.sample_rate);
    unsigned long written = 0;
    unsigned long before_bytes = 0;
    for (int run = 0; run < 2; ++run) {
        SpliceJob job;
        job.first_frame = run == 0 ? start - g : end;
        job.frames = g;
        job.segment_frames = segment;
        const bool stretch = (run == 0) != earlier;
        job.factor = stretch ? 1.25 : 0.75;
        job.output_frames = stretch ? g + h : g - h;
        job.progress_text = "Shifting segment ...";
        if (!splice_frames(*this, job, g_passage.temp_file.c_str(), &written)) {
            drop_passage_file();
            return 0;
        }
        if (run == 0)
            before_bytes = written;
    }

    if (!setup_for_undo(window, 0)) {
        drop_passage_file();
        return 0;
    }
    auto fail = [&]() {
        abandon_undo_setup();
        drop_passage_file();
        return 0;
    };
    const long frame_bytes = span.frame_bytes;
    const unsigned long data_bytes =
        static_cast<unsigned long>(std::max(0L, current.total_samples)) * bytes_per_sample();
    const unsigned long head = static_cast<unsigned long>((start - g) * frame_bytes);
    const unsigned long tail_from = static_cast<unsigned long>((end + g) * frame_bytes);
    const char* temp = g_passage.temp_file.c_str();
    struct Part
    {
        const char* source;
        unsigned long bytes, from;
    };
    const Part parts[] = {{working_file(), head, 0},
                          {temp, before_bytes, 0},
                          {working_file(), span.length_bytes(), span.start_byte},
                          {temp, written - before_bytes, before_bytes},
                          {working_file(), data_bytes - tail_from, tail_from}};
    for (const Part& p : parts) {
        if (p.bytes > 0 &&
            !copy_file_to_file(redo_file(), p.source, p.bytes, p.from, -1, 0, "Copying file...")) {
            if (p.source == temp)
                ErrMsg("400: Failed to copy szClipFile = %s to szRedoFile = %s", temp, redo_file());
            else
                ErrMsg("416: failed to copy szFileName = %s to szRedoFileName = %s", working_file(),
                       redo_file());
            return fail();
        }
    }
    if (file_bytes(redo_file()) != static_cast<long>(data_bytes)) {
        NewErrMsg(5031);
        return fail();
    }
    // The section and its highlight move together.
    const long moved = (earlier ? -h : h) * span.channels;
    current.select_start = span.start_byte / span.bytes_per_sample + moved;
    current.select_end =
        current.select_start + static_cast<long>(span.length_bytes()) / span.bytes_per_sample;
    keep_overview_head(static_cast<long>(head));
    drop_passage_file();
    return setup_for_redo(window, kShiftCommand, 0);
}
