#pragma once
// A MIDI byte stream cut into short messages, as a serial MIDI port's bytes arrive: one
// byte in, at most one message out (after an error for what that byte cut short).
//
// - Channel messages (80..EF) keep their status for the data bytes that follow (running
//   status); C0..DF take one data byte, the others two.
// - Realtime bytes (F8..FF) are delivered at once wherever they come, inside another
//   message or a system exclusive too, and leave it undisturbed; the undefined F9 and FD
//   are dropped.
// - System exclusive (F0 .. F7) is skipped; any status byte other than realtime ends it.
// - System common: F1 and F3 take one data byte, F2 two, F6 none; they, F7 outside a
//   system exclusive and the undefined F4 and F5 (which deliver nothing) end running status.
// - A data byte with no status to belong to, and a message cut short by a status byte,
//   are reported as errors and dropped.
#include <cstddef>
#include <cstdint>

namespace kel::midi {

// status | data1 << 8 | data2 << 16, the unused data bytes 0.
inline constexpr uint32_t pack(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0)
{
    return status | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

// Data bytes that follow a status byte: 0, 1 or 2; -1 for the bytes that start nothing
// (data bytes, F0, F4, F5, F7, F9, FD).
int data_length(uint8_t status);

class Parser
{
  public:
    enum class Kind { None, Message, Error };
    struct Event
    {
        Kind kind = Kind::None;
        // A message packed as above; for an error the bytes that were dropped, packed
        // the same way (a lone data byte, or a status and the data it had so far).
        uint32_t packed = 0;
    };

    // Fills out[] with what this byte gives, in order: an error for the message it cut
    // short, then the message it completes. Returns how many (0, 1 or 2).
    int feed(uint8_t byte, Event out[2]);
    // Forgets everything, as a port that was just opened.
    void reset();

    // Inside a system exclusive now.
    bool in_sysex() const { return sysex_; }

  private:
    uint8_t status_ = 0; // the status the next data bytes belong to; 0 for none
    uint8_t data_[2] = {0, 0};
    int have_ = 0;       // data bytes of the current message so far
    int need_ = 0;       // data bytes the current status takes
    bool fresh_ = false; // a status byte came and its message is not complete yet
    bool sysex_ = false;
};

} // namespace kel::midi
