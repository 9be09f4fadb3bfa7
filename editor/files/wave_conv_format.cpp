// The ADPCM converter's checks of a source and the destination format it builds.
#include "editor/files/wave_conv_format.h"

#include "formats/msadpcm.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ms = kel::msadpcm;

namespace {

void put16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool allocate(ConvPlan& plan, size_t size)
{
    plan.destination_format.reset(new (std::nothrow) uint8_t[size]);
    if (!plan.destination_format)
        return false;
    std::memset(plan.destination_format.get(), 0, size);
    plan.destination_format_size = size;
    return true;
}

int plan_from_pcm(const WaveConvSource& s, int marker_mode, ConvPlan& plan)
{
    const int channels = s.channels();
    const int bits = s.bits_per_sample();
    const uint32_t rate = s.sample_rate();
    if ((bits != 8 && bits != 16) || channels < 1 || channels > 2 ||
        (rate != 11025 && rate != 22050 && rate != 44100))
        return kConvInvalidPcm;
    // Frames are read by this size; any other would split samples.
    if (s.block_align() != channels * bits / 8)
        return kConvCorruptHeader;

    ms::Format f;
    f.channels = static_cast<uint16_t>(channels);
    f.sample_rate = rate;
    f.block_align = static_cast<uint16_t>(ms::block_align_for(rate, channels));
    f.samples_per_block = static_cast<uint16_t>(ms::samples_per_block(f.block_align, channels));
    const uint32_t nibble_bytes = rate * static_cast<uint32_t>(channels) * 4 / 8;
    f.avg_bytes_per_sec =
        marker_mode ? s.avg_bytes_per_sec()
                    : (nibble_bytes / f.block_align + 1) * 7 * static_cast<uint32_t>(channels) +
                          nibble_bytes;
    if (!allocate(plan, ms::kFormatBytes))
        return kConvNoHeaderMemory;
    ms::write_format(f, plan.destination_format.get());

    plan.direction = ConvDirection::PcmToAdpcm;
    plan.channels = channels;
    plan.source_align = s.block_align();
    plan.samples_per_block = f.samples_per_block;
    // As many whole blocks per read as fit the usual 32768 bytes: the encoder codes
    // several blocks side by side, and the file holds the same bytes either way.
    const size_t block_bytes = static_cast<size_t>(plan.source_align) * f.samples_per_block;
    plan.blocks_per_unit = static_cast<int>(std::max<size_t>(1, kConvReadBytes / block_bytes));
    plan.source_unit = block_bytes * plan.blocks_per_unit;
    plan.destination_unit = static_cast<size_t>(f.block_align) * plan.blocks_per_unit;
    plan.fact = s.data_size / static_cast<uint32_t>(plan.source_align);
    return kConvOk;
}

int plan_from_adpcm(const WaveConvSource& s, int marker_mode, ConvPlan& plan)
{
    const int channels = s.channels();
    if (s.bits_per_sample() != 4 || channels < 1 || channels > 2 ||
        s.format_chunk_size < static_cast<uint32_t>(ms::kFormatBytes) ||
        s.extension_size() < ms::kExtensionBytes || s.format.size() < ms::kFormatBytes ||
        !ms::coefficients_are_standard(s.format.data() + 22, s.field16(20)))
        return kConvInvalidAdpcm;
    const int align = s.block_align();
    const int samples = s.field16(18);
    if (samples < 2 || samples > ms::samples_per_block(align, channels))
        return kConvCorruptHeader;

    if (!allocate(plan, 16))
        return kConvNoHeaderMemory;
    uint8_t* f = plan.destination_format.get();
    const uint32_t rate = s.sample_rate();
    put16(f + 0, 1);
    put16(f + 2, static_cast<uint32_t>(channels));
    put32(f + 4, rate);
    put32(f + 8, marker_mode ? s.avg_bytes_per_sec() : rate * static_cast<uint32_t>(channels));
    put16(f + 12, static_cast<uint32_t>(channels));
    put16(f + 14, 8);

    plan.direction = ConvDirection::AdpcmToPcm;
    plan.channels = channels;
    plan.source_align = align;
    plan.samples_per_block = samples;
    plan.source_unit = static_cast<size_t>(align);
    plan.destination_unit = static_cast<size_t>(samples) * static_cast<size_t>(channels);
    // Whole blocks, then whatever frames the cut last block still holds.
    const uint64_t frames =
        static_cast<uint64_t>(s.data_size / static_cast<uint32_t>(align)) * samples +
        static_cast<uint64_t>(
            std::min(samples, ms::frames_in_bytes(s.data_size % align, channels)));
    uint64_t fact = frames;
    if (s.fact > 0 && s.fact < fact)
        fact = s.fact;
    plan.fact = static_cast<uint32_t>(std::min<uint64_t>(fact, 0xFFFFFFFFu));
    return kConvOk;
}

} // namespace

const char* conv_plan_message(int result)
{
    switch (result) {
    case kConvInvalidPcm:
        return "This PCM wave file is not valid for conversion!";
    case kConvInvalidAdpcm:
        return "This ADPCM wave file is not valid for conversion!";
    case kConvUnknownFormat:
        return "This wave converter application does not know how to convert current format!";
    case kConvCorruptHeader:
        return "There is something invalid/corrupt in the source header!";
    case kConvNoHeaderMemory:
        return "Could not allocate destination conversion header!";
    default:
        return "";
    }
}

int make_conv_plan(const WaveConvSource& source, int marker_mode, ConvPlan& plan)
{
    plan = ConvPlan();
    switch (source.format_tag()) {
    case 1:
        return plan_from_pcm(source, marker_mode, plan);
    case ms::kFormatTag:
        return plan_from_adpcm(source, marker_mode, plan);
    default:
        return kConvUnknownFormat;
    }
}
