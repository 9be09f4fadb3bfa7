#pragma once
// Opening an OCW file: it becomes a 16-bit wave file at the restored rate, in this run's
// private folder (never beside the OCW file).
#include "common/wave_format.h"

#include <string>

// 1 on success, and `path` then names the wave file ("ocwimport.wav" in the run's folder,
// which the caller deletes once it has taken the samples); 0 on failure or Cancel (the
// message has been shown, nothing is left behind).
int ocw_to_wave(std::string& path);

// The two halves of the import, apart for tests and fuzzing. The OCW file's own header
// (ADPCM "fmt " with the rate marker, and "data"); 1 when it is one, else 0 with its
// message shown.
int read_ocw_header(const std::string& path, WaveFormat& format);
// The outside decoder's 8-bit PCM result `decoded` stretched back to the rate the OCW
// header names, as a 16-bit wave file `output`. 1 on success; on 0 `output` is gone.
int ocw_restore_rate(const WaveFormat& ocw, const std::string& decoded, const std::string& output);
