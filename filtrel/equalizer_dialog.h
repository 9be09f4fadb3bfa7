#pragma once
// "EQUALIZE" ("Four Channel Parametric Equalizer"): per band ("Channel 1" .. "Channel 4")
// an upside-down frequency, gain and width slider with its value field, the response
// graph, OK, Exit, Help and Save. It edits the module's bands in place.
#include "filtrel/dialog_slider.h"
#include "filtrel/equalizer_settings.h"
#include "platform/ui.h"

#include <string>
#include <utility>
#include <vector>

namespace equalize_dialog {
inline constexpr int kOk = 1;
inline constexpr int kExit = 372;
inline constexpr int kHelp = 1405;
inline constexpr int kSave = 367;
inline constexpr int kGraph = 383;
inline constexpr int kFrequencySlider[kEqualizerBands] = {328, 334, 340, 346};
inline constexpr int kGainSlider[kEqualizerBands] = {329, 335, 341, 347};
inline constexpr int kWidthSlider[kEqualizerBands] = {330, 336, 342, 348};
inline constexpr int kFrequencyField[kEqualizerBands] = {331, 337, 343, 349};
inline constexpr int kGainField[kEqualizerBands] = {332, 338, 344, 350};
inline constexpr int kWidthField[kEqualizerBands] = {333, 339, 345, 351};
inline constexpr const char* kHeadings = " Freq      Gain    Width";
} // namespace equalize_dialog

// The graph as numbers: what each band does (and all four together) in dB against
// 0 Hz .. rate/2, sampled at the elements of the 512-point spectrum the bands act on.
struct EqualizerCurve
{
    std::vector<std::pair<float, float>> points; // (Hz, dB)
    std::string label;                           // "Vol x " and the factor, "%4.1f"
    float centre_hz = 0.0f;
    bool active = false;
};

struct EqualizerGraph
{
    long sample_rate = 0;
    float decibel_range = 12.0f; // the top and bottom of the graph
    EqualizerCurve bands[kEqualizerBands];
    EqualizerCurve total;
    std::vector<std::pair<float, std::string>> level_lines; // (dB, "0 dB", "+6 dB", "-6 dB")
};

EqualizerGraph equalizer_graph(const EqualizerSettings& settings, long sample_rate);

class EqualizeDialog : public kel::DialogModel
{
  public:
    EqualizeDialog(EqualizerSettings& settings, long sample_rate, std::string ini_path);

    const char* template_name() const override { return "EQUALIZE"; }
    static constexpr const char* kCaption = "Four Channel Parametric Equalizer";
    static std::string band_title(int band); // "Channel 1" ..

    // Ranges and positions from the bands, the fields and the graph.
    void on_open() override;
    // A slider of any band moved to a position.
    void move_slider(int slider_id, int position);
    void ok() { end_dialog(equalize_dialog::kOk); }
    void exit() { end_dialog(2); }
    void help();
    // Puts the bands into "Equalize" and asks for a preset name; the dialog stays open.
    int save();

    DialogSlider* slider(int id);
    const EqualizerSettings& settings() const { return settings_; }
    long sample_rate() const { return sample_rate_; }

    DialogSlider frequency[kEqualizerBands];
    DialogSlider gain[kEqualizerBands];
    DialogSlider width[kEqualizerBands];
    std::string frequency_field[kEqualizerBands]; // "%d Hz"
    std::string gain_field[kEqualizerBands];      // "%4.1f dB", the gain the band applies
    std::string width_field[kEqualizerBands];     // "%d Hz"
    EqualizerGraph graph;

  private:
    void show_band(int band);

    EqualizerSettings& settings_;
    long sample_rate_;
    std::string ini_path_;
};
