#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Private-profile INI files: [section] / key=value lines, names compared without
// regard to case, values trimmed of blanks and of one pair of enclosing quotes.
namespace kel::profile {

// The value of the key, or the default (its trailing blanks removed) when the key,
// the section or the file is missing.
std::string read_string(const std::string& section, const std::string& key, const std::string& def,
                        const std::string& file);

// The value of the key, or nothing when the key (or its section or file) is missing.
std::optional<std::string> lookup(const std::string& section, const std::string& key,
                                  const std::string& file);

// The leading decimal number of the value ("12abc" is 12), or the default when the
// key is missing or does not start with a number.
long read_int(const std::string& section, const std::string& key, long def,
              const std::string& file);

// Creates the file and the section when needed. False when the file cannot be written.
bool write_string(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file);
bool write_int(const std::string& section, const std::string& key, long value,
               const std::string& file);
// Rewrites a section whole with these entries, in one write of the file (in its old place,
// or at the end when new). False when the file cannot be written.
bool replace_section(const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& entries,
                     const std::string& file);
// errno of the last write that failed (0 after one that succeeded), for the user's message.
int last_error();

bool delete_key(const std::string& section, const std::string& key, const std::string& file);
bool delete_section(const std::string& section, const std::string& file);

std::vector<std::string> section_names(const std::string& file);
std::vector<std::string> key_names(const std::string& section, const std::string& file);

// "yes" counts as true; missing or empty takes the default; anything else is false.
bool read_yes_no(const std::string& section, const std::string& key, bool def,
                 const std::string& file);
bool write_yes_no(const std::string& section, const std::string& key, bool value,
                  const std::string& file);

// $XDG_CONFIG_HOME/Kelvara/Orlo.ini
std::string app_profile();

} // namespace kel::profile
