#pragma once
// "NEWFILTEROPTIONS" ("Filter Options"): type of filter, the four upside-down sliders with
// their value fields, and the response plot. It edits the Filter command's settings in
// place, as every effect's dialog keeps its values for the life of the module.
#include "filtrel/dialog_slider.h"
#include "filtrel/filter_response.h"
#include "filtrel/filter_settings.h"
#include "platform/ui.h"

#include <memory>
#include <string>

namespace filter_dialog {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kHelp = 1405;
inline constexpr int kSavePreset = 367;
inline constexpr int kSweepBox = 1001;
inline constexpr int kFrequencySlider = 244;
inline constexpr int kWidthSlider = 247;
inline constexpr int kStartSlider = 245;
inline constexpr int kStopSlider = 246;
inline constexpr int kFrequencyField = 232;
inline constexpr int kWidthField = 235;
inline constexpr int kStartField = 233;
inline constexpr int kStopField = 234;
inline constexpr int kPlot = 1004;
inline constexpr int kHelpContext = 11509;
} // namespace filter_dialog

class FilterOptionsDialog : public kel::DialogModel
{
  public:
    // ini_path: the module's "KVSFILTR.INI", where Save puts the values.
    FilterOptionsDialog(FilterSettings& settings, long sample_rate, int channels,
                        std::string ini_path);

    const char* template_name() const override { return "NEWFILTEROPTIONS"; }
    static constexpr const char* kCaption = "Filter Options";

    // Ranges and positions, the check box and the enabled sliders. Without the plot table
    // (message 5002) the dialog ends at once with Cancel.
    void on_open() override;
    // The step the dialog repeats after it appears and after every repaint: the radio
    // button of the type, its texts, the four values and the plot.
    void show_values();

    void choose_type(int radio_id); // 275 .. 279
    void toggle_sweep();            // check box 1001
    void move_slider(int slider_id, int position);
    void ok();
    void cancel();
    void help();
    void save_preset();

    bool shown() const { return shown_; }
    const FilterSettings& settings() const { return settings_; }
    long sample_rate() const { return sample_rate_; }

    DialogSlider frequency{filter_dialog::kFrequencySlider};
    DialogSlider width{filter_dialog::kWidthSlider};
    DialogSlider sweep_start{filter_dialog::kStartSlider};
    DialogSlider sweep_stop{filter_dialog::kStopSlider};
    int checked_radio = 0; // the id the type checks; none of 275 .. 279 when it is 1001
    bool sweep_checked = false;
    std::string frequency_field; // 232, kHz "%5.2f"
    std::string width_field;     // 235, Hz "%5.2f"
    std::string start_field;     // 233
    std::string stop_field;      // 234
    ResponsePlot plot;

    DialogSlider* slider(int id);

  private:
    void show_fields();
    void redraw_plot();
    void free_table();

    FilterSettings& settings_;
    long sample_rate_;
    int channels_;
    std::string ini_path_;
    std::unique_ptr<float[]> table_;
    bool shown_ = false;
};
