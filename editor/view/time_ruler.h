#pragma once
// The time ruler above the waveform: major marks at a round step, ten minor marks
// between them, labels in the current time format.
#include <string>
#include <vector>

class CChildFrame;

// The round step for a visible duration in seconds (1 second when none fits).
double ruler_round_step(double visible_seconds);
// Doubles the step while two labels of label_width pixels would overlap.
double widen_ruler_step(double step_seconds, double pixels_per_second, int label_width);

struct RulerMark
{
    int x = 0;
    bool major = false;
    std::string label; // major marks only
};

// Marks for the document's visible part in a window of the given width.
std::vector<RulerMark> ruler_marks(const CChildFrame& doc, int width, int label_width, int format,
                                   double* step_out = nullptr);

// A label at a time: seconds with three decimals below a 0.1 s step, else two; SMPTE
// as time code; the plain counts for formats 6 and 7.
std::string ruler_label(const CChildFrame& doc, double seconds, double step_seconds, int format);
