#pragma once
// Makes clipboard data fit a destination of another format: channels, rate (only the
// ratios 0.25, 0.5, 2 and 4 are resampled; any other ratio copies frames one for one)
// and 8/16-bit size.
#include "editor/document/clipboard_files.h"

#include <cstddef>
#include <cstdint>

// The per-frame converter. Values are carried signed (8-bit data minus 128) until the
// size step at the end.
class FrameConverter
{
  public:
    // channel_mode: 1 both (average to mono), 2 left, 3 right.
    FrameConverter(const ClipboardFormat& source, const ClipboardFormat& destination,
                   int channel_mode);

    // Bytes of output that an input block of this size can produce at most.
    size_t max_output_bytes(size_t input_bytes) const;
    // Converts whole source frames of the block; returns the output bytes written.
    size_t convert_block(const uint8_t* input, size_t input_bytes, uint8_t* output);

    int source_frame_bytes() const { return src_bytes_ * src_channels_; }
    int destination_frame_bytes() const { return dst_bytes_ * dst_channels_; }

  private:
    void put(int value, uint8_t*& out) const;
    void put_frame(const int* frame, uint8_t*& out) const;
    int src_channels_, src_bytes_, dst_channels_, dst_bytes_;
    int channel_mode_;
    double ratio_;
    int previous_[2] = {0, 0}; // the last frame written, for interpolation
};

// Overwrites the last two frames of a converted block with the two before them.
void patch_block_end(uint8_t* block, size_t bytes, int frame_bytes);

// Converts "clipbord.clp" (source format from "cliptext.clp") into "convclip.clp" for
// the destination. The converted length in bytes, or -1 on failure or Cancel (the
// message has been shown).
long convert_clipboard(const ClipboardFormat& source, const ClipboardFormat& destination,
                       int channel_mode);
