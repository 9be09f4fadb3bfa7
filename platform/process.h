#pragma once
#include <functional>
#include <string>
#include <vector>

// Starting outside programs the classic way: start and forget. The caller neither waits
// for the program nor learns how it ended.
namespace kel::process {

// Starts program with its arguments (argv[0] is the program). False only when the
// program could not be found or the start itself failed.
bool start_detached(const std::vector<std::string>& argv);

// A command line of blank-separated words ("browser http://..."); double quotes group a
// word that holds blanks.
bool start_command_line(const std::string& command_line);
std::vector<std::string> split_command_line(const std::string& command_line);

// Tests see the starts instead of having them happen; an empty function restores real
// starts. The observer's result is what the start returns.
using Observer = std::function<bool(const std::vector<std::string>& argv)>;
void set_observer(Observer observer);


// A started program that the caller waits for through files: argv[0] is the program's
// path; a hidden program gets no terminal output. Returns the process id, or 0 when it
// could not be started.
long start(const std::vector<std::string>& argv, bool shown);

// True once a started process has ended (it is reaped then); also for an unknown id.
bool has_exited(long id);

} // namespace kel::process
