#pragma once
// The module's transform arrays and its packed real FFT. Arrays are 1-based: element 0
// is never data. After a forward fft_real of N reals, x[1] is bin 0, x[2] bin N/2, and
// x[2k+1], x[2k+2] the real and imaginary parts of bin k (positive exponent).

struct FftPoint
{
    int x;
    int y;
};

// One set of arrays for the whole module, one operation at a time.
extern int fft_size;            // N
extern float* fft_data;         // N + 4 floats
extern int* fft_magnitude;      // N (spectrum displays only)
extern int* fft_magnitude_copy; // N
extern FftPoint* fft_points;    // N

inline constexpr int kFftForSpectrumDisplay = 17;

// Releases what exists, sets N and allocates the transform array (and with purpose 17 the
// display arrays). 0 after showing the memory message.
int fft_allocate(int size, int purpose);
void fft_release();

// In place on the module's array: n = N/2 for the real transform, n complex points.
void fft_real(int n, int direction);
void fft_complex(int n, int direction);

// The same on any 1-based array. n must be a power of two; other sizes leave x as it is.
void fft_real_on(float* x, int n, int direction);
void fft_complex_on(float* x, int n, int direction);
