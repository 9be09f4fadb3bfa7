#pragma once
#include "common/child_frame.h"
#include "platform/ui.h"

#include <memory>
#include <string>

// "CREATENEWFILE": resolution, channels and sample rate of a new file. Each choice
// changes the playback copy of the format at once; Cancel puts back what it opened with.
class CreateNewFileDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "CREATENEWFILE"; }
    void on_open() override;
    void choose_bits(int bits);
    void choose_channels(int channels);
    void choose_rate(unsigned rate); // 11025, 22050 or 44100
    void ok() { end_dialog(1); }
    void cancel();
    void help();

  private:
    PlayFormat opened_with_;
};

// Number that the next "SAMPLE%d.WAV" takes; starts at 1 in every run.
extern int g_new_file_counter;

// Makes the new empty file, opens a document from it and deletes the file again.
// Null when cancelled or on failure (the message has been shown).
std::unique_ptr<CChildFrame> create_new_wave_file(bool with_dialog);
