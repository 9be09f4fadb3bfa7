#include "editor/view/time_ruler.h"

#include "common/child_frame.h"
#include "editor/view/time_text.h"
#include "editor/view/view_state.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double kSeries[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5,  1,
                              2,     5,     10,    20,   50,   100,  200, 500, 1000, 2000};
} // namespace

double ruler_round_step(double visible_seconds)
{
    const double t = visible_seconds;
    for (int m : {6, 5, 4, 3}) {
        for (double s : kSeries) {
            if (std::fabs(m * s - t) <= 0.2 * t)
                return s;
        }
    }
    return 1.0;
}

double widen_ruler_step(double step_seconds, double pixels_per_second, int label_width)
{
    if (!(pixels_per_second > 0.0) || label_width <= 0)
        return step_seconds;
    // Bounded: a step beyond a day is wider than any window.
    while (step_seconds * pixels_per_second < label_width && step_seconds < 86400.0)
        step_seconds *= 2.0;
    return step_seconds;
}

std::string ruler_label(const CChildFrame& doc, double seconds, double step_seconds, int format)
{
    char text[48];
    switch (format) {
    case 24:
    case 25:
    case 30:
        return smpte_text(seconds, format);
    case kTimeBlocks:
    case kTimeWords:
        return position_text(doc, seconds_to_samples(doc, seconds), format);
    default: {
        char f[8];
        std::snprintf(f, sizeof f, "%c6.%df", '%', step_seconds < 0.1 ? 3 : 2);
        std::snprintf(text, sizeof text, f, seconds);
        return text;
    }
    }
}

std::vector<RulerMark> ruler_marks(const CChildFrame& doc, int width, int label_width, int format,
                                   double* step_out)
{
    std::vector<RulerMark> marks;
    const double rate = doc.wave_format.sample_rate;
    if (width <= 0 || rate <= 0 || doc.current.total_samples <= 0)
        return marks;
    const double fpp = frames_per_pixel(doc);
    const double pixels_per_second = rate / fpp;
    const double t0 = position_seconds(doc, doc.first_visible);
    const double visible = width / pixels_per_second;
    double step = widen_ruler_step(ruler_round_step(visible), pixels_per_second, label_width);
    if (step_out)
        *step_out = step;
    const double minor = step / 10.0;
    const double end = position_seconds(doc, doc.current.total_samples);
    long first = static_cast<long>(std::ceil(t0 / minor - 1e-9));
    for (long i = first;; ++i) {
        const double t = i * minor;
        const double x = (t - t0) * pixels_per_second;
        if (x >= width || t > end + 1e-9)
            break;
        RulerMark m;
        m.x = static_cast<int>(std::lround(x));
        m.major = i % 10 == 0;
        if (m.major)
            m.label = ruler_label(doc, t, step, format);
        marks.push_back(std::move(m));
    }
    return marks;
}
