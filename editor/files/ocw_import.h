#pragma once
// Opening an OCW file: it becomes a 16-bit wave file at the restored rate, in this run's
// private folder (never beside the OCW file).
#include <string>

// 1 on success, and `path` then names the wave file ("ocwimport.wav" in the run's folder,
// which the caller deletes once it has taken the samples); 0 on failure or Cancel (the
// message has been shown, nothing is left behind).
int ocw_to_wave(std::string& path);
