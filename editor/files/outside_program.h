#pragma once
// Handing a file to an outside program and waiting for its signal file.
#include <string>
#include <vector>

// The outside programs write "outadpcm.wav" (their result) and "finished" (the signal
// that they are done) in their working folder, which is this run's private folder, so
// that no file of the user's can be in the way. These are the two files' full names.
std::string out_adpcm_file();
std::string finished_file();
// Our stand-in for WAVECONV.EXE, in the program directory.
inline constexpr const char* kWaveconvProgram = "waveconv";

// Deletes "outadpcm.wav" and "finished".
void delete_signal_files();

// Starts <program dir>/<name> with the arguments, in this run's private folder, without
// waiting; the process id, or 0 when it cannot be started. Relative file arguments are
// made absolute first, since the program runs elsewhere.
long start_outside_program(const std::string& name, const std::vector<std::string>& args,
                           bool shown);

// Checks every 100 ms for "finished", at most 1000 times (about 100 seconds) or until
// Escape is held; a program that has ended gets one more check. Deletes "finished"; true when it
// came.
bool wait_for_finished(long process);

// The program's file in the program directory (our stand-ins have lower-case names).
std::string outside_program_path(const std::string& name);
bool outside_program_exists(const std::string& name);

// Renames, copying and deleting when the two names are on different file systems.
bool move_file(const std::string& from, const std::string& to);

bool file_exists(const std::string& name);
