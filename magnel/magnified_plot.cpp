// The magnified plot module's one call.
//
//   section --[ one page of frames ]--> per-channel values --[ scale ]--> points
//   page: up to width / 4 frames; fewer frames spread over the whole width
#include "magnel/magnified_plot.h"

#include <algorithm>
#include <cstdio>

namespace magnel {

MagnifiedPlotDialog::MagnifiedPlotDialog(const CChildFrame& doc, int time_format, int width_px,
                                         int channel_height_px)
    : doc_(doc), time_format_(time_format), width_(std::max(1, width_px)),
      channel_height_(std::max(2, channel_height_px)),
      channels_(std::max<int>(1, doc.wave_format.channels)), bits_(doc.wave_format.bits_per_sample)
{
    range_ = plotted_frames(doc_, width_);
    layout_ = page_layout(range_.frame_count, width_);
}

void MagnifiedPlotDialog::on_open()
{
    show_page(range_.first_frame);
}

void MagnifiedPlotDialog::show_page(long first_frame)
{
    readable_ = build_page(doc_, page_start(range_, layout_, first_frame), layout_, channel_height_,
                           time_format_, page_);
}

void MagnifiedPlotDialog::next_page()
{
    if (has_next())
        show_page(page_.first_frame + layout_.frames_per_page);
}

void MagnifiedPlotDialog::previous_page()
{
    if (has_previous())
        show_page(page_.first_frame - layout_.frames_per_page);
}

void MagnifiedPlotDialog::go_to(long frame_in_section)
{
    show_page(range_.first_frame + std::max(0L, frame_in_section));
}

bool MagnifiedPlotDialog::has_previous() const
{
    return page_.first_frame > range_.first_frame;
}

bool MagnifiedPlotDialog::has_next() const
{
    return page_.first_frame + layout_.frames_per_page < range_.first_frame + range_.frame_count;
}

std::string MagnifiedPlotDialog::caption() const
{
    return std::string("Magnified Image - ") + doc_.file_title;
}

std::string MagnifiedPlotDialog::start_text() const
{
    return "Start: " + page_.first_time;
}

std::string MagnifiedPlotDialog::frames_text() const
{
    char text[96];
    const long first = page_.first_frame - range_.first_frame;
    std::snprintf(text, sizeof text, "Frames %ld - %ld of %ld", first + 1,
                  first + page_.frame_count, range_.frame_count);
    return text;
}

std::string MagnifiedPlotDialog::channel_name(int channel) const
{
    if (channels_ == 1)
        return "Mono";
    return channel == 0 ? "Left" : "Right";
}

} // namespace magnel

int CChildFrame::display_magnified_plot(HWND main_frame, HWND child, int time_format)
{
    magnel::MagnifiedPlotDialog dialog(*this, time_format);
    if (dialog.range().frame_count <= 0) {
        kel::ui().beep();
        return 0;
    }
    kel::ui().run_modal(dialog);
    return 1;
}
