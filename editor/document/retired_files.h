#pragma once
// Working files that fell out of a document's history. Their names go at once; freeing
// their pages and blocks (the work of the last close of a large file) goes to a worker
// thread, which the next step waits for before it starts.
#include <memory>
#include <string>
#include <vector>

namespace kel {
class MappedFile;
}

// Deletes the named files and lets go of the mappings on the worker thread.
void retire_files(const std::vector<std::string>& names,
                  std::vector<std::shared_ptr<kel::MappedFile>> mappings);
// Returns once the last retirement is done.
void wait_for_retired_files();
