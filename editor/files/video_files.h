#pragma once
// Video files: the sound track of an AVI (or MP4, MKV, WebM, MOV) file opens as a
// document, and Save puts the edited sound back beside the file's untouched pictures.
// The work is done by our stand-in program "nvaavi" over the FFmpeg libraries.
#include "common/child_frame.h"

#include <memory>
#include <string>

inline constexpr const char* kVideoProgram = "nvaavi";

// By extension: avi, mp4, m4v, mkv, webm, mov.
bool is_video_file_name(const std::string& name);

// The first sound stream of `video` as a 16-bit PCM wave file `wave`. 1 on success; 0
// with the reason said ("... has no sound stream.", "Could not read the sound of ...").
int make_wave_file_from_AVI_file(const char* video, const char* wave);

// A document from a video file's sound: it remembers the video as its source.
std::unique_ptr<CChildFrame> open_video_file(const std::string& name);

// Writes `name` with the video streams of the document's video source copied as they
// are and the document's sound as its sound track; the user's file is replaced only
// when the new one is complete. 1 on success.
int save_AVI_file(CChildFrame& doc, const std::string& name);
