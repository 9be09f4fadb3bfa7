#pragma once
// Positions and durations as text: the module-visible texts of common/time_text.h, the
// process-wide time format, and the zoom readout.
#include "common/time_text.h"

#include <string>

class CChildFrame;

// The "Preferences"/"Time format" value, kept in memory once read.
int time_format();
void set_time_format(int format);
// Reads it again from the application profile (missing: seconds).
void load_time_format();

// The duration of the document in milliseconds counted at its top level, whatever
// zoom level is in use (the overview level holds fewer words).
double top_level_milliseconds(const CChildFrame& doc);

// The sample word at a time; whole part, held within 0 and total_samples.
long seconds_to_samples(const CChildFrame& doc, double seconds);

// The zoom factor as the readout under the play bar shows it.
std::string zoom_readout_text(float zoom_factor);
