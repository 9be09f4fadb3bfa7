// The system devices and sampler dialogs: what the wave and MIDI devices report, in the
// dialog's own words.
#include "editor/devices/device_dialogs.h"

#include "editor/commands/command_ids.h"
#include "platform/midi_devices.h"
#include "platform/paths.h"
#include "platform/wave_device.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <dirent.h>

namespace {

namespace wd = kel::wave_device;

std::string version_text(uint16_t version)
{
    char text[24];
    std::snprintf(text, sizeof text, " %d.%d", version >> 8, version & 0xFF);
    return text;
}

bool has_word(const std::string& name, const char* word)
{
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string w = word;
    for (size_t at = lower.find(w); at != std::string::npos; at = lower.find(w, at + 1)) {
        const bool starts = at == 0 || !std::isalnum(static_cast<unsigned char>(lower[at - 1]));
        const size_t end = at + w.size();
        const bool ends =
            end == lower.size() || !std::isalnum(static_cast<unsigned char>(lower[end]));
        if (starts && ends)
            return true;
    }
    return false;
}

SystemDevicesDialog::WaveEntry wave_entry(const wd::Caps& caps)
{
    using namespace wd;
    SystemDevicesDialog::WaveEntry e;
    e.name = caps.name;
    e.device = caps.name;
    e.channels = caps_stereo(caps) ? "  Stereo" : "  Mono";
    e.bits = caps_bits(caps) == 16 ? "  16 bits" : "  8 bits";
    e.rate = std::string("  ") + caps_rate_text(caps);
    e.version = version_text(caps.driver_version);
    e.volume = caps.support & kSupportVolume ? " Volume - Yes" : " Volume - No";
    if (caps.support & kSupportLrVolume)
        e.lr_volume = " L and R Channels";
    return e;
}

std::string type_text(uint16_t technology)
{
    switch (technology) {
    case kel::midi_devices::kMidiPort:
        return " Hardware Midi Port";
    case kel::midi_devices::kSquareWaveSynth:
        return " Square wave synthesizer";
    case kel::midi_devices::kFmSynth:
        return " FM synthesizer";
    case kel::midi_devices::kMapper:
        return " Microsoft Midi Mapper";
    default:
        return " Unknown Input";
    }
}

std::vector<std::string> names(const std::vector<kel::midi_devices::MidiCaps>& list)
{
    std::vector<std::string> out;
    for (const auto& c : list)
        out.push_back(c.name);
    return out;
}

} // namespace

// ---- System devices ----

void SystemDevicesDialog::on_open()
{
    wave_.clear();
    midi_.clear();
    for (int i = 0, n = wd::out_device_count(); i < n; ++i) {
        wd::Caps caps;
        // A device that does not answer keeps its line, so numbers stay the device's.
        if (wd::out_caps(i, caps) != wd::kOk)
            caps = wd::Caps{"Device " + std::to_string(i), 0, 0, 0, 0};
        wave_.push_back(wave_entry(caps));
    }
    for (int i = 0, n = wd::in_device_count(); i < n; ++i) {
        wd::Caps caps;
        if (wd::in_caps(i, caps) != wd::kOk)
            caps = wd::Caps{"Device " + std::to_string(i), 0, 0, 0, 0};
        WaveEntry e = wave_entry(caps);
        if (has_word(caps.name, "cd"))
            e.name = " CD ROM Input";
        else if (has_word(caps.name, "aux") || has_word(caps.name, "line"))
            e.name = " Aux line Input";
        else {
            char text[32];
            std::snprintf(text, sizeof text, " Input (%d)", i + 1);
            e.name = text;
        }
        wave_.push_back(e);
    }
    for (const auto& c : kel::midi_devices::outputs())
        midi_.push_back({c.name, type_text(c.technology)});
    for (const auto& c : kel::midi_devices::inputs())
        midi_.push_back({c.name, type_text(0)});
    wave_selected_ = 0;
    midi_selected_ = 0;
}

void SystemDevicesDialog::select_wave(int index)
{
    if (index >= 0 && index < static_cast<int>(wave_.size()))
        wave_selected_ = index;
}

void SystemDevicesDialog::select_midi(int index)
{
    if (index >= 0 && index < static_cast<int>(midi_.size()))
        midi_selected_ = index;
}

// ---- Sampler ----

std::string& SamplerDialog::scsi_host_folder()
{
    static std::string folder = "/sys/class/scsi_host";
    return folder;
}

void SamplerDialog::on_open()
{
    samplers_ = {"Amazing EMU-Systems Sampler"};
    scsi_hosts_.clear();
    if (DIR* d = opendir(scsi_host_folder().c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                scsi_hosts_.push_back(e->d_name);
        closedir(d);
    }
    std::sort(scsi_hosts_.begin(), scsi_hosts_.end());
    // Samples would be listed by a sampler that answered; none is asked.
    scsi_samples_.clear();
    midi_inputs_ = names(kel::midi_devices::inputs());
    midi_outputs_ = names(kel::midi_devices::outputs());
    channel_ = 1;
}

void SamplerDialog::set_channel(int channel)
{
    channel_ = std::clamp(channel, 1, 16);
}

std::string SamplerDialog::channel_text() const
{
    return std::to_string(channel_);
}

void SamplerDialog::ok()
{
    kel::ui().message_box("Sample transfer to and from samplers is not supported.", "Kelvara",
                          kel::Buttons::Ok, kel::Icon::Information);
    end_dialog(kel::kIdCancel);
}

void SamplerDialog::help()
{
    kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", cmd::kSampler);
}

int show_system_devices()
{
    SystemDevicesDialog dialog;
    kel::ui().run_modal(dialog);
    return 1;
}

int communicate_with_sampler()
{
    SamplerDialog dialog;
    kel::ui().run_modal(dialog);
    return 1;
}
