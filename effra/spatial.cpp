// Spatial localization: the leading channel is read from later in the passage; the other
// keeps its timing.
//
//   left  x_L ──> [ read ahead by lead_L frames ] ──> (invert?) ──> clamp ──> y_L
//   right x_R ──> [ read ahead by lead_R frames ] ──> (invert?) ──> clamp ──> y_R
//
//   Far right:   lead_R = N                 Far left:    lead_L = N
//   In between:  the leading side gets (x[i + N] >> 1) + (x[i] >> 1); left leads at
//                positions 1 to 100, right at -100 to 0; N = N(4 ms |p| / 100) |p| / 100
//   Pan L -> R:  left leads (1 - 2i / W) N for the first half, right (2i / W - 1) N after
//   Pan R -> L:  the mirror image
//   Back and forth: a triangle from 0 up to N and back over each swing, on the left side
//                and the right side in turn
//   A channel that does not lead (and is neither halved nor inverted) is left as it is.
//
// Delay 1 to 100 ms (initially 4), N = trunc(rate * delay / 1000) frames; back-and-forth
// rate 1 to 100 tenths of a hertz, one swing per cycle of that rate. Samples read from
// beyond the end of the selection are silence. Limits: +-127 (8-bit, around 128) and
// +-32767 (16-bit).
#include "effra/spatial.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "effra/delay_samples.h"
#include "effra/progress_window.h"
#include "effra/selection_region.h"
#include "platform/ui.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <utility>

namespace effra {

SpatialSettings& spatial_settings()
{
    static SpatialSettings settings;
    return settings;
}

SpatialPlan spatial_plan(const SpatialSettings& s, unsigned long samples_per_second)
{
    SpatialPlan plan;
    const double rate = static_cast<double>(samples_per_second);
    if (s.type == Placement::InBetween) {
        const double share = std::abs(std::clamp(s.position, -100, 100)) * 0.01;
        const long n = static_cast<long>(rate * (4.0 * share) / 1000.0);
        plan.lead_frames = static_cast<long>(n * share);
        plan.left_leads = s.position >= 1;
    } else {
        plan.lead_frames = static_cast<long>(rate * std::clamp(s.delay_ms, 1, 100) / 1000.0);
    }
    // One swing to a side lasts one cycle of the set rate, whatever the sample size.
    plan.period_frames =
        std::max(2L, static_cast<long>(rate / (std::clamp(s.rate_tenths, 1, 100) * 0.1)));
    return plan;
}

namespace {

struct Leads
{
    long left = 0;
    long right = 0;
};

struct FixedLeads
{
    Leads leads;
    Leads operator()(long) const { return leads; }
};

// Pan: k = 2 / W; at the middle frame neither channel leads.
struct PanLeads
{
    long frames, n;
    double k;
    bool left_first;
    Leads operator()(long i) const
    {
        Leads l;
        if (i < frames / 2) {
            const long lead = static_cast<long>((1.0 - static_cast<double>(i) * k) * n);
            (left_first ? l.left : l.right) = lead;
        } else {
            const long lead = static_cast<long>((static_cast<double>(i) * k - 1.0) * n);
            (left_first ? l.right : l.left) = lead;
        }
        return l;
    }
};

struct SwingLeads
{
    long period, n;
    double k;
    long b = 0;
    long parity = 0;
    Leads operator()(long)
    {
        const double e =
            b < period / 2 ? static_cast<double>(b) * k : 2.0 - static_cast<double>(b) * k;
        Leads l;
        ((parity % 2 == 0) ? l.left : l.right) = static_cast<long>(e * n);
        if (++b + 1 > period) {
            b = 0;
            ++parity;
        }
        return l;
    }
};

struct ChannelRule
{
    bool halve = false; // in between, on the leading side
    bool invert = false;
};

template <class Coding, class LeadsOf>
void place(typename Coding::Sample* s, long frames, long from, long to, LeadsOf& leads_of,
           ChannelRule left, ChannelRule right)
{
    auto value = [&](long i, long lead, int channel, const ChannelRule& rule) {
        // A channel that neither leads nor changes keeps its samples as they are.
        if (lead == 0 && !rule.halve && !rule.invert)
            return s[2 * i + channel];
        const long at = i + lead;
        int32_t v = at < frames ? Coding::load(s[2 * at + channel]) : 0;
        if (rule.halve)
            v = (v >> 1) + (Coding::load(s[2 * i + channel]) >> 1);
        if (rule.invert)
            v = -v;
        return Coding::store(clamp_to(v, Coding::limit));
    };
    // Every read is at or after the frame being written, so each sees the original sound.
    if constexpr (std::is_same_v<LeadsOf, FixedLeads>) {
        // One lead for the whole run: each channel is a plain shifted copy, which the
        // compiler can vectorise.
        const Leads l = leads_of(from);
        auto shift = [&](int channel, long lead, const ChannelRule& rule) {
            if (lead == 0 && !rule.halve && !rule.invert)
                return;
            const long inside = std::clamp(frames - lead, from, to);
            const int32_t sign = rule.invert ? -1 : 1;
            for (long i = from; i < inside; ++i) {
                int32_t v = Coding::load(s[2 * (i + lead) + channel]);
                if (rule.halve)
                    v = (v >> 1) + (Coding::load(s[2 * i + channel]) >> 1);
                s[2 * i + channel] = Coding::store(clamp_to(sign * v, Coding::limit));
            }
            for (long i = inside; i < to; ++i)
                s[2 * i + channel] = value(i, lead, channel, rule);
        };
        shift(0, l.left, left);
        shift(1, l.right, right);
        return;
    }
    for (long i = from; i < to; ++i) {
        const Leads l = leads_of(i);
        s[2 * i] = value(i, l.left, 0, left);
        s[2 * i + 1] = value(i, l.right, 1, right);
    }
}

// Runs the frames in pieces, with progress and Cancel between them. False when cancelled.
template <class Coding, class LeadsOf>
bool place_all(unsigned char* data, long frames, LeadsOf leads_of, ChannelRule left,
               ChannelRule right, ProgressWindow& progress, unsigned long region_bytes)
{
    auto* s = reinterpret_cast<typename Coding::Sample*>(data);
    const long piece = std::clamp(frames / 10, 1L, 65536L);
    const unsigned long frame_bytes = 2 * sizeof(typename Coding::Sample);
    for (long from = 0; from < frames; from += piece) {
        const long to = std::min(frames, from + piece);
        place<Coding>(s, frames, from, to, leads_of, left, right);
        progress.percent(static_cast<int>(static_cast<unsigned long>(to) * frame_bytes * 100 /
                                          (region_bytes + 1)));
        if (progress.cancelled())
            return false;
    }
    return true;
}

template <class Coding>
bool run_placement(unsigned char* data, long frames, const SpatialSettings& s,
                   const SpatialPlan& plan, ProgressWindow& progress, unsigned long bytes,
                   long& parity)
{
    ChannelRule left{false, s.invert_left != 0}, right{false, s.invert_right != 0};
    const long n = plan.lead_frames;
    switch (s.type) {
    case Placement::FarRight:
        return place_all<Coding>(data, frames, FixedLeads{{0, n}}, left, right, progress, bytes);
    case Placement::FarLeft:
        return place_all<Coding>(data, frames, FixedLeads{{n, 0}}, left, right, progress, bytes);
    case Placement::InBetween:
        (plan.left_leads ? left : right).halve = true;
        return place_all<Coding>(data, frames,
                                 FixedLeads{plan.left_leads ? Leads{n, 0} : Leads{0, n}}, left,
                                 right, progress, bytes);
    case Placement::PanLeftToRight:
    case Placement::PanRightToLeft:
        return place_all<Coding>(data, frames,
                                 PanLeads{frames, n, 2.0 / static_cast<double>(frames),
                                          s.type == Placement::PanLeftToRight},
                                 left, right, progress, bytes);
    case Placement::BackAndForth: {
        SwingLeads swing{plan.period_frames, n, 2.0 / static_cast<double>(plan.period_frames)};
        swing.parity = parity;
        auto by_reference = [&swing](long i) { return swing(i); };
        const bool done =
            place_all<Coding>(data, frames, by_reference, left, right, progress, bytes);
        parity = swing.parity;
        return done;
    }
    }
    return true;
}

} // namespace

} // namespace effra

