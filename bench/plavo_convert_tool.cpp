// The player's Convert from the command line, for timing: plavo_convert <ocw> <wav>.
// Decodes the ADPCM and restores the rate exactly as the player's Convert button does.
#include "platform/ui.h"
#include "plavo/playback.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <file.ocw> <file.wav>\n", argv[0]);
        return 2;
    }
    kel::HeadlessUi ui;
    kel::set_ui(&ui);
    plavo::Playback playback(nullptr);
    const int ok = playback.convert(argv[1], argv[2], {});
    for (const auto& box : ui.boxes)
        std::fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
    kel::set_ui(nullptr);
    return ok ? 0 : 1;
}
