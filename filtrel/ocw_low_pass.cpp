// Gives the editor's OCW encoder its anti-aliasing filter when this module is loaded.
#include "common/child_frame.h"
#include "editor/files/ocw_encoder.h"

namespace {

int low_pass(CChildFrame& doc, float frequency, const char* filter_type, const char* progress_text)
{
    return doc.do_filter_waveform(frequency, filter_type, progress_text);
}

[[maybe_unused]] const bool installed = (ocw_low_pass = low_pass, true);

} // namespace
