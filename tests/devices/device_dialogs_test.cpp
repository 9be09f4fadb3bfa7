// The system devices and sampler dialogs, reached through the command table: what they
// show of the virtual devices, and that the sampler's OK changes nothing.
#include "editor/commands/command_table.h"
#include "editor/devices/device_dialogs.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/wave_device.h"
#include "tests/support/test_env.h"

namespace wd = kel::wave_device;

class DeviceDialogsTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        wd::set_backend(wd::Backend::Virtual);
    }
    void TearDown() override
    {
        SamplerDialog::scsi_host_folder() = "/sys/class/scsi_host";
        wd::unset_backend();
        TestEnv::TearDown();
    }
};

TEST_F(DeviceDialogsTest, SystemDevicesDescribesEachDeviceInTheDialogsWords)
{
    std::vector<SystemDevicesDialog::WaveEntry> wave;
    std::vector<SystemDevicesDialog::MidiEntry> midi;
    ui.on_dialog("ShowSystemDevices", [&](kel::DialogModel& m) {
        auto& d = static_cast<SystemDevicesDialog&>(m);
        wave = d.wave();
        midi = d.midi();
        d.select_wave(1);
        d.select_wave(99); // not a device: the choice stays
        EXPECT_EQ(d.wave_selected(), 1);
        d.close();
    });
    CommandContext context;
    ASSERT_EQ(commands::run(cmd::kSystemDevices, context), 1);
    ASSERT_EQ(ui.dialogs_run, std::vector<std::string>{"ShowSystemDevices"});
    // The virtual output does every format with a volume per channel; its input line none.
    ASSERT_EQ(wave.size(), 2u);
    EXPECT_EQ(wave[0].name, "Virtual audio device");
    EXPECT_EQ(wave[0].channels, "  Stereo");
    EXPECT_EQ(wave[0].bits, "  16 bits");
    EXPECT_EQ(wave[0].rate, "  44.100 kHz");
    EXPECT_EQ(wave[0].version, " 1.0");
    EXPECT_EQ(wave[0].volume, " Volume - Yes");
    EXPECT_EQ(wave[0].lr_volume, " L and R Channels");
    EXPECT_EQ(wave[1].name, " Input (1)");
    EXPECT_EQ(wave[1].device, "Virtual audio input");
    EXPECT_EQ(wave[1].volume, " Volume - No");
    EXPECT_EQ(wave[1].lr_volume, "");
    // MIDI: the outputs (the mapper first), then the inputs.
    ASSERT_GE(midi.size(), 2u);
    EXPECT_EQ(midi[0].name, "MIDI Mapper");
    EXPECT_EQ(midi[0].type, " Microsoft Midi Mapper");
    bool virtual_input = false;
    for (const auto& e : midi)
        virtual_input |= e.name == "Virtual MIDI input" && e.type == " Unknown Input";
    EXPECT_TRUE(virtual_input);
}

TEST_F(DeviceDialogsTest, SamplerListsWhatIsThereAndItsOkChangesNothing)
{
    kel::paths::make_dirs(root + "scsi/host1");
    kel::paths::make_dirs(root + "scsi/host0");
    SamplerDialog::scsi_host_folder() = root + "scsi";
    const std::string profile_before = read_file(kel::profile::app_profile());
    std::vector<std::string> hosts, inputs;
    ui.on_dialog("EMUSAMPLER", [&](kel::DialogModel& m) {
        auto& d = static_cast<SamplerDialog&>(m);
        EXPECT_EQ(d.samplers(), std::vector<std::string>{"Amazing EMU-Systems Sampler"});
        hosts = d.scsi_hosts();
        inputs = d.midi_inputs();
        EXPECT_EQ(d.channel_text(), "1");
        d.set_channel(0);
        EXPECT_EQ(d.channel(), 1);
        d.set_channel(17);
        EXPECT_EQ(d.channel_text(), "16");
        d.help();
        d.ok();
    });
    CommandContext context;
    ASSERT_EQ(commands::run(cmd::kSampler, context), 1);
    EXPECT_EQ(hosts, (std::vector<std::string>{"host0", "host1"}));
    ASSERT_FALSE(inputs.empty());
    EXPECT_EQ(inputs[0], "Virtual MIDI input");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Sample transfer to and from samplers is not supported.");
    EXPECT_EQ(ui.boxes[0].caption, "Kelvara");
    ASSERT_EQ(ui.help.size(), 1u);
    EXPECT_EQ(ui.help[0], kel::paths::program_dir() + "Orlo.HLP#1042");
    // Nothing was written anywhere: the profile and the data directory are as they were.
    EXPECT_EQ(read_file(kel::profile::app_profile()), profile_before);
    EXPECT_EQ(working_file_count(), 0);
}
