// The symbol-table reader behind plug-in registration, on arbitrary bytes.
#include "editor/files/elf_symbols.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly `size` bytes, so a read past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    elf_exports(bytes.data(), bytes.size(), "ladspa_descriptor");
    return 0;
}
