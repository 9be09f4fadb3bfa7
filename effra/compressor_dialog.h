#pragma once
// "Compress / Expand Waveform" (template "CONTROLPOINTSENVELOPE"): control points on the
// input-to-output graph, clicked in and dragged with the mouse, the attack, Clear, Save,
// Help, OK and Cancel. OK builds the transfer table.
#include "effra/gain_envelope.h"
#include "platform/ui.h"

#include <string>

namespace effra {

class CompressorDialog : public kel::DialogModel
{
  public:
    static constexpr int kGraph = 4000;
    static constexpr int kLevels = 4001;
    static constexpr int kRatio = 4002;
    static constexpr int kClear = 4003;
    static constexpr int kAttackSpin = 1885;
    static constexpr int kAttackField = 1890;
    static constexpr int kSave = 367;
    static constexpr int kHelp = 1405;
    static constexpr int kAttackMin = 1;
    static constexpr int kAttackMax = 100;

    // Works on the module's settings directly; limit is N of the document's sample size.
    CompressorDialog(GainSettings& settings, int limit);

    const char* template_name() const override { return "CONTROLPOINTSENVELOPE"; }
    const char* caption() const { return "Compress / Expand Waveform"; }
    void on_open() override;

    static int graph_width() { return kGraphWidth; }
    static int graph_height() { return kGraphHeight; }

    // Left button down at a pixel of the graph: picks a point within 4 pixels or makes a
    // new one (at most 29). Clicks within 3 pixels of the top or bottom edge do nothing.
    void press(int x, int y);
    // The mouse moved with the left button held: the picked point follows, between its
    // neighbours in x; the two corner points keep their x.
    void drag(int x, int y);
    int selected() const { return selected_; }
    const std::vector<GraphPoint>& points() const { return settings_.points; }
    // The points in x order, as the curve joins them.
    std::vector<GraphPoint> curve_points() const;

    // Read-outs of the picked point, blank when none is picked.
    std::string levels_text() const; // "%5.1f dB -> %5.1f dB"
    std::string ratio_text() const;  // "%4.1f:1 Compress" or "1:%4.1f Expand"
    // The graph's level scale of the read-outs and the axis labels, -50 to 0 dB.
    static double input_db(int x);
    static double output_db(int y);

    int attack() const { return settings_.attack; }
    void set_attack(int attack);

    void clear();
    // Puts attack and points into the "Compressor" section and asks for a preset name; the
    // dialog stays open. Returns the save dialog's result.
    int save();
    void help();
    void ok();
    void cancel() { end_dialog(kel::kIdCancel); }

    int limit() const { return limit_; }

  private:
    GainSettings& settings_;
    int limit_;
    int selected_ = -1;
};

} // namespace effra
