#include "common/host_services.h"
#include "editor/files/file_commands.h"
#include "editor/files/file_types.h"
#include "editor/files/outside_program.h"
#include "platform/clock.h"
#include "tests/support/edit_fixture.h"

#include <cstdlib>
#include <sys/stat.h>

class FileCommandsTest : public EditTest
{
  protected:
    // Puts our stand-in programs into the test's program directory.
    void install_tools()
    {
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        ASSERT_NE(t, nullptr);
        for (const char* name : {"nvacnvrt", "waveconv", "bladeenc"}) {
            std::string cmd =
                std::string("ln -sf '") + t + "/" + name + "' '" + program + name + "'";
            ASSERT_EQ(std::system(cmd.c_str()), 0);
        }
    }
    bool sox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }
    int sh(const std::string& cmd) { return std::system(("cd " + root + " && " + cmd).c_str()); }
    bool exists(const std::string& p)
    {
        struct stat st
        {
        };
        return stat(p.c_str(), &st) == 0;
    }
};

TEST_F(FileCommandsTest, TypeCodesByExtensionWithoutCase)
{
    EXPECT_EQ(file_type_code("song.WAV"), 0);
    EXPECT_EQ(file_type_code("SONG.wav"), 0);
    EXPECT_EQ(file_type_code("/a.b/take.Au"), 3);
    EXPECT_EQ(file_type_code("x.8SV"), 1);
    EXPECT_EQ(file_type_code("x.aiff"), 2);
    EXPECT_EQ(file_type_code("x.voc"), 15);
    EXPECT_EQ(file_type_code("x.avi"), 16);
    EXPECT_EQ(file_type_code("x.rm"), 17);
    EXPECT_EQ(file_type_code("x.mp3"), 18);
    EXPECT_EQ(file_type_code("x.ocw"), 19);
    EXPECT_EQ(file_type_code("x.flac"), 20);
    EXPECT_EQ(file_type_code("/dir.wav/noext"), 20);
    EXPECT_EQ(file_type_pattern(2), "*.aif");
    EXPECT_EQ(std::string(type_name_for_extension("SMP")), "Sample Vision /Turtle Beach");
    const std::string open = open_dialog_filter();
    EXPECT_EQ(open.find("MPEG3"), std::string::npos) << "mp3 is save only";
    EXPECT_NE(open.find("OCW files (*.ocw)|*.ocw|All Files (*.*)|*.*"), std::string::npos);
    EXPECT_NE(save_dialog_filter().find("MPEG3 files (*.mp3)|*.mp3"), std::string::npos);
}

TEST_F(FileCommandsTest, ImportsConvertInTheRunFolderNotBesideTheInput)
{
    write_file(path("SONG.WAV"), "master");
    const std::string name = import_name_for(path("SONG.AU"));
    EXPECT_EQ(name, run_directory() + "SONG.WAV");
    EXPECT_EQ(read_file(path("SONG.WAV")), "master");
}

TEST_F(FileCommandsTest, SavingTheHighlightedSectionWritesOnlyItAndChangesNothing)
{
    auto words = noise16(4000, 8);
    CChildFrame* doc = open_doc(pcm16(words), 2, 16, 22050);
    ASSERT_TRUE(doc);
    doc->is_modified = 1;
    select(doc, 1000, 3000);
    const std::string before = contents(doc);
    ASSERT_EQ(save_wave_file(*doc, path("part.wav"), true, save_format_of(*doc)), 1);
    ASSERT_EQ(ReadInputWaveformHeader(path("part.wav").c_str(), 0), 1);
    EXPECT_EQ(data_size, 2000u * 2);
    EXPECT_EQ(read_file(path("part.wav")).substr(44), pcm16(words).substr(2000, 4000));
    EXPECT_EQ(contents(doc), before);
    EXPECT_EQ(doc->is_modified, 1) << "a section saved elsewhere does not save the document";
    ASSERT_EQ(save_wave_file(*doc, path("all.wav"), false, save_format_of(*doc)), 1);
    EXPECT_EQ(doc->is_modified, 0);
}

TEST_F(FileCommandsTest, EightBitFromSixteenKeepsTheHighByte)
{
    if (!sox())
        GTEST_SKIP();
    std::vector<int16_t> words = {0x1234, -0x1234, 32767, -32768, 0x00FF, -1};
    CChildFrame* doc = open_doc(pcm16(words), 1, 16, 11025);
    ASSERT_TRUE(doc);
    ASSERT_EQ(save_wave_file(*doc, path("e.wav"), false, SaveFormat{1, 8, 11025}), 1);
    ASSERT_EQ(sh("sox e.wav -t raw -e unsigned -b 8 e.raw"), 0);
    const std::string got = read_file(path("e.raw"));
    ASSERT_EQ(got.size(), words.size());
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(static_cast<uint8_t>(got[i]), static_cast<uint8_t>((words[i] >> 8) + 128)) << i;
}

