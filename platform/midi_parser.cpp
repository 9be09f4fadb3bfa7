#include "platform/midi_parser.h"

namespace kel::midi {

int data_length(uint8_t status)
{
    if (status < 0x80)
        return -1;
    if (status < 0xF0)
        return (status & 0xE0) == 0xC0 ? 1 : 2; // program change and channel pressure take one
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
        return 0;
    default:
        return -1; // F0, F4, F5, F7, F9, FD
    }
}

void Parser::reset()
{
    *this = Parser{};
}

int Parser::feed(uint8_t byte, Event out[2])
{
    if (byte >= 0xF8) {
        // Realtime: between any two bytes, and nothing else changes.
        if (data_length(byte) < 0)
            return 0;
        out[0] = {Kind::Message, pack(byte)};
        return 1;
    }
    if (byte < 0x80) {
        if (sysex_)
            return 0;
        if (status_ == 0) {
            out[0] = {Kind::Error, byte};
            return 1;
        }
        data_[have_++] = byte;
        if (have_ < need_)
            return 0;
        out[0] = {Kind::Message, pack(status_, data_[0], need_ > 1 ? data_[1] : 0)};
        have_ = 0;
        fresh_ = false;
        // Only channel messages run on.
        if (status_ >= 0xF0)
            status_ = 0;
        return 1;
    }
    int n = 0;
    if (sysex_) {
        sysex_ = false;
        if (byte == 0xF7)
            return 0;
    } else if (fresh_ || have_ > 0) {
        out[n++] = {Kind::Error, pack(status_, have_ > 0 ? data_[0] : 0)};
    }
    have_ = 0;
    fresh_ = false;
    status_ = 0;
    const int length = data_length(byte);
    if (byte == 0xF0) {
        sysex_ = true;
    } else if (length == 0) {
        out[n++] = {Kind::Message, pack(byte)};
    } else if (length > 0) {
        status_ = byte;
        need_ = length;
        fresh_ = true;
    }
    return n;
}

} // namespace kel::midi
