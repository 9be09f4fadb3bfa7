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

// Stretches `frames` interleaved 16-bit frames by r into `out` (room for out_words
// words; nothing is written past it). Frame j goes to word trunc(j x channels x r),
// rounded down to a whole frame for stereo, as K + 1 values running from it toward the
// next frame: value = current + trunc((next - current) x k / K). Later frames overwrite
// the overlap. `next` is the frame after the last one (null: the last frame is held).
void stretch(const int16_t* in, int frames, int channels, const int16_t* next, float r,
             int16_t* out, size_t out_words);

} // namespace kel::ocw
