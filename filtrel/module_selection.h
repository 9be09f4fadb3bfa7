#pragma once
// The module's view of the document it is working on, recomputed by every command.
class CChildFrame;

struct ModuleSelection
{
    unsigned long start_byte = 0;
    unsigned long end_byte = 0;
    unsigned long total_bytes = 0;
    long sample_rate = 0;

    unsigned long length_bytes() const { return end_byte > start_byte ? end_byte - start_byte : 0; }
};

extern ModuleSelection g_selection;

// Selection and total in bytes (sample words times bytes per word) and the rate,
// clamped to the data the document holds.
void compute_module_selection(const CChildFrame& doc);

// The selection on whole frames: both ends rounded down to a frame boundary, so every
// channel of a frame is processed together and what is written back is exactly what was
// taken out.
struct FrameSpan
{
    unsigned long start_byte = 0;
    unsigned long end_byte = 0;
    unsigned long total_bytes = 0;
    int frame_bytes = 1;
    int channels = 1;
    int bytes_per_sample = 1;
    long sample_rate = 0;

    unsigned long length_bytes() const { return end_byte - start_byte; }
    long frames() const { return static_cast<long>(length_bytes() / frame_bytes); }
    long start_frame() const { return static_cast<long>(start_byte / frame_bytes); }
    long total_frames() const { return static_cast<long>(total_bytes / frame_bytes); }
};

FrameSpan selection_frames(const CChildFrame& doc);
