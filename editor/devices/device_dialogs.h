#pragma once
// The two small device dialogs: "ShowSystemDevices" shows what the sound and MIDI
// devices of the machine can do; "EMUSAMPLER" offers sampler communication, which this
// build does not carry out.
#include "platform/ui.h"

#include <string>
#include <vector>

// "System Hardware Sound Devices": combo 401 the wave devices (outputs by name, then
// the input lines), combo 394 the MIDI devices (outputs, then inputs).
class SystemDevicesDialog : public kel::DialogModel
{
  public:
    enum Control { kWaveCombo = 401, kMidiCombo = 394 };
    struct WaveEntry
    {
        std::string name;      // an output's name, or " Input (%d)" and its kin
        std::string device;    // the device's own name
        std::string channels;  // "  Stereo" / "  Mono"
        std::string bits;      // "  16 bits" / "  8 bits"
        std::string rate;      // "  44.100 kHz" / "  22.050 kHz" / "  11.0250 kHz"
        std::string version;   // " %d.%d"
        std::string volume;    // " Volume - Yes" / " Volume - No"
        std::string lr_volume; // " L and R Channels" when each channel has its own, else ""
    };
    struct MidiEntry
    {
        std::string name;
        std::string type; // " Hardware Midi Port", ..., " Unknown Input"
    };

    const char* template_name() const override { return "ShowSystemDevices"; }
    // Asks the devices.
    void on_open() override;

    const std::vector<WaveEntry>& wave() const { return wave_; }
    const std::vector<MidiEntry>& midi() const { return midi_; }
    int wave_selected() const { return wave_selected_; }
    int midi_selected() const { return midi_selected_; }
    void select_wave(int index);
    void select_midi(int index);
    void close() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }

  private:
    std::vector<WaveEntry> wave_;
    std::vector<MidiEntry> midi_;
    int wave_selected_ = 0;
    int midi_selected_ = 0;
};

// "Communicate With Sampler": where a sample would come from (combo 1002, "SCSI Host",
// "SCSI Samples") and go to (combo 1003, "MIDI In", "MIDI Out", channel 260 with spin
// 231). OK says the transfer is not supported and changes nothing; the dialog then
// ends as Cancel.
class SamplerDialog : public kel::DialogModel
{
  public:
    enum Control {
        kGetFrom = 1002,
        kSendTo = 1003,
        kChannelEdit = 260,
        kChannelSpin = 231,
        kHelp = 1405,
    };
    const char* template_name() const override { return "EMUSAMPLER"; }
    void on_open() override;

    const std::vector<std::string>& samplers() const { return samplers_; }
    const std::vector<std::string>& scsi_hosts() const { return scsi_hosts_; }
    const std::vector<std::string>& scsi_samples() const { return scsi_samples_; }
    const std::vector<std::string>& midi_inputs() const { return midi_inputs_; }
    const std::vector<std::string>& midi_outputs() const { return midi_outputs_; }

    int channel() const { return channel_; }
    // The spin's position, 1 .. 16.
    void set_channel(int channel);
    std::string channel_text() const;

    void ok();
    void cancel() { end_dialog(kel::kIdCancel); }
    void help();

    // Where the SCSI hosts are listed (tests point it elsewhere).
    static std::string& scsi_host_folder();

  private:
    std::vector<std::string> samplers_;
    std::vector<std::string> scsi_hosts_;
    std::vector<std::string> scsi_samples_;
    std::vector<std::string> midi_inputs_;
    std::vector<std::string> midi_outputs_;
    int channel_ = 1;
};

// The Options menu's commands: run the dialogs. 1 when the dialog was shown.
int show_system_devices();
int communicate_with_sampler();
