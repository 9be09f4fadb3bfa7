#pragma once
// The spectrum displays' settings that the block analysis reads.
struct SpectrumSettings
{
    int gain = 4;      // vertical scale factor, 0 .. 10
    int log_scale = 0; // logarithmic magnitudes (the 2D display's switch)
};

extern SpectrumSettings g_spectrum;
