#pragma once
// Makes clipboard data fit a destination of another format: channels, rate (only the
// ratios 0.25, 0.5, 2 and 4 are resampled; any other ratio copies frames one for one)
// and 8/16-bit size.
#include "editor/edit/clipboard_files.h"

#include <cstddef>
#include <cstdint>

// The per-frame converter. Values are carried signed (8-bit data minus 128) until the
// size step at the end. It is a stream: the previous frame, the frame count that decides
// which frames a lower rate keeps, and a frame split between two blocks are carried from
// one block to the next, so the result does not depend on how the input is cut.
class FrameConverter
{
  public:
    // channel_mode: 1 both (average to mono), 2 left, 3 right.
    FrameConverter(const ClipboardFormat& source, const ClipboardFormat& destination,
                   int channel_mode);

    // Bytes of output that the next input block of this size can produce at most.
    size_t max_output_bytes(size_t input_bytes) const;
    // Bytes of output that a whole input of this size gives.
    uint64_t output_bytes_for(uint64_t input_bytes) const;
    // Converts the block (any number of bytes; a frame cut at its end is finished by the
    // next block); returns the output bytes written.
    size_t convert_block(const uint8_t* input, size_t input_bytes, uint8_t* output);

    int source_frame_bytes() const { return src_bytes_ * src_channels_; }
    int destination_frame_bytes() const { return dst_bytes_ * dst_channels_; }

  private:
    void put(int value, uint8_t*& out) const;
    void put_frame(const int* frame, uint8_t*& out) const;
    void convert_frame(const uint8_t* frame, uint8_t*& out);
    int src_channels_, src_bytes_, dst_channels_, dst_bytes_;
    int channel_mode_;
    double ratio_;
    int previous_[2] = {0, 0}; // the last frame written, for interpolation
    uint64_t frame_index_ = 0; // source frames converted so far
    uint8_t partial_[4] = {};  // the start of a frame that the last block cut
    size_t partial_bytes_ = 0;
};

// Converts "clipbord.clp" (source format from "cliptext.clp") into "convclip.clp" for
// the destination. The converted length in bytes, or -1 on failure or Cancel (the
// message has been shown).
long convert_clipboard(const ClipboardFormat& source, const ClipboardFormat& destination,
                       int channel_mode);
