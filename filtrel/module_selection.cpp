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
