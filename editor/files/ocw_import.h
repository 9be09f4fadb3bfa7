#pragma once
// Opening an OCW file: it becomes a 16-bit wave file beside it, at the restored rate.
#include <string>

// 1 on success, and `path` then names the wave file (the OCW name with the extension
// "wav"); 0 on failure or Cancel (the message has been shown, nothing is left behind).
int ocw_to_wave(std::string& path);
