#pragma once
// Inside the encoder: the trial encodings that choose each channel's coefficient pair.
#include "formats/msadpcm.h"

#include <cstdint>

namespace kel::msadpcm::detail {

// Trial chains (a channel of a block each) that run side by side.
inline constexpr int kMaxChains = 4;

struct ChannelTrial
{
    const int16_t* x = nullptr; // the channel's samples of the block, contiguous
    int start_delta[8] = {};    // per pair; the eighth is a spare lane
    int8_t* codes = nullptr;    // out: codes of samples 2.. with the chosen pair
    int best = 0;               // out: the chosen pair
};

// Both pick, per chain, the pair of least accumulated error (lowest index on ties) and
// leave its codes; they must agree bit for bit. All chains have `frames` frames.
void run_trials_portable(ChannelTrial* trial, int chains, int frames);
void run_trials_vector(ChannelTrial* trial, int chains, int frames);
bool vector_trials_available();

} // namespace kel::msadpcm::detail
