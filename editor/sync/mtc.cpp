#include "editor/sync/mtc.h"

#include "platform/midi_in.h"

namespace synchro {

bool MtcAssembler::feed(uint8_t data, SmpteTime* out)
{
    const int piece = (data >> 4) & 7;
    const uint8_t nibble = data & 15;
    if (piece == 0) {
        bytes_[0] = bytes_[1] = bytes_[2] = bytes_[3] = 0;
        next_ = 0;
    }
    if (piece != next_) {
        next_ = -1;
        return false;
    }
    uint8_t& byte = bytes_[piece / 2];
    if (piece % 2 == 0)
        byte = static_cast<uint8_t>((byte & 0xF0) | nibble);
    else
        byte = static_cast<uint8_t>((byte & 0x0F) | (nibble << 4));
    if (piece < 7) {
        ++next_;
        return false;
    }
    next_ = -1;
    const SmpteTime t{0, bytes_[2], bytes_[1], bytes_[0]};
    if (t.frames > 29 || t.seconds > 59 || t.minutes > 59)
        return false;
    *out = t;
    return true;
}

void LinnClock::song_position(uint8_t lsb, uint8_t msb)
{
    const int position = (msb & 0x7F) * 128 + (lsb & 0x7F);
    time_ = smpte_from_seconds(position / 24.0, fps_, drop_);
    armed_ = true;
}

bool LinnClock::clock()
{
    if (!armed_)
        return false;
    smpte_step(time_, fps_, drop_);
    return true;
}

MidiKind midi_kind(intptr_t packed)
{
    const uint8_t status = kel::midi_in::status_of(packed);
    switch (status) {
    case 0xF1:
        return MidiKind::QuarterFrame;
    case 0xF2:
        return MidiKind::SongPosition;
    case 0xF8:
        return MidiKind::Clock;
    case 0xF0:
    case 0xF7:
        return MidiKind::SysEx;
    default:
        break;
    }
    if ((status & 0xF0) == 0x90)
        return kel::midi_in::data2_of(packed) == 0 ? MidiKind::NoteOff : MidiKind::NoteOn;
    if ((status & 0xF0) == 0x80)
        return MidiKind::NoteOff;
    return MidiKind::Other;
}

} // namespace synchro
