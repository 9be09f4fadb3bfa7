#pragma once
// Handing a file to an outside program and waiting for its signal file.
#include "platform/safe_write.h"

#include <functional>
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

// Moves a finished intermediate into the temporary file of `out` (renaming it, or copying
// it in blocks when the two are on different file systems), so that out.commit() puts it in
// place of the user's file. The intermediate is gone afterwards either way. False with
// `error` (errno) set when it could not be moved; out.commit() must not follow then.
bool move_into(const std::string& from, kel::SafeWrite& out, int& error);

// Waits for a started program to end, checking every 100 ms, with a progress window that
// `progress` feeds (a percent, or -1 for no change) and whose Cancel ends the program.
enum class ProgramEnd { Done, Failed, Cancelled };
// `exit_code`, when given, gets the program's exit status (-1 when it did not exit).
ProgramEnd wait_for_program(long process, const char* progress_text,
                            const std::function<int()>& progress, int* exit_code = nullptr);

bool file_exists(const std::string& name);
