#include "effra/selection_region.h"

#include "common/child_frame.h"
#include "common/host_services.h"

#include <algorithm>
#include <new>

namespace effra {

SelectionBytes whole_frames_of_selection(CChildFrame& doc)
{
    SelectionBytes r;
    const unsigned long sample_bytes =
        static_cast<unsigned long>(std::max(1, doc.bytes_per_sample()));
    const unsigned long frame =
        sample_bytes * static_cast<unsigned long>(std::max<int>(1, doc.wave_format.channels));
    r.frame_bytes = static_cast<int>(frame);
    const unsigned long total = static_cast<unsigned long>(std::max(0L, doc.total_samples()));
    const unsigned long first = static_cast<unsigned long>(std::max(0L, doc.select_start()));
    const unsigned long last =
        std::min(total, static_cast<unsigned long>(std::max(0L, doc.select_end())));
    // A selection that starts inside a frame begins at the next whole one: nothing before
    // the selection is touched.
    const unsigned long start = (first * sample_bytes + frame - 1) / frame * frame;
    const unsigned long end = last * sample_bytes / frame * frame;
    if (end > start) {
        r.start = start;
        r.bytes = end - start;
        r.frames = r.bytes / frame;
    } else {
        r.start = std::min(start, end);
    }
    return r;
}

bool selection_fits_in_memory(CChildFrame& doc)
{
    if (whole_frames_of_selection(doc).bytes <= kInMemorySelectionLimit)
        return true;
    NewErrMsg(5001);
    return false;
}

std::unique_ptr<unsigned char[]> region_buffer(unsigned long bytes)
{
    std::unique_ptr<unsigned char[]> buffer;
    if (bytes <= kInMemorySelectionLimit)
        buffer.reset(new (std::nothrow) unsigned char[std::max(1ul, bytes)]);
    if (!buffer)
        NewErrMsg(5001);
    return buffer;
}

} // namespace effra
