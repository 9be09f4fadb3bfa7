// Our stand-in for the outside ADPCM converter program. Started as
// "waveconv <wave file> 0", it converts the file with the editor's ADPCM converter into
// "outadpcm.wav" in the current folder (an ADPCM file becomes 8-bit PCM, a PCM file
// becomes ADPCM) and then creates "finished", which the waiting editor polls for.
#include "editor/files/wave_convert.h"
#include "platform/ui.h"

#include <cstdio>

namespace {

constexpr const char* kOutput = "outadpcm.wav";
constexpr const char* kFinished = "finished";

// No one to ask: boxes go to the terminal and take their first button.
class TerminalUi : public kel::HeadlessUi
{
  public:
    int message_box(const std::string& text, const std::string& caption, kel::Buttons buttons,
                    kel::Icon icon) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return HeadlessUi::message_box(text, caption, buttons, icon);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <wave file> [0]\n", argc > 0 ? argv[0] : "waveconv");
        return 2;
    }
    TerminalUi ui;
    kel::set_ui(&ui);
    std::remove(kOutput);
    const int ok = convert_wave_file(nullptr, argv[1], kOutput);
    // A half-written result must not pass for a good one with the waiting editor.
    if (!ok)
        std::remove(kOutput);
    kel::set_ui(nullptr);
    if (std::FILE* f = std::fopen(kFinished, "wb"))
        std::fclose(f);
    return ok ? 0 : 1;
}
