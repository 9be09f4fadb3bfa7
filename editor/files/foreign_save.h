#pragma once
// Save As to the formats an outside program writes: the sixteen sample formats through the
// converter program, MP3 through the encoder. The program works on intermediates in this
// run's folder; its result replaces the user's file only when complete.
#include "common/child_frame.h"
#include "editor/files/wave_save.h"

#include <string>

// Types 1-15: PCM to "NVACNVRT.WAV", the converter writes a private file, which then
// replaces `name`. 1 on success; a failure says "Could not convert to NAME.".
int save_converted_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                        const SaveFormat& format);

// Type 18: PCM to the encoder's input, "-320 -quit" as its command line, and its MP3 (it
// writes beside its input) in place of `name` once the encoder has ended well. The wait has
// a progress window whose Cancel stops the encoder. 1 on success.
int save_mp3_file(CChildFrame& doc, const std::string& name, bool highlighted_only,
                  const SaveFormat& format);
