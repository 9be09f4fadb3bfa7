#pragma once
#include "common/wave_format.h"

#include <cstdint>
#include <string>

// The most sample bytes a wave file as we write it can hold: its RIFF size is 32 bits
// and covers the form type, the "fmt " chunk and the "data" chunk's header too; whole
// frames of every format.
inline constexpr uint64_t kMaxWaveDataBytes = (0xFFFFFFFFull - 4 - 24 - 8) / 4 * 4;

// File offset of the data chunk's body found by the last header read. Samples are
// taken from here, so chunks after "data" do no harm.
extern uint64_t data_offset;

// Writes the LIST/INFO chunk of the non-empty info_fields at the current position.
int write_info_list_chunk(HMMIO file);

// The last header read found an interrupted recording: a data chunk that runs past the
// end of the file (data_size is then what the file holds, this the size its header gave;
// 0 when the data were whole), or a RIFF chunk that does.
extern uint32_t data_declared_size;
extern bool riff_truncated;
// "Truncated input file." with what is there, when the last header read found either.
void show_truncated_warning();

// A numbered message of the reader with what is wrong on a second line.
void show_reader_message(int message, const std::string& detail);
