#pragma once
// The PCM format record and the process-wide state of the wave-file services.
#include "platform/riff.h"

#include <cstdint>
#include <string>
#include <vector>

// 16 bytes, exactly the body of the "fmt " chunk.
struct WaveFormat
{
    uint16_t format_tag = 1;
    uint16_t channels = 1;
    uint32_t sample_rate = 22050;
    uint32_t avg_bytes_per_sec = 22050;
    uint16_t block_align = 1;
    uint16_t bits_per_sample = 8;

    static constexpr int kSize = 16;
    void to_bytes(uint8_t out[16]) const;
    static WaveFormat from_bytes(const uint8_t in[16]);
    int bytes_per_sample() const { return bits_per_sample / 8; }
};

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatAdpcm = 2;

// The format of the last header read, as playback and the new-file command use it.
struct PlayFormat
{
    uint16_t format_tag = 1;
    uint16_t channels = 1;
    uint16_t bits = 8;
    uint16_t bytes_per_sample = 1;
    uint32_t sample_rate = 22050;
};

using HMMIO = kel::riff::File*;

// One file at a time: the reader fills these, the writer writes last_format.
extern WaveFormat last_format;
extern uint32_t data_size;
extern uint16_t last_format_tag;
extern PlayFormat play_format;
extern int header_read_ok;
extern kel::riff::Chunk riff_chunk_out;
extern kel::riff::Chunk data_chunk_out;

// The INFO list that the next header written carries when asked for.
struct InfoField
{
    uint32_t id; // four-character code such as "INAM"
    std::string text;
    // Written as it stands (an item kept from a file); else with a terminating zero.
    bool raw = false;
};
extern std::vector<InfoField> info_fields;
extern int write_info_list;
