#pragma once
// Mixing and cross-fading the clipboard into a destination, pair by pair (a stereo frame,
// or two consecutive mono samples).
//
//   destination[s ..] --+
//                        +--> (source * ws + destination * wd) * 0.5 --> clip --> redo[s ..]
//   clipboard[0 .. L] --+
//
// Gains 0.0 .. 2.0. Where the destination has ended, the mixed channels carry the source
// times its gain and the others silence.
#include "common/child_frame.h"

#include <cstddef>
#include <cstdint>

enum class MixTarget { Both, Left, Right };

struct MixSettings
{
    int code = 11307; // 11307 mix, 11311 cross-fade
    float source_gain = 1.0f;
    float destination_gain = 1.0f;
    MixTarget target = MixTarget::Both;
    bool exponential = false; // cross-fade shape
};

// One signed output sample. pair_number counts from 1 at the mix start; region is the
// destination's bytes from the mix start to its end; channel is 0 or 1 within the pair.
int mix_sample(const MixSettings& settings, int source, int destination, bool destination_present,
               int channel, long pair_number, int pair_bytes, long region, int bytes_per_sample);

// Writes `length` mixed bytes into the destination's redo file at byte `start`, reading
// the destination's working file from `start` and the clipboard file from 0. 1 on
// success, 0 on failure or Cancel.
int mix_into_redo(CChildFrame& destination, const char* clipboard, long length, long start,
                  const MixSettings& settings);
