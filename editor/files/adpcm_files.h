#pragma once
// Microsoft ADPCM wave files in the file commands: converting one on open, and the
// "&Compressed ADPCM format" choice of the save dialog.
#include "editor/files/wave_save.h"

#include <string>

// Opening a wave file whose format tag is 2. Asks whether to convert; the PCM file goes
// where the "Compress Waveform File" dialog says, made by the outside ADPCM program.
// 1 with `pcm_path` naming the file to open; 0 when declined, cancelled or failed.
int open_compressed_adpcm(const std::string& adpcm_path, std::string& pcm_path);

// Codes the PCM wave file `pcm_path` as MS ADPCM into `target` (which may be the same
// file). The target is replaced only by a complete result: a failed or cancelled
// compression leaves an earlier target byte for byte as it was. 1 on success.
int compress_wave_file(const std::string& pcm_path, const std::string& target);

// Save As with "&Compressed ADPCM format": the document (or its highlighted section) in
// `format` as PCM in this run's folder, then compressed into `target`. 1 on success.
int save_compressed_adpcm(CChildFrame& doc, const std::string& target, bool highlighted_only,
                          const SaveFormat& format);
