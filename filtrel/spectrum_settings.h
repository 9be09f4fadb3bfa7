#pragma once
// The spectrum displays' settings, kept for the life of the module.
struct SpectrumSettings
{
    int gain = 4;    // vertical scale factor, 0 .. 10
    int slices = 16; // spectra in the 3D stack, 4 .. 64
    int low_hz = 0;  // shown band, 0 .. rate / 2, at least 1000 Hz apart
    int high_hz = 11000;
    int log_scale = 0;    // logarithmic magnitudes (the 2D display's switch)
    int x_magnify = 0;    // 2D: half the points at double width
    long position_2d = 0; // byte offset of the 2D display's block within the selection
};

extern SpectrumSettings g_spectrum;
