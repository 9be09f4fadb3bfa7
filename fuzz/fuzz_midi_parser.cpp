// Any bytes as a MIDI input stream: every event the parser gives must be well formed.
#include "platform/midi_parser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kel::midi::Parser parser;
    kel::midi::Parser::Event out[2];
    for (size_t i = 0; i < size; ++i) {
        const int n = parser.feed(data[i], out);
        if (n < 0 || n > 2)
            __builtin_trap();
        for (int j = 0; j < n; ++j) {
            const uint32_t p = out[j].packed;
            if (p >> 24)
                __builtin_trap();
            if (out[j].kind != kel::midi::Parser::Kind::Message)
                continue;
            // A status byte, its own count of data bytes (7-bit), nothing past them.
            const int length = kel::midi::data_length(static_cast<uint8_t>(p & 0xFF));
            if (length < 0 || ((p >> 8) & 0x80) || ((p >> 16) & 0x80) || (p >> (8 * (1 + length))))
                __builtin_trap();
            // Realtime comes out as the byte that went in.
            if (data[i] >= 0xF8 && p != data[i])
                __builtin_trap();
        }
    }
    return 0;
}
