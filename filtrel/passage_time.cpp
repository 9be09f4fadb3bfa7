// Stretch / Tempo (11500) and the fast pitch change (11502), and the new working file
// that every length-changing engine ends in:
//
//   "NEWTEMPO" / "NEWPITCH" --F--> engine --> temporary file --+
//                                                               v
//   working file: [ head | section | tail ]  -->  redo file: [ head | result | tail ]
//
// Tempo: F = 1 + 0.15 value %, -15 % .. +15 % (value -100 .. 100); the section becomes F
// times as long. Pitch: F = 1 + value / 12 %, the section keeps its length. Head and tail
// are cut at the same whole frame as the section the engine took.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/pitch_dialogs.h"
#include "filtrel/pitch_settings.h"
#include "filtrel/splice_engine.h"
#include "platform/ui.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool create_temporary()
{
    drop_passage_file();
    char name[260] = {};
    make_working_name(name, ".tmp");
    const int fd = name[0] ? ::open(name, O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0644) : -1;
    if (fd < 0) {
        NewErrMsg(5031);
        return false;
    }
    ::close(fd);
    g_passage.temp_file = name;
    return true;
}

long file_bytes(const char* name)
{
    struct stat st = {};
    return ::stat(name, &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

const char* splice_progress_text(int command_id, float factor)
{
    if (command_id == kShiftCommand)
        return "Shifting segment ...";
    if (command_id == kPitchCommand)
        return factor > 1.0f ? "Increasing pitch ..." : "Decreasing pitch ...";
    return factor > 1.0f ? "Stretching segment ..." : "Compressing segment ...";
}

} // namespace

bool make_passage_temporary()
{
    return create_temporary();
}

int CChildFrame::stretch_selected_passage(HWND window, int command_id, int flag)
{
    owner_window = window;
    if (!check_sample_format())
        return 0;
    begin_passage(*this);
    if (g_passage.span.frames() <= 0)
        return 0;
    const bool pitch = command_id == kPitchCommand;
    PassageSliderDialog dialog(
        pitch ? PassageSliderDialog::Kind::Pitch : PassageSliderDialog::Kind::Tempo, g_pitch);
    if (kel::ui().run_modal(dialog) != passage_dialog::kOk)
        return 0;
    const float factor = passage_factor(pitch ? pitch_percent(g_pitch.pitch_value)
                                              : tempo_percent(g_pitch.tempo_value));
    if (factor == 1.0f)
        return 0;
    const long rate = static_cast<long>(wave_format.sample_rate);
    const unsigned long buffer =
        std::min<unsigned long>(g_passage.span.length_bytes(), rate < 44100 ? 65536 : 131072);
    unsigned long output = 0;
    return modify_passage_time(splice_segment_frames(rate), factor, &output, command_id, buffer, 1,
                               flag);
}

int CChildFrame::modify_passage_time(int segment_frames, float factor, unsigned long* output_bytes,
                                     int command_id, unsigned long buffer_bytes, int make_temporary,
                                     int flag)
{
    (void)flag;
    if (make_temporary && !create_temporary())
        return 0;
    unsigned long bytes = 0;
    const int ok =
        command_id == kFramePickingCommand
            ? interpolate_to_change_pitch(factor, &bytes)
            : stretch_or_compress_passage(&bytes, segment_frames, factor, command_id, buffer_bytes);
    if (!ok) {
        drop_passage_file();
        return 0;
    }
    g_passage.output_bytes = bytes;
    if (output_bytes)
        *output_bytes = bytes;
    // The frame-picking engine changes the pitch: its step is named like the others.
    return make_new_expand_file(owner_window,
                                command_id == kFramePickingCommand ? kPitchCommand : command_id);
}

int CChildFrame::stretch_or_compress_passage(unsigned long* output_bytes, int segment_frames,
                                             float factor, int command_id,
                                             unsigned long buffer_bytes)
{
    (void)buffer_bytes; // the engine sizes its buffers by the segments it makes
    const FrameSpan& span = g_passage.span;
    if (span.frames() <= 0 || !(factor > 0.0f) || g_passage.temp_file.empty())
        return 0;
    SpliceJob job;
    job.first_frame = span.start_frame();
    job.frames = span.frames();
    job.segment_frames = segment_frames;
    job.factor = factor;
    job.variable = g_pitch.variable;
    job.rising = g_pitch.rising;
    job.keep_length = command_id == kPitchCommand;
    job.output_frames = splice_output_frames(job);
    job.progress_text = splice_progress_text(command_id, factor);
    unsigned long written = 0;
    if (!splice_frames(*this, job, g_passage.temp_file.c_str(), &written))
        return 0;
    if (output_bytes)
        *output_bytes = written;
    return 1;
}

int CChildFrame::make_new_expand_file(HWND window, int command_id)
{
    const FrameSpan& span = g_passage.span;
    const long bps = std::max(1, bytes_per_sample());
    current.select_start = g_passage.select_start;
    current.select_end = g_passage.select_end;
    auto fail = [&]() {
        abandon_undo_setup();
        drop_passage_file();
        return 0;
    };
    if (!setup_for_undo(window, 0)) {
        drop_passage_file();
        return 0;
    }
    const unsigned long data_bytes =
        static_cast<unsigned long>(std::max(0L, current.total_samples)) * bps;
    const char* temp = g_passage.temp_file.c_str();
    if (span.start_byte > 0 && !copy_file_to_file(redo_file(), working_file(), span.start_byte, 0,
                                                  -1, 0, "Copying file...")) {
        ErrMsg("384: Failed to copy szFileName = %s to szRedoFileName = %s", working_file(),
               redo_file());
        return fail();
    }
    if (g_passage.output_bytes > 0 && !copy_file_to_file(redo_file(), temp, g_passage.output_bytes,
                                                         0, -1, 0, "Copying file...")) {
        ErrMsg("400: Failed to copy szClipFile = %s to szRedoFile = %s", temp, redo_file());
        return fail();
    }
    if (data_bytes > span.end_byte &&
        !copy_file_to_file(redo_file(), working_file(), data_bytes - span.end_byte, span.end_byte,
                           -1, 0, "Copying file...")) {
        ErrMsg("416: failed to copy szFileName = %s to szRedoFileName = %s", working_file(),
               redo_file());
        return fail();
    }
    const long want = static_cast<long>(span.start_byte + g_passage.output_bytes +
                                        (data_bytes - std::min(data_bytes, span.end_byte)));
    if (file_bytes(redo_file()) != want) {
        NewErrMsg(5031);
        return fail();
    }
    current.total_samples = want / bps;
    redo.total_samples = current.total_samples;
    current.select_start = static_cast<long>(span.start_byte) / bps;
    current.select_end = current.select_start + static_cast<long>(g_passage.output_bytes) / bps;
    keep_overview_head(static_cast<long>(span.start_byte));
    drop_passage_file();
    return setup_for_redo(window, command_id, 0);
}