TEST_F(FileCommandsTest, ACancelledSaveLeavesTheEarlierFileAlone)
{
    CChildFrame* doc = open_doc(pcm16(noise16(400000, 2)), 2, 16, 44100);
    ASSERT_TRUE(doc);
    write_file(path("keep.wav"), "precious");
    ui.cancel_after_polls(3);
    EXPECT_EQ(save_wave_file(*doc, path("keep.wav"), false, save_format_of(*doc)), 0);
    EXPECT_EQ(read_file(path("keep.wav")), "precious");
    EXPECT_FALSE(exists(path("keep.wav.part")));
    // Writing into a folder that is not there says so, and why.
    ui.boxes.clear();
    EXPECT_EQ(save_wave_file(*doc, path("nodir/x.wav"), false, save_format_of(*doc)), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Cannot open WAVE file.\nThe folder does not exist.");
}

TEST_F(FileCommandsTest, NewDocumentsGoThroughSaveAs)
{
    CChildFrame* doc = open_doc(pcm16(noise16(100, 3)), 1, 16, 22050, "Take.wav");
    ASSERT_TRUE(doc);
    ASSERT_EQ(sh("mkdir -p out"), 0);
    std::snprintf(doc->file_title, sizeof doc->file_title, "SAMPLE3.WAV");
    ui.on_dialog("SAVEWAVEFORM", [&](kel::DialogModel& m) {
        auto& d = dynamic_cast<SaveAsDialog&>(m);
        EXPECT_EQ(d.title, "Save Waveform To Disk");
        EXPECT_EQ(d.bits, 16);
        EXPECT_EQ(d.channels, 1);
        EXPECT_EQ(d.rate, 22050);
        d.file_name = path("out/named.wav");
        d.save();
    });
    ASSERT_EQ(save_document(*doc), 1);
    EXPECT_STREQ(doc->file_title, "NAMED.WAV");
    EXPECT_EQ(ui.dialogs_run.back(), "SAVEWAVEFORM");
    EXPECT_EQ(save_document_as(*doc, SaveScope::Whole), 0) << "unscripted: cancelled";
}

TEST_F(FileCommandsTest, AConverterThatNeverFinishesIsGivenUp)
{
    // A stand-in that leaves a half result, runs on and never signals.
    write_file(program + "nvacnvrt", "#!/bin/sh\necho half > outadpcm.wav\nexec sleep 20\n");
    chmod((program + "nvacnvrt").c_str(), 0755);
    write_file(path("song.au"), "not really");
    const uint32_t start = kel::clock::now_ms();
    EXPECT_FALSE(open_sound_file(path("song.au")));
    // One second, then a thousand looks a tenth of a second apart.
    EXPECT_EQ(kel::clock::now_ms() - start, 1000u + 1000u * 100u);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, "Could not convert song.au.");
    // The half result is not taken for a finished one, and the program no longer runs.
    EXPECT_FALSE(file_exists(out_adpcm_file().c_str()));
    EXPECT_NE(std::system("pgrep -f 'slee[p] 20' >/dev/null 2>&1"), 0);
    // Escape ends the wait at the next look.
    ui.escape = true;
    const uint32_t again = kel::clock::now_ms();
    EXPECT_FALSE(open_sound_file(path("song.au")));
    EXPECT_EQ(kel::clock::now_ms() - again, 1000u);
    std::system("pkill -f 'sleep 20' >/dev/null 2>&1");
}

TEST_F(FileCommandsTest, ForeignFilesOpenThroughTheConverter)
{
    if (!sox())
        GTEST_SKIP();
    install_tools();
    kel::clock::unfix(); // the converter really runs
    for (const char* f : {"a.aiff", "b.au", "c.voc"}) {
        SCOPED_TRACE(f);
        ASSERT_EQ(sh(std::string("sox -n -r 11025 -c 1 -b 16 ") + f + " synth 0.2 sine 440"), 0);
        ASSERT_EQ(sh(std::string("sox ") + f + " -t raw -e signed -b 16 expect.raw"), 0);
        auto doc = open_sound_file(path(f));
        ASSERT_TRUE(doc);
        EXPECT_EQ(read_file(doc->working_file()), read_file(path("expect.raw")));
        EXPECT_FALSE(exists(path("finished")));
        EXPECT_FALSE(exists(path("outadpcm.wav")));
        EXPECT_FALSE(exists(with_extension(path(f), "WAV"))); // nothing beside the input
        EXPECT_FALSE(exists(import_name_for(path(f))));
    }
    // Export: the save as of an .aif name goes through the converter too.
    CChildFrame* doc = open_doc(pcm16(noise16(3000, 6)), 2, 16, 22050);
    ASSERT_TRUE(doc);
    ASSERT_EQ(
        save_to_named_file(*doc, path("out.aif"), SaveScope::Whole, save_format_of(*doc), false),
        1);
    ASSERT_EQ(sh("sox out.aif -t raw -e signed -b 16 -L back.raw"), 0);
    EXPECT_EQ(read_file(path("back.raw")), contents(doc));
    EXPECT_FALSE(exists(program + "NVACNVRT.WAV"));
}

