#pragma once
// The private folder of one run of a program: its working files and intermediates live
// there, where no other run deletes them and no user file is in the way. A lock held for
// the life of the process tells a live run from one that died; a dead run's folder stays
// until it has been offered for recovery.
#include <string>
#include <vector>

namespace kel::run_dir {

// Makes this run's folder "<base>/<prefix>-<pid>-<start>/" (trailing '/') and takes its
// lock. Later calls return the same folder. Empty, with errno set, when it cannot be made.
std::string open(const std::string& base, const std::string& prefix);
// The folder of this run, or empty before open().
std::string current();
// Intermediate file of this run: current() + name ("" before open()).
std::string file(const std::string& name);

// Folders "<base>/<prefix>-*" whose run has ended without removing them (their lock is
// free). This run's own folder is never among them.
std::vector<std::string> orphans(const std::string& base, const std::string& prefix);
// Takes an orphan's lock so that a second program starting at once leaves it alone.
// False when another run holds it meanwhile.
bool adopt(const std::string& folder);

// Removes a folder of ours with the plain files in it (nothing outside it is followed).
bool remove(const std::string& folder);
// Ends this run's folder: removes it (a clean end). After this, current() is empty.
void close();

// For $XDG_RUNTIME_DIR-style bases: the runtime folder, else the system's temporary folder.
std::string runtime_base();

} // namespace kel::run_dir
