#pragma once
// Starting an outside program without waiting for it, as the classic fire-and-forget
// start did. The caller learns only whether it started; files tell the rest.
#include <string>
#include <vector>

namespace kel::process {

// argv[0] is the program's path. A hidden program gets no terminal output. Returns the
// process id, or 0 when the program could not be started.
long start(const std::vector<std::string>& argv, bool shown);

// True once a started process has ended (it is reaped then); also for an unknown id.
bool has_exited(long id);

} // namespace kel::process
