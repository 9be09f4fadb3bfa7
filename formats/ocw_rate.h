#pragma once
// The OCW rate: an OCW file holds audio decimated by a ratio r and names r by a marker in
// its nAvgBytesPerSec field. Readers (the editor's import, the player) restore the rate by
// stretching the decoded samples with the rule here.
#include <cstddef>
#include <cstdint>

namespace kel::ocw {

// The marker the encoder stores: trunc(44100 / r), computed in double from the float r
// (1.47 gives 29999).
uint32_t marker_for_ratio(float r);

// The player's lookup: k = trunc(44100 / marker x 10) names one of the known ratios
// (14: 1.47, 17: 1.764, 20: 2.0, 22: 2.205, 28: 2.8224, 40: 4.032, 60: 6.0995);
// 0 for any other marker.
float ratio_for_marker(uint32_t marker);

// K = trunc(r + 0.5): each input frame writes K + 1 interpolated values.
int stretch_steps(float r);

// Stretches a stream of interleaved 16-bit frames by r as it arrives in blocks. Frame j
// starts output frame trunc(j x r) (word trunc(j x channels x r), a whole frame for
// stereo) with K + 1 values running toward frame j + 1, value = current +
// trunc((next - current) x k / K), of which those before frame j + 1's start are kept; the
// last frame is held. Every frame is placed by its index in the whole stream, so a stream
// of n frames becomes trunc(n x r) frames wherever the blocks were cut. Placing frames
// by their index within each block instead loses or gains a fraction of a frame at every
// block edge, and the sound drifts against the original by hundreds of frames an hour.
class Stretcher
{
  public:
    Stretcher(float r, int channels);

    // Output frames push() may write for `frames` more input frames.
    size_t room_for(size_t frames) const;
    // Takes `frames` interleaved frames and writes the output frames they complete; the
    // last frame waits for its successor, toward which it is interpolated. Returns the
    // frames written.
    size_t push(const int16_t* in, size_t frames, int16_t* out);
    // The waiting last frame, held to the end: at most K + 1 frames.
    size_t finish(int16_t* out);

    uint64_t frames_in() const { return frames_in_; }
    uint64_t frames_out() const { return frames_out_; }

  private:
    uint64_t start_of(uint64_t frame) const;
    size_t run_of(const int16_t* cur, const int16_t* nxt, int16_t* out);
    template <int Steps, int Channels>
    size_t push_with(const int16_t* in, size_t frames, int16_t* out);

    double ratio_;
    int channels_;
    int steps_;
    uint64_t frames_in_ = 0;  // frames taken, the waiting one included
    uint64_t frames_out_ = 0; // frames written
    int16_t waiting_[2] = {};
};

// The ratio a reader restores for a marker: the encoder's own r for every marker of the
// lookup (44100 / marker is a truncated value and would stretch a little short), else
// 44100 / marker. 0 for no marker.
float restore_ratio(uint32_t marker);

} // namespace kel::ocw
