#pragma once
// Captions the player's boxes share.
namespace plavo {
inline constexpr const char* kCaption = "OCW File Decoder / Player";
inline constexpr const char* kReaderCaption = "wioFileOpen";
} // namespace plavo
