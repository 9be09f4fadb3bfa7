#pragma once
// The loop every length-keeping operation of this module shares: undo set-up, the
// highlighted section streamed through memory in blocks, progress and Cancel, the redo
// step. A Cancel or failure leaves the document exactly as it was.
#include "common/child_frame.h"

#include <cstddef>
#include <functional>

// One channel value at a time is too slow; blocks come as signed values, frame-interleaved.
struct SectionBlock
{
    int* values;       // channels * frames signed sample values (8-bit data minus 128)
    long frames;       // frames in this block
    long first_frame;  // index of the block's first frame within the section
    long total_frames; // frames in the whole section
    int channels;
};

// The selection as whole-frame byte positions.
struct SectionBytes
{
    long start = 0;
    long end = 0;
};
SectionBytes section_bytes(const CChildFrame& doc);

// Runs fn over every block of the section and writes the clamped values back into the
// redo file; operation_code names the undo step. 1 when the step was made.
int process_section(CChildFrame& doc, HWND window, int operation_code, const char* progress_text,
                    const std::function<void(SectionBlock&)>& fn);

// Clamps to the sample range (+-127 around 128, +-32767) and truncates toward zero.
int clamp_sample(double value, int bits);
