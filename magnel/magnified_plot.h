#pragma once
// The magnified image of the highlighted section: a modal window ("MAGNIFIEDPLOT") that
// pages through the section, one trace per channel, each sample a point of its own.
#include "magnel/plot_sampling.h"
#include "platform/ui.h"

#include <string>

namespace magnel {

class MagnifiedPlotDialog : public kel::DialogModel
{
  public:
    MagnifiedPlotDialog(const CChildFrame& doc, int time_format, int width_px = kPlotWidth,
                        int channel_height_px = kChannelHeight);
    const char* template_name() const override { return "MAGNIFIEDPLOT"; }
    // Shows the first page of the section.
    void on_open() override;
    void next_page();
    void previous_page();
    // The page that holds this frame of the section (0 is its first frame).
    void go_to(long frame_in_section);
    void close() { end_dialog(kel::kIdOk); }

    bool has_previous() const;
    bool has_next() const;
    const PlotPage& page() const { return page_; }
    const FrameRange& range() const { return range_; }
    const PageLayout& layout() const { return layout_; }
    int channels() const { return channels_; }
    int bits() const { return bits_; }
    int width() const { return width_; }
    int channel_height() const { return channel_height_; }
    // Whether the frames of the page could be read.
    bool readable() const { return readable_; }

    std::string caption() const;     // "Magnified Image - NAME.WAV"
    std::string start_text() const;  // "Start: " and the first sample's time
    std::string frames_text() const; // "Frames 1 - 160 of 4410"
    std::string channel_name(int channel) const;

  private:
    void show_page(long first_frame);

    const CChildFrame& doc_;
    int time_format_;
    int width_;
    int channel_height_;
    int channels_;
    int bits_;
    FrameRange range_;
    PageLayout layout_;
    PlotPage page_;
    bool readable_ = false;
};

} // namespace magnel
