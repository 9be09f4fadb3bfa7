#pragma once
// Flange (command 11508): its five parameters, kept between commands, their presets in
// "KVSFLNGE.INI" (key "Flange Values1": "delay rate depth feedback mix") and the swept comb
// that mode 3 of digital_filter_waveform runs.
#include <string>
#include <vector>

inline constexpr int kFlangeCommand = 11508;

struct FlangeSettings
{
    int delay_ms = 6;          // 0 .. 100
    int rate_hz = 2;           // 0 .. 20 (0 sweeps once in two seconds)
    int depth_percent = 88;    // 0 .. 100
    int feedback_percent = 25; // 0 .. 100 (0 leaves the sound as it is)
    int mix_percent = 100;     // -100 .. 100
};

extern FlangeSettings g_flange;

struct FlangeRange
{
    int minimum;
    int maximum;
};
// Ranges in the order of the preset value: delay, rate, depth, feedback, mix.
inline constexpr FlangeRange kFlangeRanges[5] = {
    {0, 100}, {0, 20}, {0, 100}, {0, 100}, {-100, 100}};

std::vector<int> flange_preset_values(const FlangeSettings& settings);
// Takes the values of "Flange Values1" (at most 127 characters), each brought into its
// range; false, with the settings untouched, when the key is missing or empty.
bool read_flange_preset(FlangeSettings& settings, const std::string& ini_path,
                        const std::string& preset);
std::string flange_preset_path();

// The comb of one run over interleaved frames. It keeps its delay line and its sweep from
// one call to the next, so the result does not depend on how the frames are handed in.
class FlangeEngine
{
  public:
    FlangeEngine(const FlangeSettings& settings, long sample_rate, int channels,
                 int bytes_per_sample);
    // False when the delay line could not be had.
    bool ready() const { return !line_.empty(); }
    void process(unsigned char* frames, long frame_count);

    // Frames of one sweep, and the delay (frames) at a point of it.
    long sweep_frames() const { return period_; }
    long delay_at(long sweep_position) const;

  private:
    double feedback_, weight_, mix_, depth_, base_;
    long period_;
    int channels_, bytes_per_sample_;
    long line_frames_ = 0;
    std::vector<int> line_; // the output written, line_frames_ frames
    long frame_ = 0;        // frames processed so far
    long sweep_ = 0;        // position in the sweep
};

class CChildFrame;
// Mode 3 of digital_filter_waveform: the comb over the selection, in place in the redo
// file, with the undo step 11508. 1 when the step was made.
int flange_selection(CChildFrame& doc, const char* progress_text);

// Largest piece of the redo file worked on at once (32768 bytes; tests change it).
extern unsigned long g_flange_piece_limit;
