#pragma once
// Reading time from incoming MIDI: the eight quarter-frame pieces of MIDI Time Code, and
// a drum machine's song position with its clock (LINN 9000 mode).
#include "editor/sync/smpte.h"

#include <cstdint>

namespace synchro {

// Quarter frames (0xF1, data byte piece << 4 | nibble) assembled into a time. Only the
// pieces 0, 1, ..., 7 in that order make a time; a piece out of order (tape shuttling
// back, a lost message) or an interruption drops the group until the next piece 0, so a
// time made of two different groups is never reported. Hours are ignored (taken as 0);
// a group whose frames, seconds or minutes are out of range gives no time.
class MtcAssembler
{
  public:
    // One quarter frame; true when it completed a group, with its time in *out.
    bool feed(uint8_t data, SmpteTime* out);
    // A system-exclusive message or a broken byte stream came between the pieces.
    void interrupt() { next_ = -1; }
    void reset() { next_ = -1; }

  private:
    int next_ = -1; // the piece expected next; -1 waits for piece 0
    uint8_t bytes_[4] = {};
};

// Song Position Pointer then MIDI clocks: the position sets the time (position / 24
// seconds) and arms the clock; each clock while armed steps one frame.
class LinnClock
{
  public:
    explicit LinnClock(int fps = 24, bool drop = false) : fps_(fps), drop_(drop) {}
    void song_position(uint8_t lsb, uint8_t msb);
    // False (nothing changes) until a song position has come.
    bool clock();
    bool armed() const { return armed_; }
    const SmpteTime& time() const { return time_; }

  private:
    int fps_;
    bool drop_;
    bool armed_ = false;
    SmpteTime time_;
};

// What one packed MIDI message is to the time readers.
enum class MidiKind { Other, QuarterFrame, SongPosition, Clock, SysEx, NoteOn, NoteOff };
MidiKind midi_kind(intptr_t packed);

} // namespace synchro