void CChildFrame::spatially_locate_waveform(HWND window)
{
    using namespace effra;
    owner_window = window;
    if (!check_stereo_waveform())
        return;
    const int sample_bytes = bytes_per_sample();
    if (sample_bytes != 1 && sample_bytes != 2) {
        NewErrMsg(5016);
        return;
    }
    const SelectionBytes region = whole_frames_of_selection(*this);
    const long frames = static_cast<long>(region.frames);
    // One frame or none: no lead to give, nothing to change.
    if (frames < 2)
        return;
    std::unique_ptr<unsigned char[]> data = region_buffer(region.bytes);
    if (!data)
        return;
    if (!setup_for_undo(owner_window, 1))
        return;
    if (!copy_selected_area_to_pseudo_clipboard(owner_window)) {
        abandon_undo_setup();
        return;
    }
    const int got = copy_file_to_memory(redo_file(), data.get(), 0, static_cast<long>(region.bytes),
                                        static_cast<long>(region.start), 0);
    if (got < 0 || static_cast<unsigned long>(got) != region.bytes) {
        NewErrMsg(5038);
        abandon_undo_setup();
        return;
    }

    SpatialSettings& settings = spatial_settings();
    const SpatialPlan plan = spatial_plan(settings, wave_format.sample_rate);
    long parity = settings.parity;
    bool done;
    {
        const kel::Cursor previous = kel::ui().set_cursor(kel::Cursor::Watch);
        ProgressWindow progress("Spatially placing waveform ...");
        done = sample_bytes == 1 ? run_placement<Coding8>(data.get(), frames, settings, plan,
                                                          progress, region.bytes, parity)
                                 : run_placement<Coding16>(data.get(), frames, settings, plan,
                                                           progress, region.bytes, parity);
        kel::ui().set_cursor(previous);
    }
    if (done && !copy_memory_to_file(redo_file(), reinterpret_cast<const char*>(data.get()), 0,
                                     region.bytes, static_cast<long>(region.start), 0)) {
        NewErrMsg(5031);
        done = false;
    }
    data.reset();
    if (!done) {
        abandon_undo_setup();
        return;
    }
    settings.parity = parity;
    setup_for_redo(owner_window, 11516, 1);
}
