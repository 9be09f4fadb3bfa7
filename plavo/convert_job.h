#pragma once
// Turning an OCW file into 16-bit PCM: our MS ADPCM decoder stands where the platform's
// codec manager stood, then the player's interpolator restores the rate the marker names.
#include "formats/ocw_rate.h"
#include "platform/riff.h"
#include "platform/wave_device.h"
#include "plavo/wave_reader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plavo {

// r for a rate marker (nAvgBytesPerSec), by k = trunc(44100 / marker x 10); 0 for a marker
// the player does not know.
float ratio_for_marker(uint32_t marker);

// What a decoder proposes for a source format: PCM 16-bit with the source's channels and
// nominal rate. False when it knows no conversion for the source.
bool suggest_format(const WaveFileDesc& source, kel::wave_device::Format& target);

class ConvertJob
{
  public:
    ~ConvertJob();
    // Reads nothing itself: `source` comes from read_wave_file. Writes the target's headers
    // (the source's "DISP" and "plst" chunks, "fmt ", "fact") and opens its "data" chunk.
    // Shows the failure's message and returns false; the job is then closed. `replaces`
    // names the file the target will be moved over, when it is a temporary file.
    bool begin(const std::string& source_path, const std::string& target_path,
               const WaveFileDesc& source, const std::string& replaces = "");
    // One decoding step into `out` (at least out_capacity() bytes). Returns the bytes, 0 at
    // the end of the stream, -1 on a failure (its message shown). The steps together give
    // trunc(frames x r) frames, each frame at the place its index in the whole file names.
    long step(uint8_t* out);
    // Appends to the target's data chunk; false on a short write.
    bool write(const uint8_t* bytes, size_t count);
    // Fixes the target's chunk sizes and closes both files. False when they could not be
    // written.
    bool close();
    bool is_open() const { return source_ != nullptr; }

    const kel::wave_device::Format& target_format() const { return target_format_; }
    size_t source_block() const { return source_block_; }
    size_t target_block() const { return target_block_; }
    size_t out_capacity() const;
    uint32_t data_size() const { return data_size_; }
    uint32_t consumed() const { return consumed_; }
    // The source ended before its data chunk said: the file is cut short.
    bool truncated() const { return truncated_; }
    int channels() const { return target_format_.channels; }
    // Bytes the whole stream becomes: the "fact" count (or what the blocks hold) stretched.
    uint64_t expected_output_bytes() const;

  private:
    bool decode(size_t bytes, size_t& used, size_t& decoded_frames, bool last);

    std::unique_ptr<kel::riff::File> source_;
    std::unique_ptr<kel::riff::File> target_;
    kel::riff::Chunk riff_, data_;
    WaveFileDesc desc_;
    kel::wave_device::Format target_format_;
    size_t source_block_ = 0;
    size_t target_block_ = 0;
    uint32_t data_size_ = 0;
    uint32_t consumed_ = 0;
    bool truncated_ = false;
    uint64_t frames_decoded_ = 0;
    std::unique_ptr<kel::ocw::Stretcher> stretcher_;
    std::vector<uint8_t> source_buffer_;
    std::vector<int16_t> target_buffer_;
};

} // namespace plavo
