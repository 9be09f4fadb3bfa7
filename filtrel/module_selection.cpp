#include "filtrel/module_selection.h"

#include "common/child_frame.h"

#include <algorithm>

ModuleSelection g_selection;

void compute_module_selection(const CChildFrame& doc)
{
    const long bps = doc.bytes_per_sample();
    const long total = std::max(0L, doc.current.total_samples);
    const long end = std::clamp(doc.current.select_end, 0L, total);
    const long start = std::clamp(doc.current.select_start, 0L, end);
    g_selection.start_byte = static_cast<unsigned long>(start * bps);
    g_selection.end_byte = static_cast<unsigned long>(end * bps);
    g_selection.total_bytes = static_cast<unsigned long>(total * bps);
    g_selection.sample_rate = static_cast<long>(doc.wave_format.sample_rate);
}

FrameSpan selection_frames(const CChildFrame& doc)
{
    FrameSpan f;
    f.bytes_per_sample = std::max(1, doc.bytes_per_sample());
    f.channels = std::max<int>(1, doc.wave_format.channels);
    f.frame_bytes = f.bytes_per_sample * f.channels;
    f.sample_rate = static_cast<long>(doc.wave_format.sample_rate);
    const unsigned long fb = static_cast<unsigned long>(f.frame_bytes);
    const long total = std::max(0L, doc.current.total_samples);
    const long end = std::clamp(doc.current.select_end, 0L, total);
    const long start = std::clamp(doc.current.select_start, 0L, end);
    f.total_bytes = static_cast<unsigned long>(total) * f.bytes_per_sample / fb * fb;
    f.end_byte =
        std::min(f.total_bytes, static_cast<unsigned long>(end) * f.bytes_per_sample / fb * fb);
    f.start_byte =
        std::min(f.end_byte, static_cast<unsigned long>(start) * f.bytes_per_sample / fb * fb);
    return f;
}
