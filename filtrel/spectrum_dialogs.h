#pragma once
// "SpectrumDisplay3D" (the waterfall, Play with its travelling marker, Browse) and
// "SpectrumDisplay2D" (one block, Next and Prev, log scale, magnify). The models keep the
// last picture and rebuild it only when a setting or the area's size changed.
#include "filtrel/dialog_slider.h"
#include "filtrel/spectrum_display.h"
#include "platform/ui.h"

#include <string>

class CChildFrame;

namespace spectrum_dialog {
inline constexpr int kCancel = 2;
inline constexpr int kHelp = 1405;
// 3D
inline constexpr int kGainSlider = 233;
inline constexpr int kGainField = 232;
inline constexpr int kSlicesSlider = 244;
inline constexpr int kSlicesField = 243;
inline constexpr int kLowSlider = 520;
inline constexpr int kLowField = 452;
inline constexpr int kHighSlider = 284;
inline constexpr int kHighField = 294;
inline constexpr int kUpdate = 237;
inline constexpr int kBrowse = 318;
inline constexpr int kPlay = 1039;
inline constexpr int kArea3D = 385;
inline constexpr int kContext3D = 1038;
// 2D
inline constexpr int kArea2D = 384;
inline constexpr int kLogScale = 320;
inline constexpr int kMagnify = 324;
inline constexpr int kNext = 321;
inline constexpr int kPrev = 322;
inline constexpr int kContext2D = 318;
} // namespace spectrum_dialog

class Spectrum3DDialog : public kel::DialogModel
{
  public:
    explicit Spectrum3DDialog(CChildFrame& doc) : doc_(doc) {}
    const char* template_name() const override { return "SpectrumDisplay3D"; }
    static constexpr const char* kCaption = "3D Frequency Spectrum Display";

    void on_open() override;
    // finished: the slider reports the end of a movement; only then is the picture redrawn.
    void move_slider(int slider_id, int position, bool finished);
    void update() { dirty_ = true; }
    // Starts playback of the section and the marker. 1 when playback started.
    int play(double now_ms);
    void browse();
    void cancel();
    void help();

    // The waterfall for an area of this size.
    const WaterfallPicture& picture(int width, int height);
    MarkerPosition marker(double now_ms) const;
    // Counts the rebuilds of the picture.
    int version() const { return version_; }

    DialogSlider gain, slices, low, high;
    std::string fields[4]; // gain, slices, low kHz, high kHz

  private:
    void show_fields();
    CChildFrame& doc_;
    WaterfallPicture picture_;
    bool dirty_ = true;
    int version_ = 0;
};

class Spectrum2DDialog : public kel::DialogModel
{
  public:
    explicit Spectrum2DDialog(CChildFrame& doc) : doc_(doc) {}
    const char* template_name() const override { return "SpectrumDisplay2D"; }
    static constexpr const char* kCaption = "2D Frequency Spectrum Display";

    void on_open() override;
    void move_gain(int position, bool finished);
    void toggle(int check_box);
    // One step of Next or Prev; false when it could not move.
    bool step(int button);
    void cancel();
    void help();

    const SpectrumPlot& plot(int width, int height);

    DialogSlider gain;
    std::string gain_field;

  private:
    CChildFrame& doc_;
    SpectrumPlot plot_;
    bool dirty_ = true;
};
