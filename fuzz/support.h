#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {
// A private scratch folder with program, data and config directories set up, and a quiet UI.
void init_environment();
// Writes the bytes to a scratch file and returns its path.
std::string write_input(const uint8_t* data, size_t size, const char* name);
} // namespace fuzz
