#pragma once
// The ADPCM converter: a PCM wave file to Microsoft ADPCM or back (to 8-bit PCM), file
// to file, with a progress window and Cancel.
#include "common/window.h"

// While on, the destination keeps the source's nAvgBytesPerSec: the OCW encoder turns it
// on around its call so the ADPCM header carries the rate marker.
extern int ocw_rate_marker_mode;

// Caption of the converter's message boxes.
extern const char* const kWaveConverterName;

// 1 on success; 0 on failure or Cancel (the message has been shown). A destination that
// was begun keeps closed chunks and the data written so far.
int convert_wave_file(HWND owner, const char* source_name, const char* destination_name);
