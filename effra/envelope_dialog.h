#pragma once
// "Draw Desired Waveform Envelope With Mouse" (template "DRAWENVELOPE"): the gain curve is
// drawn with the left button held over the outline of the selection, gain 0 at the bottom,
// 1 at half height and 2 at the top; Clear, the channel mode, Help, OK and Cancel.
#include "effra/gain_envelope.h"
#include "effra/selection_outline.h"
#include "platform/ui.h"

namespace effra {

class EnvelopeDialog : public kel::DialogModel
{
  public:
    static constexpr int kCanvas = 382;
    static constexpr int kClear = 4003;
    static constexpr int kBoth = 245;
    static constexpr int kLeft = 246;
    static constexpr int kRight = 247;
    static constexpr int kHelp = 1405;

    // Works on the module's settings directly.
    EnvelopeDialog(GainSettings& settings, int channels, std::vector<OutlineColumn> outline = {});

    const char* template_name() const override { return "DRAWENVELOPE"; }
    const char* caption() const { return "Draw Desired Waveform Envelope With Mouse"; }
    // The curve starts level at gain 1 every time.
    void on_open() override;

    static EnvelopeArea area() { return envelope_area(); }
    // Pointer positions are in pixels of the drawing control.
    bool inside_area(int x, int y) const;
    void press(int x, int y);
    void drag(int x, int y);
    void release() { drawing_ = false; }
    bool drawing() const { return drawing_; }

    const std::vector<int>& curve() const { return settings_.curve; }
    const std::vector<OutlineColumn>& outline() const { return outline_; }
    double gain_at_column(int column) const;

    void clear();
    bool channel_buttons_enabled() const { return channels_ == 2; }
    void channel_button(int control_id);
    int checked_channel_button() const;
    int channel_mode() const { return settings_.channel_mode; }
    void help();
    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }

  private:
    void set_point(int x, int y);

    GainSettings& settings_;
    int channels_;
    std::vector<OutlineColumn> outline_;
    bool drawing_ = false;
    int last_column_ = -1;
};

} // namespace effra
