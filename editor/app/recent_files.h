#pragma once
// The frame's own list of the six files used last ("Recent File List", "File1".."File6").
#include <string>
#include <vector>

namespace app {

inline constexpr int kRecentFileCount = 6;
// Menu texts are cut to this many characters; the list itself keeps the whole path.
inline constexpr int kRecentTextLength = 59;

class RecentFiles
{
  public:
    // Reading stops at the first missing key.
    void read();
    void write() const;
    // The file moves to the front; the seventh falls off.
    void add(const std::string& path);
    void remove(const std::string& path);
    const std::vector<std::string>& files() const { return files_; }
    // "&1 name" for the menu, shortened in the middle when the path is long.
    static std::string menu_text(int index, const std::string& path);

  private:
    std::vector<std::string> files_;
};

} // namespace app
