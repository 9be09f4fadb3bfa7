#pragma once
// "Spatial Localization" (template "SPATIALLOCALIZATION"): the type of localization, the
// delay (an upside-down slider), the back-and-forth rate, the in-between position (a
// horizontal fader, left at its left end) and the two inversions.
#include "effra/spatial.h"
#include "platform/ui.h"

#include <string>

namespace effra {

class SpatialDialog : public kel::DialogModel
{
  public:
    static constexpr int kFarRight = 247;
    static constexpr int kFarLeft = 246;
    static constexpr int kInBetween = 1880;
    static constexpr int kPanLeftToRight = 220;
    static constexpr int kPanRightToLeft = 236;
    static constexpr int kBackAndForth = 515;
    static constexpr int kDelaySlider = 289;
    static constexpr int kDelayText = 390;
    static constexpr int kRateField = 521;
    static constexpr int kRateSpin = 293;
    static constexpr int kPositionFader = 517;
    static constexpr int kInvertLeft = 532;
    static constexpr int kInvertRight = 1871;
    static constexpr int kHelp = 1405;

    explicit SpatialDialog(SpatialSettings& settings) : settings_(settings) {}

    const char* template_name() const override { return "SPATIALLOCALIZATION"; }
    const char* caption() const { return "Spatial Localization"; }
    void on_open() override;

    // The radio buttons, in the dialog's order.
    static constexpr int kTypeButtons[] = {kFarRight,       kFarLeft,        kInBetween,
                                           kPanLeftToRight, kPanRightToLeft, kBackAndForth};
    void type_button(int control_id);
    int checked_type_button() const;

    // Delay slider 1 to 100 ms, top = largest: position = 101 - value.
    int delay_position() const { return 101 - settings_.delay_ms; }
    void delay_moved(int position);
    int delay_ms() const { return settings_.delay_ms; }
    std::string delay_text() const;

    // Spin 1 to 100, tenths of a hertz ("(10xHz)").
    void set_rate(int tenths);
    int rate() const { return settings_.rate_tenths; }

    // Fader 0 to 200: position = 100 - value, so its left end is the left side.
    int fader_position() const { return 100 - settings_.position; }
    void fader_moved(int position);
    int position() const { return settings_.position; }

    void toggle_invert_left();
    void toggle_invert_right();
    bool invert_left() const { return settings_.invert_left != 0; }
    bool invert_right() const { return settings_.invert_right != 0; }

    void help();
    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }

  private:
    SpatialSettings& settings_;
};

} // namespace effra
