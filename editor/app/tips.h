#pragma once
// The tips file "KVRA32.TXT": one tip per line; lines that begin with a blank, a tab, a
// line feed or ';' are not tips. The read position and the file's time stamp are kept in
// the profile section "Tip".
#include <cstdio>
#include <string>

namespace app {

inline constexpr const char* kTipsFileMissing =
    "Tips file does not exist in the prescribed directory";
inline constexpr const char* kTipsTrouble = "Trouble reading the tips file";

class TipReader
{
  public:
    TipReader() = default;
    ~TipReader();
    TipReader(const TipReader&) = delete;
    TipReader& operator=(const TipReader&) = delete;

    // Opens the file, starts at "Tip"/"FilePos" (at 0 when the time stamp changed) and
    // reads the first tip. False when the file cannot be opened.
    bool open(const std::string& path);
    bool is_open() const { return file_ != nullptr; }
    // The text to show: a tip or one of the messages above.
    const std::string& text() const { return text_; }
    // Reads the next tip into text(). A file without any tip gives an empty text after
    // one pass instead of searching for ever.
    void next();
    // Writes the position to "Tip"/"FilePos" and closes the file.
    void close();
    long position() const;

    // The file's modification time as "Wed Jan  2 02:03:55 1980" (the ctime form).
    static std::string time_stamp(const std::string& path);

  private:
    std::FILE* file_ = nullptr;
    std::string text_;
};

// Close of the dialog: "Tip"/"StartUp" is 0 with the check box set, 1 without, and the
// check box goes to the "Tip of the day" preference as "yes" or "no".
void store_tip_startup_choice(bool show_on_startup);

} // namespace app
