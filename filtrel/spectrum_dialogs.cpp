// The spectrum command (1038) and its two displays.
//
//   show_3D_spectrum --> SpectrumDisplay3D --Browse--> SpectrumDisplay2D --Cancel--> 3D again
//                                          --Cancel--> done
#include "filtrel/spectrum_dialogs.h"

#include "common/child_frame.h"
#include "common/host_services.h"

#include <algorithm>
#include <cstdio>

using namespace spectrum_dialog;

namespace {

std::string khz(int hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%3.1f", hz / 1000.0);
    return text;
}

int half_rate()
{
    return static_cast<int>(std::max(0L, g_spectrum_section.rate / 2));
}

} // namespace

void Spectrum3DDialog::on_open()
{
    g_spectrum.gain = std::clamp(g_spectrum.gain, 0, 10);
    g_spectrum.slices = std::clamp(g_spectrum.slices, 4, 64);
    clamp_band(g_spectrum_section.rate, g_spectrum.low_hz, g_spectrum.high_hz);
    gain = {kGainSlider};
    gain.set_range(0, 10);
    gain.set_value(g_spectrum.gain);
    slices = {kSlicesSlider};
    slices.set_range(4, 64);
    slices.set_value(g_spectrum.slices);
    low = {kLowSlider};
    low.set_range(0, half_rate());
    low.set_value(g_spectrum.low_hz);
    high = {kHighSlider};
    high.set_range(0, half_rate());
    high.set_value(g_spectrum.high_hz);
    show_fields();
    dirty_ = true;
}

void Spectrum3DDialog::move_slider(int id, int position, bool finished)
{
    const int half = half_rate();
    if (id == kGainSlider) {
        gain.move_to(position);
        g_spectrum.gain = gain.value();
    } else if (id == kSlicesSlider) {
        slices.move_to(position);
        g_spectrum.slices = slices.value();
    } else if (id == kLowSlider) {
        low.move_to(position);
        g_spectrum.low_hz = std::max(0, std::min(half - low.position, g_spectrum.high_hz - 1000));
        low.set_value(g_spectrum.low_hz);
        dirty_ = true;
    } else if (id == kHighSlider) {
        high.move_to(position);
        g_spectrum.high_hz =
            std::min(half, std::max(half - high.position, g_spectrum.low_hz + 1000));
        high.set_value(g_spectrum.high_hz);
        dirty_ = true;
    } else {
        return;
    }
    if (finished)
        dirty_ = true;
    show_fields();
}

void Spectrum3DDialog::show_fields()
{
    fields[0] = std::to_string(g_spectrum.gain);
    fields[1] = std::to_string(g_spectrum.slices);
    fields[2] = khz(g_spectrum.low_hz);
    fields[3] = khz(g_spectrum.high_hz);
}

int Spectrum3DDialog::play(double now_ms)
{
    stop_3D_sprite_timer();
    if (doc_.play_the_wavefile() != 1)
        return 0;
    start_3D_sprite_timer(now_ms);
    return 1;
}

void Spectrum3DDialog::browse()
{
    stop_3D_sprite_timer();
    shitcan_pSaveBuffer();
    end_dialog(kBrowse);
}

void Spectrum3DDialog::cancel()
{
    stop_3D_sprite_timer();
    shitcan_pSaveBuffer();
    end_dialog(kCancel);
}

void Spectrum3DDialog::help()
{
    new_show_context_help(nullptr, kContext3D);
}

const WaterfallPicture& Spectrum3DDialog::picture(int width, int height)
{
    if (dirty_ || width != picture_.width || height != picture_.height) {
        picture_.width = width;
        picture_.height = height;
        doc_.display_3D_spectrum(picture_);
        dirty_ = false;
        ++version_;
    }
    return picture_;
}

MarkerPosition Spectrum3DDialog::marker(double now_ms) const
{
    if (!sprite_timer_running())
        return {};
    return marker_at(picture_, now_ms - sprite_timer_start_ms(), g_spectrum_section.play_ms);
}

void Spectrum2DDialog::on_open()
{
    gain = {kGainSlider};
    gain.set_range(0, 10);
    gain.set_value(std::clamp(g_spectrum.gain, 0, 10));
    gain_field = std::to_string(gain.value());
    g_spectrum.position_2d = 0;
    dirty_ = true;
}

void Spectrum2DDialog::move_gain(int position, bool finished)
{
    gain.move_to(position);
    g_spectrum.gain = gain.value();
    gain_field = std::to_string(gain.value());
    if (finished)
        dirty_ = true;
}

void Spectrum2DDialog::toggle(int check_box)
{
    if (check_box == kLogScale)
        toggle_parameter(&g_spectrum.log_scale);
    else if (check_box == kMagnify)
        toggle_parameter(&g_spectrum.x_magnify);
    else
        return;
    dirty_ = true;
}

bool Spectrum2DDialog::step(int button)
{
    const bool moved = button == kNext ? step_2d_next() : button == kPrev && step_2d_prev();
    if (moved)
        dirty_ = true;
    return moved;
}

void Spectrum2DDialog::cancel()
{
    shitcan_pSaveBuffer();
    g_spectrum.log_scale = 0;
    end_dialog(kCancel);
}

void Spectrum2DDialog::help()
{
    new_show_context_help(nullptr, kContext2D);
}

const SpectrumPlot& Spectrum2DDialog::plot(int width, int height)
{
    if (dirty_ || width != plot_.width || height != plot_.height) {
        plot_.width = width;
        plot_.height = height;
        doc_.display_2D_spectrum(plot_);
        dirty_ = false;
    }
    return plot_;
}

int CChildFrame::show_3D_spectrum(HWND window)
{
    owner_window = window;
    compute_spectrum_section(*this);
    if (!fft_allocate(kSpectrumFrames, kFftForSpectrumDisplay)) {
        fft_release();
        return 0;
    }
    for (;;) {
        Spectrum3DDialog three(*this);
        const int code = kel::ui().run_modal(three);
        stop_3D_sprite_timer();
        if (code != kBrowse)
            break;
        Spectrum2DDialog two(*this);
        kel::ui().run_modal(two);
        g_spectrum.log_scale = 0;
    }
    shitcan_pSaveBuffer();
    fft_release();
    return 1;
}
