#pragma once
// Saving as RealMedia: the compression dialog ("RealMedia Audio/Video Compression
// Parameters") and the encoding through the RealMedia engine's calls.
#include "platform/ui.h"

#include <functional>
#include <string>
#include <vector>

class CChildFrame;

// Chosen for the rest of the run.
struct RealMediaSettings
{
    std::string audio_codec = "6.5 Kbps Voice";
    std::string video_codec = "RealVideo (Standard)";
    int quality = 100;   // 1 to 100
    int frame_rate = 60; // 8 to 100
};
RealMediaSettings& realmedia_settings();

// The pictures to go with the sound: the video file and the time in it where the sound
// starts. No file: sound only.
struct RealMediaVideo
{
    std::string file;
    double start_seconds = 0;
};

// True when `file` holds a video stream the encoder can read.
bool has_video_stream(const std::string& file);

// Encodes the PCM wave file `input` into `output` with the settings, with the pictures of
// `video` (as long as the sound, no longer than the pictures last) when it names a file.
// Reports progress (percent; a false answer cancels) and the status line's texts as they
// come. 1 when the file is complete; the last status text is then "Done.", and never
// after a failure or a cancel, which leave no output file.
int encode_realmedia(const std::string& input, const std::string& output,
                     const RealMediaSettings& settings, const RealMediaVideo& video,
                     const std::function<bool(int)>& progress,
                     const std::function<void(const std::string&)>& status);

// Template 130. OK (1) encodes while the dialog stays up with its progress bar (1008) and
// status line (1009); the dialog ends with 1 once the file is written. After a failure it
// stays open with the failure in its status line; Cancel ends it with 2, and while it
// encodes stops the encoding first.
class RealMediaDialog : public kel::DialogModel
{
  public:
    // `video`: the document's video source, when it has one.
    RealMediaDialog(std::string input, std::string output, int channels, RealMediaVideo video = {});
    const char* template_name() const override { return "130"; }
    void on_open() override;

    // Audio combo (1000) and its description (1001).
    std::vector<std::string> audio_names;
    int audio_choice = 0;
    std::string description;
    void choose_audio(int index);
    // The video group (1002 .. 1006): enabled for a source with a video stream, when the
    // engine offers a video codec.
    bool video_enabled = false;
    std::vector<std::string> video_names;
    int video_choice = 0;
    int quality = 100;
    int frame_rate = 60;

    int percent = 0;    // 1008
    std::string status; // 1009
    // Called while encoding, so a window can repaint its bar and status line.
    std::function<void()> changed;

    void ok();
    void cancel();
    bool encoding = false;
    bool cancel_asked = false; // Cancel while encoding: the encoder stops at its next block
    bool written = false;

    static std::string description_of(const std::string& codec);

  private:
    std::string input_, output_;
    int channels_;
    RealMediaVideo video_;
};

// Save As type 17: the document's sound (or its highlighted section) through the dialog
// into `name`, replaced only when the encoding succeeded. 1 on success.
int save_realmedia_file(CChildFrame& doc, const std::string& name, bool highlighted_only);
