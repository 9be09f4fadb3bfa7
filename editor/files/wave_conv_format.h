#pragma once
// Which way a source converts, and the record and block units of the destination.
#include "editor/files/wave_conv_reader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Bytes the converter reads at most at a time when coding PCM.
inline constexpr size_t kConvReadBytes = 32768;

enum class ConvDirection { PcmToAdpcm, AdpcmToPcm };

enum ConvPlanResult : int {
    kConvOk = 0,
    kConvInvalidPcm,     // "This PCM wave file is not valid for conversion!"
    kConvInvalidAdpcm,   // "This ADPCM wave file is not valid for conversion!"
    kConvUnknownFormat,  // "This wave converter application does not know how ..."
    kConvCorruptHeader,  // "There is something invalid/corrupt in the source header!"
    kConvNoHeaderMemory, // "Could not allocate destination conversion header!"
};

struct ConvPlan
{
    ConvDirection direction = ConvDirection::PcmToAdpcm;
    std::unique_ptr<uint8_t[]> destination_format;
    size_t destination_format_size = 0; // 16 for PCM, 18 + cbSize for ADPCM
    int channels = 1;
    int source_align = 1;        // bytes of one source frame (PCM) or block (ADPCM)
    int samples_per_block = 0;   // frames of one ADPCM block
    int blocks_per_unit = 1;     // ADPCM blocks coded per read
    size_t source_unit = 0;      // bytes per read
    size_t destination_unit = 0; // bytes per write, at most
    uint32_t fact = 0;           // frames the destination holds
};

// The message text of a result other than kConvOk.
const char* conv_plan_message(int result);

// Checks the source and builds the destination record. With marker_mode the
// destination keeps the source's nAvgBytesPerSec (the OCW rate marker).
int make_conv_plan(const WaveConvSource& source, int marker_mode, ConvPlan& plan);
