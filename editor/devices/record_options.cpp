// The record dialog's two small dialogs, SAMPLE and AUTOSTOP, and the metronome's click.
#include "common/host_services.h"
#include "editor/devices/record.h"
#include "platform/paths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

void help(long context)
{
    kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", context);
}

} // namespace

void SampleDialog::on_open()
{
    const RecordSettings& s = record_settings();
    threshold_percent = std::clamp(static_cast<int>(std::lround(s.threshold * 100.0)), 0, 100);
    duration_seconds = std::clamp(s.auto_stop_seconds, 0, 100);
    continuous = s.continuous;
}

void SampleDialog::set_slider(int id, int position)
{
    const int value = 100 - std::clamp(position, 0, 100);
    if (id == kThresholdSlider)
        threshold_percent = value;
    else if (id == kDurationSlider && !continuous)
        duration_seconds = value;
}

int SampleDialog::slider(int id) const
{
    return 100 - (id == kThresholdSlider ? threshold_percent : duration_seconds);
}

void SampleDialog::click(int control)
{
    switch (control) {
    case kContinuous:
        continuous = !continuous;
        break;
    case kHelp:
        help(448);
        break;
    case kel::kIdOk: {
        RecordSettings& s = record_settings();
        s.threshold = threshold_percent / 100.0;
        s.auto_stop_seconds = duration_seconds;
        s.continuous = continuous;
        end_dialog(kel::kIdOk);
        break;
    }
    case kel::kIdCancel:
        end_dialog(kel::kIdCancel);
        break;
    default:
        break;
    }
}

void AutoStopDialog::on_open()
{
    seconds = std::clamp(record_settings().auto_stop_seconds, 0, 100);
}

void AutoStopDialog::set_slider(int position)
{
    seconds = 100 - std::clamp(position, 0, 100);
}

std::string AutoStopDialog::value_text() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", seconds);
    return text;
}

void AutoStopDialog::click(int control)
{
    switch (control) {
    case kHelp:
        help(392);
        break;
    case kel::kIdOk:
        record_settings().auto_stop_seconds = seconds;
        end_dialog(kel::kIdOk);
        break;
    case kel::kIdCancel:
        end_dialog(kel::kIdCancel);
        break;
    default:
        break;
    }
}

kel::wave_device::Format metronome_click_format()
{
    kel::wave_device::Format f;
    f.channels = 1;
    f.bits_per_sample = 16;
    f.sample_rate = 22050;
    f.block_align = 2;
    f.avg_bytes_per_sec = 44100;
    return f;
}

// 25 ms of a 1500 Hz tone whose level falls by 60 dB over the click: short enough not to
// blur the beat, long enough to be heard over what is being played in.
const std::string& metronome_click()
{
    static const std::string click = [] {
        const int rate = 22050;
        const int frames = rate / 40;
        std::string bytes(static_cast<size_t>(frames) * 2, '\0');
        for (int i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            const double envelope = std::pow(10.0, -3.0 * i / frames);
            const double v = 0.7 * envelope * std::sin(2.0 * M_PI * 1500.0 * t);
            const auto w = static_cast<int16_t>(std::lround(v * 32767.0));
            bytes[2 * static_cast<size_t>(i)] = static_cast<char>(w & 0xFF);
            bytes[2 * static_cast<size_t>(i) + 1] = static_cast<char>((w >> 8) & 0xFF);
        }
        return bytes;
    }();
    return click;
}
