#pragma once
// Replacing a file the user owns: the new bytes go to a temporary file beside it, which
// is flushed to disk and renamed over the target only when complete. Until commit()
// succeeds the earlier file stays byte for byte as it was, whatever fails or is cancelled.
#include <string>

namespace kel {

class SafeWrite
{
  public:
    // Prepares to replace target. A symbolic link is followed, so the file it points to
    // is written and the link stays. Removes stale partial files of earlier runs of ours
    // beside the target, then creates a new empty temporary file (mode 0600).
    explicit SafeWrite(const std::string& target);
    ~SafeWrite(); // removes the temporary file unless committed
    SafeWrite(const SafeWrite&) = delete;
    SafeWrite& operator=(const SafeWrite&) = delete;

    bool ok() const { return !temp_.empty(); }
    // Where the writer puts the bytes; it closes its own handles before commit().
    const std::string& temp_path() const { return temp_; }
    // The file that will be replaced: the target with its links followed.
    const std::string& final_path() const { return final_; }

    // Flushes the temporary file, gives it the earlier file's permissions (and owner and
    // group where allowed), renames it over the target and flushes the folder. On false
    // the temporary file is gone and the target unchanged.
    bool commit();
    // Drops the temporary file; the target is unchanged. Idempotent.
    void abort();

    // errno of the step that failed (0 when none did).
    int error() const { return error_; }
    // One line for the user: "The disk is full.", "Permission denied." ...
    std::string error_text() const;

  private:
    std::string final_;
    std::string temp_;
    int error_ = 0;
    bool committed_ = false;
};

// Resolves symbolic links of path (also a dangling last link), without needing the final
// file to exist. Returns path unchanged when it is not a link.
std::string follow_links(const std::string& path);

// Flushes a folder's entries (after a rename into it). False when it could not be opened.
bool sync_directory(const std::string& dir);

// A short text for an errno of a file operation, with the cases users meet named plainly.
std::string file_error_text(int error);

// Test hook: when set, called before each step of commit() ("fsync", "rename", "dirsync");
// a non-zero result fails that step with that errno.
using SafeWriteFault = int (*)(const char* step);
void set_safe_write_fault(SafeWriteFault hook);

} // namespace kel
