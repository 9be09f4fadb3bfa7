#pragma once
// Microsoft ADPCM wave files in the file commands: converting one on open, and the
// "&Compressed ADPCM format" choice of the save dialog.
#include <string>

// Opening a wave file whose format tag is 2. Asks whether to convert; the PCM file goes
// where the "Compress Waveform File" dialog says, made by the outside ADPCM program.
// 1 with `pcm_path` naming the file to open; 0 when declined, cancelled or failed.
int open_compressed_adpcm(const std::string& adpcm_path, std::string& pcm_path);

// The PCM wave file just saved at `path` becomes an MS ADPCM file of the same name.
// 1 on success; on failure the saved file is deleted too.
int compress_saved_wave(const std::string& path);
