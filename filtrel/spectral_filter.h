#pragma once
// The block-wise spectral filter shared by the Filter command, noise reduction and the
// compressed-audio encoder.

// What the running (or last) spectral filtering did.
struct SpectralRun
{
    float last_time_sample = 0.0f; // x[N] of the block and channel that ran last
    float frequency = 0.0f;        // centre after the last block (moves with a sweep)
    float sweep_delta = 0.0f;
    long blocks = 0;
};

extern SpectralRun g_spectral;

// Transform size for a filter type: 1024 for "NOTCH" (and "COMPRESS"), else 4096.
int spectral_block_frames(const char* filter_type);

// Growth of a band-pass sweep's centre per block: (s1 - s0) over the selection in
// blocks of N frames, halved.
float sweep_delta(float start, float stop, unsigned long selection_bytes, int frames,
                  int block_align);

// The spectrum change of one packed block x[1..n] for a type: v = element index of the
// frequency, h = element half-width of a band pass. Only elements 1 .. n-1 are touched.
void shape_spectrum(const char* filter_type, float* x, int n, long v, long h);
