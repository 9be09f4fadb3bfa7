#pragma once
// Samples an effect drove to full scale: counted per channel after each operation, told
// in the status line, and kept as spans that the view marks.
#include <string>
#include <vector>

class CChildFrame;

struct ClipCount
{
    long left = 0; // the only channel of a mono file
    long right = 0;
    long total() const { return left + right; }
};

// A run of frames holding a full-scale sample, in sample words of the working file.
struct ClipSpan
{
    long start = 0;
    long end = 0;
};

// Samples at full scale (16-bit +-32767 and below, 8-bit 0, 1 and 255) between two sample
// words of a working file, read in blocks. Spans, when asked for, join runs closer than
// gap_words.
ClipCount count_full_scale(const char* file, long start, long end, int channels, int bits,
                           std::vector<ClipSpan>* spans = nullptr, long gap_words = 0);

// "Clipped 1200 samples: 1000 left, 200 right" ("Clipped 12 samples" for mono).
std::string clip_message(const ClipCount& clipped, int channels);

// After operation `code` made the current state from the undo state: counts what it
// drove to full scale in the highlighted section beyond what was there before, tells
// the status line when any, and keeps the spans for the view.
void note_clipping(const CChildFrame& doc, int code);

// The spans of the document's present working file (empty when none clipped).
const std::vector<ClipSpan>& clipped_spans(const CChildFrame& doc);

// Where status-line texts go; the window layer sets it.
extern void (*g_status_text)(const std::string& text);
