#pragma once
#include <string>

namespace kel::paths {

// Where an install (cmake --install) puts the suite's data and its helper programs and
// libraries, below the prefix.
inline constexpr const char* kInstalledData = "share/kelvara/";
inline constexpr const char* kInstalledHelpers = "lib/kelvara/";

// Directory of the preset INI files, tips and autostart file, with a trailing '/':
// $KELVARA_HOME when set, else <prefix>/share/kelvara/ of an installed program, else the
// directory of the running executable (a build tree, where the data is copied beside it).
std::string program_dir();

// Directory of the shared library (or program) holding the given address, trailing '/';
// $KELVARA_HOME when set, and the installed data folder for an installed library, as for
// the program directory. Modules find their presets here.
std::string module_dir_of(const void* address);

// The helper program `name` (the outside-program stand-ins): in the program directory,
// else in <prefix>/lib/kelvara/ of an installed program.
// The program directory's path when it is nowhere, so that failing to start it says where
// it was looked for.
std::string helper_program(const std::string& name);

// Default folder for working files: the program directory when writable,
// else $XDG_DATA_HOME/Kelvara/ (created on demand). Trailing '/'.
std::string default_data_dir();

// $XDG_CONFIG_HOME/Kelvara/ (or ~/.config/Kelvara/), created on demand. Trailing '/'.
std::string config_dir();

// The program's own folder is not the user's to write: a file there that the program
// changes (a preset list, say) gets a copy of its own in config_dir(), and is read from
// that copy once it exists. A folder named by $KELVARA_HOME that the user can write is
// written in place. Other paths come back as they are.
std::string writable_path(const std::string& file);
std::string readable_path(const std::string& file);

// Backslashes written by the program become '/'.
std::string native(const std::string& path);

// Directory with exactly one trailing '/'.
std::string with_slash(const std::string& dir);

// Final component of a path (after the last '/' or '\').
std::string file_part(const std::string& path);

bool is_writable_dir(const std::string& dir);
bool make_dirs(const std::string& dir);

} // namespace kel::paths
