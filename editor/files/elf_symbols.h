#pragma once
// Whether a shared object exports a symbol, read from its ELF symbol tables without
// loading it: nothing of the file's own code runs.
#include <cstddef>
#include <cstdint>
#include <string>

enum class ElfExport { NotElf, Missing, Exported };

// The bytes of a whole file; every offset and size in them is checked against `size`.
ElfExport elf_exports(const uint8_t* data, size_t size, const char* symbol);
// The same for a file on disk (mapped read-only); NotElf when it cannot be read.
ElfExport file_exports(const std::string& path, const char* symbol);
