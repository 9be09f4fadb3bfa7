#pragma once
// Documents with their view fields set as opening would set them, but without files:
// the view arithmetic never touches the samples.
#include "common/child_frame.h"
#include "editor/view/view_state.h"

#include <cmath>
#include <memory>

inline std::unique_ptr<CChildFrame> fake_document(int channels, long total_samples,
                                                  unsigned rate = 44100, int bits = 16,
                                                  int screen_width = 1024)
{
    auto doc = std::make_unique<CChildFrame>();
    doc->wave_format.channels = static_cast<uint16_t>(channels);
    doc->wave_format.sample_rate = rate;
    doc->wave_format.bits_per_sample = static_cast<uint16_t>(bits);
    doc->wave_format.block_align = static_cast<uint16_t>(channels * bits / 8);
    FileSlot& s = doc->current;
    s.total_samples = total_samples;
    s.select_end = total_samples;
    const int k = CChildFrame::level_count_for(total_samples, channels, screen_width);
    s.level_count = k;
    s.zoom_level = 1;
    s.base_factor = k < 2 ? 1.0f : static_cast<float>(std::ldexp(1.0, k - 1));
    s.zoom_factor = 1.0f;
    for (int level = 1; level <= k; ++level)
        s.level_samples[level] = total_samples;
    return doc;
}

inline ViewState view_of(int width, int height)
{
    ViewState v;
    v.width = width;
    v.height = height;
    return v;
}
