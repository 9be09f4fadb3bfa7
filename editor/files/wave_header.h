#pragma once
#include "common/wave_format.h"

#include <cstdint>

// File offset of the data chunk's body found by the last header read. Samples are
// taken from here, so chunks after "data" do no harm.
extern uint64_t data_offset;

// Writes the LIST/INFO chunk of the non-empty info_fields at the current position.
int write_info_list_chunk(HMMIO file);
