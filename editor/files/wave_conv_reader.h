#pragma once
// The ADPCM converter's own wave reader: what a source file holds and where.
#include "editor/files/info_chunk.h"

#include <cstdint>
#include <string>
#include <vector>

struct WaveConvChunk
{
    uint32_t id = 0;
    uint64_t offset = 0; // of the chunk header
    uint32_t size = 0;   // of the body
};

struct WaveConvSource
{
    // The "fmt " record, zero-filled to at least 18 bytes (to kMaxFormatRead at most).
    std::vector<uint8_t> format;
    uint32_t format_chunk_size = 0; // as the file declares it
    uint64_t data_offset = 0;
    uint32_t data_size = 0; // cut to what the file really holds
    uint32_t fact = 0;
    bool has_fact = false;
    bool has_info = false;
    WaveConvChunk info;                     // the first LIST of type INFO
    InfoState info_items;                   // ... and what it holds
    std::vector<WaveConvChunk> copy_chunks; // "DISP" and "plst", in file order

    uint16_t format_tag() const;
    uint16_t channels() const;
    uint32_t sample_rate() const;
    uint32_t avg_bytes_per_sec() const;
    uint16_t block_align() const;
    uint16_t bits_per_sample() const;
    uint16_t extension_size() const; // cbSize
    uint16_t field16(size_t at) const;
};

inline constexpr size_t kMaxFormatRead = 1024;
inline constexpr size_t kMaxCopyChunks = 64;

// Reads the description of `path`. A non-PCM file without "fact" asks whether to go on
// (No fails, Yes takes 0), and so does an unknown INFO item (No fails). 1 on success, 0
// when the file is no usable wave file.
int wave_conv_read_source(const std::string& path, WaveConvSource& source);