TEST_F(FileCommandsTest, WaveFilesThatCannotOpenSayWhy)
{
    WaveImage adpcm;
    adpcm.format_tag = 2;
    adpcm.samples = std::string(64, '\0');
    write_file(path("packed.wav"), adpcm.bytes());
    ui.answer(kel::kIdNo);
    EXPECT_FALSE(open_sound_file(path("packed.wav")));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "packed.wav is a compressed ADPCM file.\nConvert to PCM?");
    EXPECT_EQ(ui.boxes[0].caption, "File Conversion");
    WaveImage odd = adpcm;
    odd.format_tag = 85;
    write_file(path("odd.wav"), odd.bytes());
    EXPECT_FALSE(open_sound_file(path("odd.wav")));
    EXPECT_EQ(ui.boxes.back().text, "odd.wav has an unknown (non-PCM) format.");
    EXPECT_EQ(ui.boxes.back().caption, "Unknown File Format");
    write_file(path("cut.wav"), adpcm.bytes().substr(0, 30));
    EXPECT_FALSE(open_sound_file(path("cut.wav")));
    EXPECT_EQ(ui.boxes.back().text,
              "Truncated input file.\nthe file ends before its format is complete");
    EXPECT_FALSE(open_sound_file(path("none.wav")));
    EXPECT_EQ(ui.boxes.back().text, "Cannot find file " + path("none.wav"));
    write_file(path("x.flac"), "fLaC");
    EXPECT_FALSE(open_sound_file(path("x.flac")));
    EXPECT_EQ(ui.boxes.back().text, "x.flac has an unknown (non-PCM) format.");
    EXPECT_EQ(working_file_count(), 0);
}

TEST_F(FileCommandsTest, Mp3NeedsTheEncoderAndLeavesTheWaveFileBesideIt)
{
    CChildFrame* doc = open_doc(pcm16(noise16(44100, 6)), 2, 16, 44100);
    ASSERT_TRUE(doc);
    EXPECT_EQ(
        save_to_named_file(*doc, path("t.mp3"), SaveScope::Whole, save_format_of(*doc), false), 0);
    EXPECT_EQ(ui.boxes.back().text, "BLADEENC.EXE missing.");
    install_tools();
    kel::clock::unfix(); // the encoder really runs
    // A wave file of that stem is the user's, not the encoder's input.
    write_file(path("t.wav"), "the master");
    ASSERT_EQ(
        save_to_named_file(*doc, path("t.mp3"), SaveScope::Whole, save_format_of(*doc), false), 1);
    EXPECT_EQ(read_file(path("t.wav")), "the master");
    const std::string mp3 = read_file(path("t.mp3"));
    ASSERT_GT(mp3.size(), 1000u);
    EXPECT_TRUE(mp3.compare(0, 3, "ID3") == 0 || static_cast<uint8_t>(mp3[0]) == 0xFF);
    EXPECT_FALSE(exists(run_directory() + "bladeenc.wav"));
    EXPECT_FALSE(exists(run_directory() + "bladeenc.mp3"));
}

TEST_F(FileCommandsTest, OpenDialogFileSpecs)
{
    WaveImage w;
    w.channels = 2;
    w.rate = 22050;
    w.samples = std::string(400, '\0');
    write_file(path("s.wav"), w.bytes());
    FileSpecs s = describe_file_for_open_dialog(path("s.wav"));
    EXPECT_TRUE(s.buttons_enabled);
    EXPECT_EQ(s.length, std::to_string(w.bytes().size()) + " bytes");
    EXPECT_EQ(s.type, "MS RIFF Wave PCM");
    EXPECT_EQ(s.format, "22050 kHz 16 bits Stereo");
    EXPECT_FALSE(s.date.empty());
    write_file(path("v.voc"), "1234567");
    s = describe_file_for_open_dialog(path("v.voc"));
    EXPECT_FALSE(s.buttons_enabled);
    EXPECT_EQ(s.length, "7 bytes");
    EXPECT_EQ(s.type, "Creative Labs VOC File");
    EXPECT_EQ(s.format, " ");
    EXPECT_FALSE(describe_file_for_open_dialog("").buttons_enabled);
}
