// Any bytes as OCWCNVRT.INI: the playlist and saved-list readers, a save and a delete.
#include "fuzz/support.h"
#include "plavo/playlist.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (FILE* f = std::fopen(plavo::playlist_file().c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    plavo::read_list(plavo::kCurrentSection);
    const auto names = plavo::saved_names();
    plavo::current_entry(3);
    plavo::save_current_as("fuzzed");
    if (!names.empty())
        plavo::delete_saved(names.front());
    return 0;
}
