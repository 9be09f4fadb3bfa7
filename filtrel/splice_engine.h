#pragma once
// The segment-splicing engine on any run of frames of the working file, appending its
// result to a file. The member stretch_or_compress_passage runs it on the selection;
// Shift runs it on the neighbourhoods of the section.
class CChildFrame;

struct SpliceJob
{
    long first_frame = 0;    // in the working file
    long frames = 0;         // L: the run's length
    long segment_frames = 0; // nominal segment
    double factor = 1.0;     // F
    int variable = 0;        // factor moving between F and 1 over the segments
    int rising = 0;
    bool keep_length = false; // pitch: each joined segment is resampled back to its length
    long output_frames = 0;   // the exact total out (with keep_length, L)
    const char* progress_text = "";
};

// Frames the run gives: L with keep_length, else trunc(mean factor x L).
long splice_output_frames(const SpliceJob& job);
// Appends the job's output to the file at byte offset *written_bytes and advances it.
// 0 after a message (memory, file) or on Cancel.
int splice_frames(CChildFrame& doc, const SpliceJob& job, const char* output_file,
                  unsigned long* written_bytes);
