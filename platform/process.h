#pragma once
// Starting an outside program without waiting for it, as the classic fire-and-forget
// start did. The caller learns only whether it started; files tell the rest.
#include <functional>
#include <string>
#include <vector>

namespace kel::process {

// argv[0] is the program's path. A hidden program gets no terminal output; a non-empty
// folder becomes its working folder. Returns the process id, or 0 when the program could
// not be started.
long start(const std::vector<std::string>& argv, bool shown, const std::string& folder = "");

// True once a started process has ended (it is reaped then); also for an unknown id.
// `exit_code` gets its exit status, or -1 when it was killed or its status is unknown.
bool has_exited(long id, int* exit_code = nullptr);
// Ends a started process that is still running (SIGKILL) and reaps it.
void kill_started(long id);

// ---- Editor shell: command lines and observed starts ----

// A command line of blank-separated words ("browser http://..."); double quotes group a
// word that holds blanks.
std::vector<std::string> split_command_line(const std::string& command_line);

// Tests see the starts instead of having them happen; an empty function restores real
// starts. A true result counts as a start (process id 1).
using Observer = std::function<bool(const std::vector<std::string>& argv)>;
void set_observer(Observer observer);

} // namespace kel::process
