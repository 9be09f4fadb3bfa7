#include "formats/ocw_rate.h"

#include <algorithm>
#include <type_traits>

namespace kel::ocw {

uint32_t marker_for_ratio(float r)
{
    if (!(r > 0.0f))
        return 0;
    const double m = 44100.0 / static_cast<double>(r);
    return m >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(m);
}

float ratio_for_marker(uint32_t marker)
{
    if (marker == 0)
        return 0.0f;
    const long double k = 44100.0L / static_cast<long double>(marker) * 10.0L;
    switch (static_cast<long long>(k)) {
    case 14:
        return 1.47f;
    case 17:
        return 1.764f;
    case 20:
        return 2.0f;
    case 22:
        return 2.205f;
    case 28:
        return 2.8224f;
    case 40:
        return 4.032f;
    case 60:
        return 6.0995f;
    default:
        return 0.0f;
    }
}

int stretch_steps(float r)
{
    const int k = static_cast<int>(r + 0.5f);
    return k < 1 ? 1 : k;
}

Stretcher::Stretcher(float r, int channels)
    : ratio_(static_cast<double>(r)), channels_(channels == 2 ? 2 : 1), steps_(stretch_steps(r))
{
}

uint64_t Stretcher::start_of(uint64_t frame) const
{
    return static_cast<uint64_t>(static_cast<double>(frame) * ratio_);
}

size_t Stretcher::room_for(size_t frames) const
{
    return static_cast<size_t>(static_cast<double>(frames + 1) * ratio_) + 2;
}

// The run of the waiting frame (index frames_in_ - 1) up to where the next one starts.
size_t Stretcher::run_of(const int16_t* cur, const int16_t* nxt, int16_t* out)
{
    const uint64_t end = start_of(frames_in_);
    size_t n = 0;
    for (uint64_t k = 0; frames_out_ < end; ++k, ++frames_out_, ++n) {
        // A run is never longer than K + 1 frames; past K the next frame has arrived.
        const int step = static_cast<int>(std::min<uint64_t>(k, steps_));
        for (int c = 0; c < channels_; ++c)
            out[n * channels_ + c] =
                static_cast<int16_t>(cur[c] + (nxt[c] - cur[c]) * step / steps_);
    }
    return n;
}

// The same runs with K and the channel count known when compiling (Steps 0: K not
// known): the division by K becomes a multiplication and the frames stay in registers;
// this loop was most of a Convert's time. The values are those of run_of.
template <int Steps, int Channels>
size_t Stretcher::push_with(const int16_t* in, size_t frames, int16_t* out)
{
    const int steps = Steps ? Steps : steps_;
    int cur[Channels];
    for (int c = 0; c < Channels; ++c)
        cur[c] = waiting_[c];
    uint64_t taken = frames_in_, written = frames_out_;
    size_t n = 0;
    for (size_t j = 0; j < frames; ++j) {
        const int16_t* nxt = in + j * Channels;
        if (taken > 0) {
            const uint64_t end = static_cast<uint64_t>(static_cast<double>(taken) * ratio_);
            int delta[Channels];
            for (int c = 0; c < Channels; ++c)
                delta[c] = nxt[c] - cur[c];
            for (int k = 0; written < end; ++k, ++written, ++n) {
                const int step = k < steps ? k : steps;
                for (int c = 0; c < Channels; ++c)
                    out[n * Channels + c] = static_cast<int16_t>(cur[c] + delta[c] * step / steps);
            }
        }
        for (int c = 0; c < Channels; ++c)
            cur[c] = nxt[c];
        ++taken;
    }
    for (int c = 0; c < Channels; ++c)
        waiting_[c] = static_cast<int16_t>(cur[c]);
    frames_in_ = taken;
    frames_out_ = written;
    return n;
}

namespace {
template <int Channels, typename Push> size_t by_steps(int steps, Push&& push)
{
    // The K of every ratio the rate table gives.
    switch (steps) {
    case 1:
        return push(std::integral_constant<int, 1>{});
    case 2:
        return push(std::integral_constant<int, 2>{});
    case 3:
        return push(std::integral_constant<int, 3>{});
    case 4:
        return push(std::integral_constant<int, 4>{});
    case 6:
        return push(std::integral_constant<int, 6>{});
    default:
        return push(std::integral_constant<int, 0>{});
    }
}
} // namespace

size_t Stretcher::push(const int16_t* in, size_t frames, int16_t* out)
{
    if (channels_ == 2)
        return by_steps<2>(steps_, [&](auto k) { return push_with<k.value, 2>(in, frames, out); });
    return by_steps<1>(steps_, [&](auto k) { return push_with<k.value, 1>(in, frames, out); });
}

size_t Stretcher::finish(int16_t* out)
{
    if (frames_in_ == 0)
        return 0;
    // Held: its run ends where a next frame would have started, at trunc(frames x r).
    const int16_t held[2] = {waiting_[0], waiting_[1]};
    return run_of(waiting_, held, out);
}

float restore_ratio(uint32_t marker)
{
    if (marker == 0)
        return 0.0f;
    const float known = ratio_for_marker(marker);
    return known != 0.0f ? known : 44100.0f / static_cast<float>(marker);
}

} // namespace kel::ocw
