// Change Pitch (11502, also "&Glissando..."): how, then the engine.
//
//   HOWTOCHANGEPITCH --101 "&Fast method"--> NEWPITCH --> splicing engine (tempo kept)
//                    --102 "&Slow method"--> NEWCHANGEPITCH --> FFT engine (length kept)
//                    --103 "Change &tempo"--> NEWCHANGEPITCH --> frame picking (both change)
#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/pitch_dialogs.h"
#include "filtrel/pitch_settings.h"
#include "platform/ui.h"

namespace {

// The value of the key chosen, or 0 when the keyboard was cancelled.
int key_value()
{
    KeyboardDialog keyboard(g_pitch);
    const int v = kel::ui().run_modal(keyboard);
    return v > 2 && v != kNoChangeValue ? v : 0;
}

} // namespace

int CChildFrame::how_to_change_pitch(HWND window)
{
    owner_window = window;
    begin_passage(*this);
    HowToChangePitchDialog how;
    const int choice = kel::ui().run_modal(how);
    switch (choice) {
    case passage_dialog::kFastMethod:
        stretch_selected_passage(window, kPitchCommand, 1);
        return 1;
    case passage_dialog::kSlowMethod:
        if (const int v = key_value())
            change_pitch_with_FFT("FFT Change Pitch", fft_pitch_ratio(v));
        return 1;
    case passage_dialog::kChangeTempo:
        if (const int v = key_value()) {
            if (!check_sample_format())
                return 1;
            begin_passage(*this);
            if (g_passage.span.frames() <= 0)
                return 1;
            unsigned long output = 0;
            modify_passage_time(1024, 1.0f / tempo_key_ratio(v), &output, kFramePickingCommand,
                                1024, 1, 1);
        }
        return 1;
    default:
        return 0;
    }
}
