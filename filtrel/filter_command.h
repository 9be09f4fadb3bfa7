#pragma once
// The Filter command's pieces that the dialog and tests reach.
#include <string>

class CChildFrame;

// "KVSFILTR.INI" beside this module.
std::string filter_preset_path();

// Runs the filter the settings describe on the document: 275 the hash filter; a notch
// below 5000 Hz the state-variable filter; every other type the spectral filter. 1 when a
// step was made.
int run_filter_settings(CChildFrame& doc);
