#pragma once
// A shared object dropped on the main window: registered or un-registered as a LADSPA
// plug-in after the user's answer. Its code is never run here: whether it is a plug-in is
// read from its symbol table.
#include <string>

// 1 when the file was registered or un-registered; 0 when it is not a binary, not a
// plug-in, the user cancelled, or the profile could not be written (each said in a box).
int register_dropped_plugin(const std::string& path);
