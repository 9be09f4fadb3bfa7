#pragma once
// Handing files to the outside programs: they are started without waiting, and tell that
// they are done by creating "finished" (and success by "outadpcm.wav") in the current
// directory.
#include <string>
#include <vector>

inline constexpr const char* kFinishedFile = "finished";
inline constexpr const char* kOutAdpcmFile = "outadpcm.wav";

// The program's file in the program directory (our stand-ins have lower-case names).
std::string outside_program_path(const char* name);
bool outside_program_exists(const char* name);

// Deletes both signal files.
void clear_signal_files();

// Waits as the editor does: 1000 ms, then a look for "finished" every 100 ms, at most
// 1000 looks or until Escape is held. Deletes "finished". True when it appeared.
bool wait_for_finished();

// Starts the program (argv[0] its path) without waiting. False when it could not start.
bool start_outside_program(const std::vector<std::string>& argv, bool shown);
