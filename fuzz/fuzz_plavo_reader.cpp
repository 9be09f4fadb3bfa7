// Any bytes as an OCW file for the player: its reader (every prompt answered Yes), then a
// whole conversion of what it accepts.
#include "fuzz/support.h"
#include "plavo/playback.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    const std::string file = fuzz::write_input(data, size, "input.ocw");
    const std::string target = file + ".wav";
    plavo::Playback playback(nullptr);
    playback.convert(file, target, {});
    std::remove(target.c_str());
    return 0;
}
