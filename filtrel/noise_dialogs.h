#pragma once
// The dialogs of noise reduction: "NOISEREMOVAL" (which tool), "NOISEREDUCTION" (how much of
// the sampled noise to take out) and "NOISEGATE" (threshold and channels).
#include "filtrel/dialog_slider.h"
#include "platform/ui.h"

#include <functional>
#include <string>

namespace noise_dialog {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kHelp = 1405;
// NOISEREMOVAL
inline constexpr int kHashFilter = 275;
inline constexpr int kHumFilter = 279;
inline constexpr int kNoiseGate = 444;
inline constexpr int kSample = 545;
inline constexpr int kRemove = 546;
// The mains frequency of the hum filter, beside its button.
inline constexpr int kHum60 = 280;
inline constexpr int kHum50 = 281;
// NOISEREDUCTION and NOISEGATE
inline constexpr int kSlider = 233;
inline constexpr int kField = 232;
inline constexpr int kBoth = 245;
inline constexpr int kLeft = 246;
inline constexpr int kRight = 247;
inline constexpr int kCommandContext = 11511;
inline constexpr int kGateContext = 444;
} // namespace noise_dialog

// Settings of the hum filter and the gate, kept for the life of the module.
struct NoiseToolSettings
{
    int hum_hz = 60;           // 60, or 50 where the mains run at 50 Hz
    int gate_percent = 0;      // 0 .. 100
    float gate_fraction = 0;   // gate_percent * 0.01
    int gate_channel_mode = 1; // 1 both, 2 left, 3 right
};

extern NoiseToolSettings g_noise_tools;

// Where the hum frequency is kept between runs: the Filter family's preset file, section
// "Noise Reduction", key "Hum Filter" (60 or 50).
int read_hum_frequency(const std::string& ini_path);
void write_hum_frequency(const std::string& ini_path, int hz);

class NoiseRemovalDialog : public kel::DialogModel
{
  public:
    // sample runs the profiling with the dialog still open.
    NoiseRemovalDialog(int hum_hz, std::function<int()> sample);
    const char* template_name() const override { return "NOISEREMOVAL"; }
    static constexpr const char* kCaption = "Reduce Noise In Waveform";

    void on_open() override;
    // 275, 279, 444 and 546 end the dialog with that choice (546 only once enabled).
    void choose(int button);
    void sample();
    void set_hum(int hz) { hum_hz = hz == 50 ? 50 : 60; }
    void cancel() { end_dialog(noise_dialog::kCancel); }
    void help();

    bool remove_enabled = false;
    int hum_hz = 60;

  private:
    std::function<int()> sample_;
};

// "NOISEREDUCTION": slider 1 .. 100 at 100 - r; the field shows r.
class NoiseReductionDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "NOISEREDUCTION"; }
    static constexpr const char* kCaption = "Reduce Noise In Waveform";
    void on_open() override;
    void move_slider(int position);
    void ok() { end_dialog(noise_dialog::kOk); }
    void cancel() { end_dialog(noise_dialog::kCancel); }
    void help();

    DialogSlider slider;
    std::string field; // "%d%"
};

// "NOISEGATE": slider 0 .. 100 at 100 - percentage; channel buttons for stereo only.
class NoiseGateDialog : public kel::DialogModel
{
  public:
    explicit NoiseGateDialog(int channels) : stereo(channels == 2) {}
    const char* template_name() const override { return "NOISEGATE"; }
    static constexpr const char* kCaption = "Noise Gate";
    void on_open() override;
    void move_slider(int position);
    void set_channels(int button);
    void ok() { end_dialog(noise_dialog::kOk); }
    void cancel() { end_dialog(noise_dialog::kCancel); }
    void help();

    const bool stereo;
    DialogSlider slider;
    std::string field;
    int checked = noise_dialog::kBoth;
};
