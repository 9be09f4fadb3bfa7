#pragma once
// The end of a run: the temporary files of the data directory go.
#include <string>

namespace app {

// Deletes every "*.tmp" file of the data directory and the three clipboard files
// ("clipbord.clp", "cliptext.clp", "convclip.clp"). Returns how many files went.
int delete_temporary_files(const std::string& data_directory);

} // namespace app
