#pragma once
// Writing an OCW file: the document is low-passed, decimated by the chosen ratio,
// dithered, and coded as Microsoft ADPCM with the rate marker in its header.
#include "platform/ui.h"

#include <cstdint>
#include <ctime>
#include <string>

class CChildFrame;

// The compression choices (controls 2000 .. 2004). The choice stays for the rest of the
// run, so the next dialog opens on it.
class OcwCompressionDialog : public kel::DialogModel
{
  public:
    static constexpr int kFirstChoice = 2000;
    static constexpr int kChoices = 5;
    static constexpr int kHelpContext = 11206;

    const char* template_name() const override { return "OCW_FILE_COMPRESSION"; }
    std::string title = "OCW File Copression Options";

    // The radio button now selected, 2000 .. 2004.
    int choice = last_choice;
    void select(int control);
    void ok();
    void cancel();
    void help();

    static const char* label(int control);
    // The ratio r of a control (0 for any other control).
    static float ratio(int control);
    // What OK stored: r of the choice then selected.
    float stored_ratio = 0.0f;

    static int last_choice;
};

inline constexpr int kDitherEntries = 32768;

// Entry i: 0, +8 or -8 (65528) from three rand() tables seeded with now, now + 10000 and
// now + 20000.
void build_dither_table(uint16_t* table, std::time_t now);

// Save As to an OCW file from the document's selection (or the whole of it when nothing
// is selected). The anti-aliasing low-pass is the DSP module's do_filter_waveform, taken
// from the installed module table (module_calls()). 1 on success; 0 on Cancel in the dialog or
// failure (the message has been shown). Cancel while compressing keeps what is written so far: that
// shorter file is still coded and reported, result 1. Cancel in the converter's window is a
// failure. The anti-aliasing filter stays in the document as an undoable step when the file is made
// and is taken back on failure.
int compress_to_ocw(CChildFrame& doc, const std::string& target);
