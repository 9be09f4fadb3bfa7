// The segment-splicing time stretch. The run is cut into segments of s frames; segment k
// of the input (length s, start p) becomes o = trunc(s f_k) frames (q = o - s):
//
//   stretching (q > 0):  A = input from p,  B = input from p - q (ends where the segment ends)
//       Y = A ........ | e A + (1 - e) B, e: 1 -> 0 over s/2 frames | B ......... (o frames)
//           0        q/4                                                        o
//   compressing (q <= 0): A = input from p,  B = input from p - q;  Y = (1 - i/o) A + (i/o) B
//
//   pitch: Y is read back at trunc(f_k i) for i < s, so the segment keeps its length and
//   every frequency is multiplied by f_k.
//
// Segments of 4096, 8192 or 16384 frames by rate; f_k is F, or moves between F and 1. All
// counts are frames, every channel of a frame is cut at the same place, and nothing is read
// from outside the run: at the run's edges the cross-fade moves to where both A and B lie
// inside it. The last segment takes the remainder and makes the total exactly the target.
#include "filtrel/splice_engine.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "filtrel/operation_progress.h"
#include "filtrel/pcm_samples.h"
#include "filtrel/pitch_settings.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

struct Segment
{
    long start = 0; // within the run
    long length = 0;
    long out = 0; // o
    double factor = 1.0;
};

std::vector<Segment> plan_segments(const SpliceJob& job, long target)
{
    std::vector<Segment> plan;
    const long l = job.frames;
    const long s = splice_segment_length(l, job.segment_frames);
    if (s <= 0)
        return plan;
    const long n = std::max(1L, l / s);
    long total = 0;
    for (long k = 0; k < n; ++k) {
        Segment g;
        g.start = k * s;
        g.length = k + 1 == n ? l - g.start : s;
        g.factor = segment_factor(job.factor, job.variable, job.rising, k, n);
        g.out = std::max(1L, static_cast<long>(static_cast<double>(g.length) * g.factor));
        total += g.out;
        plan.push_back(g);
    }
    if (!job.keep_length) {
        // The last segment evens out the rounding of the others.
        Segment& last = plan.back();
        last.out = std::max(1L, last.out + target - total);
    }
    return plan;
}

} // namespace

long splice_output_frames(const SpliceJob& job)
{
    if (job.keep_length || job.frames <= 0)
        return std::max(0L, job.frames);
    const long s = splice_segment_length(job.frames, job.segment_frames);
    const long n = std::max(1L, job.frames / std::max(1L, s));
    double sum = 0.0;
    for (long k = 0; k < n; ++k)
        sum += segment_factor(job.factor, job.variable, job.rising, k, n);
    return std::max(1L, static_cast<long>(sum / n * static_cast<double>(job.frames)));
}

int splice_frames(CChildFrame& doc, const SpliceJob& job, const char* output_file,
                  unsigned long* written_bytes)
{
    const long l = job.frames;
    if (l <= 0)
        return 0;
    const int bps = std::max(1, doc.bytes_per_sample());
    const int channels = std::max<int>(1, doc.wave_format.channels);
    const long frame_bytes = static_cast<long>(bps) * channels;
    const long target = job.output_frames > 0 ? job.output_frames : splice_output_frames(job);
    const std::vector<Segment> plan = plan_segments(job, target);

    // The window of input one segment needs, and the joined output of one channel.
    long window_frames = 1, joined_frames = 1, out_frames = 1;
    for (const Segment& g : plan) {
        const long q = g.out - g.length;
        window_frames = std::max(window_frames, std::max(0L, q) + std::max(g.out, g.length));
        joined_frames = std::max(joined_frames, g.out);
        out_frames = std::max(out_frames, job.keep_length ? g.length : g.out);
    }
    std::vector<unsigned char> window, out;
    std::vector<double> joined;
    try {
        window.resize(static_cast<size_t>(window_frames * frame_bytes));
        out.resize(static_cast<size_t>(out_frames * frame_bytes));
        joined.resize(static_cast<size_t>(joined_frames));
    } catch (const std::bad_alloc&) {
        NewErrMsg(out.empty() ? 5017 : 5019);
        return 0;
    }

    OperationProgress progress(job.progress_text);
    const long n = static_cast<long>(plan.size());
    const unsigned long first_byte = static_cast<unsigned long>(job.first_frame) * frame_bytes;
    for (long k = 0; k < n; ++k) {
        const Segment& g = plan[static_cast<size_t>(k)];
        const long p = g.start, s = g.length, o = g.out, q = o - s;
        const long from = std::max(0L, p - std::max(0L, q));
        const long to = std::min(l, from + window_frames);
        const long count = to - from;
        if (copy_file_to_memory(doc.working_file(), window.data(), 0, count * frame_bytes,
                                static_cast<long>(first_byte + from * frame_bytes),
                                0) < count * frame_bytes) {
            ErrMsg("Cannot read %s", doc.working_file());
            return 0;
        }
        // Input frame p + i of the run, held inside the run.
        auto input = [&](int c, long i) {
            const long at = std::clamp(p + i, 0L, l - 1) - from;
            const long clamped = std::clamp(at, 0L, count - 1);
            return static_cast<double>(load_sample(
                window.data() + clamped * frame_bytes + static_cast<long>(c) * bps, bps));
        };

        long fade_from = 0, fade = 0;
        if (q > 0) {
            fade = s / 2;
            // B must lie inside the run wherever it is heard, and so must A.
            fade_from = std::max(q / 4, q - p);
            if (fade_from > l - p - fade)
                fade_from = std::max(q - p, l - p - fade);
            fade_from = std::clamp(fade_from, 0L, std::max(0L, o - fade));
        }
        const long out_count = job.keep_length ? s : o;
        for (int c = 0; c < channels; ++c) {
            if (q > 0) {
                for (long i = 0; i < o; ++i) {
                    if (i < fade_from) {
                        joined[static_cast<size_t>(i)] = input(c, i);
                    } else if (i < fade_from + fade) {
                        const double e = 1.0 - static_cast<double>(i - fade_from) / fade;
                        joined[static_cast<size_t>(i)] =
                            e * input(c, i) + (1.0 - e) * input(c, i - q);
                    } else {
                        joined[static_cast<size_t>(i)] = input(c, i - q);
                    }
                }
            } else {
                for (long i = 0; i < o; ++i) {
                    const double e = static_cast<double>(i) / o;
                    joined[static_cast<size_t>(i)] = (1.0 - e) * input(c, i) + e * input(c, i - q);
                }
            }
            unsigned char* dst = out.data() + static_cast<long>(c) * bps;
            for (long i = 0; i < out_count; ++i) {
                long from_joined = i;
                if (job.keep_length)
                    from_joined =
                        std::min(o - 1, static_cast<long>(g.factor * static_cast<double>(i)));
                store_sample(dst + i * frame_bytes, bps, joined[static_cast<size_t>(from_joined)]);
            }
        }
        if (!copy_memory_to_file(output_file, reinterpret_cast<const char*>(out.data()), 0,
                                 static_cast<unsigned long>(out_count * frame_bytes),
                                 static_cast<long>(*written_bytes), 0))
            return 0;
        *written_bytes += static_cast<unsigned long>(out_count * frame_bytes);
        progress.percent(static_cast<int>((k + 1) * 100 / (n + 1)));
        if (progress.cancelled())
            return 0;
    }
    return 1;
}
