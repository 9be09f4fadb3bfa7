#pragma once
// The player's own RIFF/WAVE reader: what it needs to know about a file before decoding it.
#include <cstdint>
#include <string>
#include <vector>

namespace plavo {

// Reader errors, as the player numbers them in its message.
enum ReadError : unsigned {
    kReadOk = 0,
    kNoFormat = 1,
    kCannotReadFile = 6,
    kNoMemory = 7,
    kRefused = 8,
};

struct WaveFileDesc
{
    uint64_t file_size = 0;
    uint32_t attributes = 0; // st_mode of the file
    int64_t last_write = 0;  // seconds since the epoch
    std::string title;       // the name after the last '\', '/' or ':'
    // The format record: 16 bytes for PCM, otherwise 18 + cbSize (at least 18).
    std::vector<uint8_t> format;
    uint64_t data_offset = 0;
    uint32_t data_size = 0;
    uint32_t sample_count = 0; // from "fact"
    // The data chunk says it runs past the end of the file (a file cut short); data_size
    // holds only what is there.
    bool truncated = false;

    uint16_t format_tag() const;
    uint16_t channels() const;
    uint32_t sample_rate() const;
    uint32_t avg_bytes_per_sec() const;
    uint16_t block_align() const;
    uint16_t bits_per_sample() const;
};

// Fills `desc` from the file, asking the user where the file is doubtful. Returns kReadOk
// or the error; every error has been shown to the user already.
unsigned read_wave_file(const std::string& path, WaveFileDesc& desc);

} // namespace plavo
