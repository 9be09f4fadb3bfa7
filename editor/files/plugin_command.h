#pragma once
// "Select Plugins...": the highlighted section (or the whole sound) through a plug-in.
#include "common/child_frame.h"

#include <string>

// The exchange files, in this run's folder.
std::string plugin_input_file();  // "DRXIN.WAV"
std::string plugin_output_file(); // "DRXOUT.WAV"

// Hands the section to PlugInProcessFile and puts its result in place of the section as
// one undoable step (head + result + tail, so the result may be longer or shorter). A
// result in another format is refused. 1 when the step was made; otherwise the document
// is as it was.
int select_plugins_command(CChildFrame& doc, HWND window);
