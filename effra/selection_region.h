#pragma once
// The effects that work on the whole selection at once (spatial placement, tones) hold it in
// memory; a selection above the limit is refused with the memory message before anything
// is changed, rather than failing halfway.
#include <cstdint>
#include <memory>

class CChildFrame;

namespace effra {

// 512 MiB: 50 minutes of 44.1 kHz stereo 16-bit sound.
inline constexpr unsigned long kInMemorySelectionLimit = 512ul << 20;

// Byte range of the working file: whole frames inside the selection, never past the data.
struct SelectionBytes
{
    unsigned long start = 0;
    unsigned long bytes = 0;
    unsigned long frames = 0;
    int frame_bytes = 1;
};

SelectionBytes whole_frames_of_selection(CChildFrame& doc);

// False, after "Cannot allocate memory." (5001), when the selection is above the limit:
// asked before any dialog, so nobody sets up an effect that cannot run.
bool selection_fits_in_memory(CChildFrame& doc);

// A buffer for the region, or null after "Cannot allocate memory." (5001): above the limit,
// or when the allocation fails.
std::unique_ptr<unsigned char[]> region_buffer(unsigned long bytes);

} // namespace effra
