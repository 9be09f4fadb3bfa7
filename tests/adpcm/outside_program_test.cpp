// The waveconv program and the editor's uses of it: OCW import, ADPCM files on open, the
// compressed ADPCM save.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/files/adpcm_files.h"
#include "editor/files/ocw_import.h"
#include "editor/files/wave_conv_reader.h"
#include "editor/files/wave_convert.h"
#include "editor/files/wave_header.h"
#include "formats/ocw_rate.h"
#include "tests/adpcm/adpcm_support.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class OutsideProgram : public TestEnv
{
  protected:
    bool exists(const std::string& name) const { return access(name.c_str(), F_OK) == 0; }

    void install_waveconv()
    {
        ASSERT_EQ(symlink(tool_path("waveconv").c_str(), (program + "waveconv").c_str()), 0);
    }

    // A stand-in that ends at once without doing anything.
    void install_silent_program()
    {
        write_file(program + "waveconv", "#!/bin/sh\nexit 0\n");
        chmod((program + "waveconv").c_str(), 0755);
    }

    std::string pcm(const std::string& name, uint16_t channels, uint32_t rate, size_t frames,
                    uint32_t marker = 0)
    {
        WaveImage w;
        w.channels = channels;
        w.rate = rate;
        w.samples = pcm16(noise16(frames * channels, 11));
        std::string bytes = w.bytes();
        if (marker)
            bytes.replace(28, 4, le32(marker));
        write_file(path(name), bytes);
        return path(name);
    }

    // An OCW file as the encoder leaves it: ADPCM with the rate marker in its header.
    std::string ocw(const std::string& name, uint16_t channels, size_t frames, uint32_t marker)
    {
        const std::string source = pcm("ocw-source.wav", channels, 44100, frames, marker);
        ocw_rate_marker_mode = 1;
        const int ok = convert_wave_file(nullptr, source.c_str(), path(name).c_str());
        ocw_rate_marker_mode = 0;
        EXPECT_EQ(ok, 1);
        ui.clear();
        return path(name);
    }

    bool saw_box(const std::string& text) const
    {
        for (const auto& b : ui.boxes)
            if (b.text == text)
                return true;
        return false;
    }
};

} // namespace

TEST_F(OutsideProgram, WaveconvWritesOutadpcmThenFinished)
{
    const std::string in = pcm("song.wav", 2, 22050, 3000);
    ASSERT_TRUE(run(quoted(tool_path("waveconv")) + " " + quoted(in) + " 0"));
    EXPECT_TRUE(exists(path("finished")));
    WaveConvSource s;
    ASSERT_EQ(wave_conv_read_source(path("outadpcm.wav"), s), 1);
    EXPECT_EQ(s.format_tag(), 2);

    // Back again: 8-bit PCM.
    ASSERT_EQ(std::rename(path("outadpcm.wav").c_str(), path("song.adpcm.wav").c_str()), 0);
    std::remove(path("finished").c_str());
    ASSERT_TRUE(run(quoted(tool_path("waveconv")) + " " + quoted(path("song.adpcm.wav")) + " 0"));
    ASSERT_EQ(wave_conv_read_source(path("outadpcm.wav"), s), 1);
    EXPECT_EQ(s.format_tag(), 1);
    EXPECT_EQ(s.bits_per_sample(), 8);
    EXPECT_EQ(s.fact, 3000u);

    // A failure still signals, and leaves no half-made result to be taken for one.
    write_file(path("junk.wav"), "RIFF nonsense");
    std::remove(path("finished").c_str());
    EXPECT_FALSE(run(quoted(tool_path("waveconv")) + " " + quoted(path("junk.wav")) + " 0"));
    EXPECT_TRUE(exists(path("finished")));
    EXPECT_FALSE(exists(path("outadpcm.wav")));
}

TEST_F(OutsideProgram, OcwFileBecomesASixteenBitWaveAtTheRestoredRate)
{
    install_waveconv();
    const size_t frames = 20000; // a read of 32768 bytes and a short one
    std::string name = ocw("song.ocw", 2, frames, 20000);
    ASSERT_EQ(ocw_to_wave(name), 1);
    EXPECT_EQ(name, run_directory() + "ocwimport.wav");
    EXPECT_FALSE(exists(path("song.wav"))) << "nothing beside the OCW file";
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(path("finished")));
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.front().text, "Decompressing waveform ...");
    EXPECT_EQ(ui.open_progress, 0);

    ASSERT_TRUE(ReadInputWaveformHeader(name.c_str(), 0));
    EXPECT_EQ(last_format.format_tag, 1);
    EXPECT_EQ(last_format.channels, 2);
    EXPECT_EQ(last_format.sample_rate, 44100u);
    EXPECT_EQ(last_format.bits_per_sample, 16);
    EXPECT_EQ(last_format.block_align, 4);
    EXPECT_EQ(last_format.avg_bytes_per_sec, 176400u);
    // Each read of n bytes of 8-bit samples gives trunc(r x 65536) x n / 32768 bytes,
    // rounded down to whole frames.
    const long long scaled = static_cast<long long>(2.205f * 65536.0f);
    uint64_t expected = 0;
    for (uint64_t left = frames * 2; left > 0; left -= std::min<uint64_t>(left, 32768))
        expected += static_cast<uint64_t>(scaled * std::min<uint64_t>(left, 32768) / 32768) & ~3ull;
    EXPECT_EQ(data_size, expected);

    // Every decoded frame keeps its own value at its position in the stretched block.
    OurDecode d = decode_with_ours(path("song.ocw"));
    ASSERT_TRUE(d.ok);
    const std::vector<uint8_t> bytes = read_bytes(name);
    auto word = [&](size_t i) {
        return static_cast<int16_t>(bytes[data_offset + 2 * i] |
                                    (bytes[data_offset + 2 * i + 1] << 8));
    };
    for (size_t j = 0; j < 16384; j += 97) {
        const size_t at = static_cast<size_t>(static_cast<double>(j) * 2 * 2.205f) & ~size_t{1};
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(word(at + c), static_cast<int16_t>(((d.samples[2 * j + c] >> 8)) * 256)) << j;
    }
}

TEST_F(OutsideProgram, OcwImportFailuresLeaveNothingBehind)
{
    std::string name = ocw("song.ocw", 1, 3000, 22050);
    // No program to decode with.
    EXPECT_EQ(ocw_to_wave(name), 0);
    EXPECT_EQ(ui.boxes.back().text, "Decompression algorithm not found. Returning.");
    EXPECT_EQ(name, path("song.ocw"));

    // A program that ends without a result.
    install_silent_program();
    ui.clear();
    EXPECT_EQ(ocw_to_wave(name), 0);
    EXPECT_EQ(ui.boxes.back().text, "Failed to decompress file");

    // Not ADPCM at all.
    std::string plain = pcm("plain.ocw", 1, 22050, 100);
    ui.clear();
    EXPECT_EQ(ocw_to_wave(plain), 0);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Input file is not a PCM_WAVE file.");
    EXPECT_EQ(ui.boxes[1].text, "Can't read header");
    std::string missing = path("missing.ocw");
    ui.clear();
    EXPECT_EQ(ocw_to_wave(missing), 0);
    EXPECT_EQ(ui.boxes.at(0).text, "Cannot open input WAVE file.");

    // A marker that would stretch past any buffer.
    std::string wild = ocw("wild.ocw", 1, 3000, 1000);
    EXPECT_EQ(ocw_to_wave(wild), 0);
    EXPECT_EQ(ui.boxes.back().text, "Unknown resample rate. Returning.");
    EXPECT_FALSE(exists(path("song.wav")));
    EXPECT_FALSE(exists(path("wild.wav")));
}

TEST_F(OutsideProgram, CancelledOcwImportRemovesItsOutput)
{
    install_waveconv();
    std::string name = ocw("song.ocw", 2, 40000, 22050);
    ui.cancel_after_polls(1);
    EXPECT_EQ(ocw_to_wave(name), 0);
    EXPECT_EQ(name, path("song.ocw"));
    EXPECT_FALSE(exists(path("song.wav")));
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(run_directory() + "ocwimport.wav"));
    EXPECT_EQ(ui.open_progress, 0);
}

TEST_F(OutsideProgram, CompressedAdpcmOnOpenBecomesPcmWhereTheUserSays)
{
    install_waveconv();
    const std::string source = pcm("tone.wav", 1, 11025, 2500);
    ASSERT_EQ(convert_wave_file(nullptr, source.c_str(), path("packed.wav").c_str()), 1);
    ui.clear();
    mkdir(path("out").c_str(), 0755);
    ui.file_dialog_answers.push_back(path("out/TONE.WAV"));

    std::string target;
    ASSERT_EQ(open_compressed_adpcm(path("packed.wav"), target), 1);
    EXPECT_EQ(target, path("out/TONE.WAV"));
    ASSERT_GE(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "packed.wav is a compressed ADPCM file.\nConvert to PCM?");
    EXPECT_EQ(ui.boxes[0].caption, "File Conversion");
    EXPECT_EQ(ui.boxes[0].buttons, kel::Buttons::YesNo);
    ASSERT_EQ(ui.file_dialogs.size(), 1u);
    EXPECT_EQ(ui.file_dialogs[0].title, "Compress Waveform File");
    EXPECT_TRUE(ui.file_dialogs[0].save);
    WaveConvSource s;
    ASSERT_EQ(wave_conv_read_source(target, s), 1);
    EXPECT_EQ(s.format_tag(), 1);
    EXPECT_EQ(s.fact, 2500u);
    EXPECT_FALSE(exists(path("outadpcm.wav")));
    EXPECT_FALSE(exists(path("finished")));

    // No, or no name: nothing happens.
    ui.clear();
    ui.answer(kel::kIdNo);
    EXPECT_EQ(open_compressed_adpcm(path("packed.wav"), target), 0);
    EXPECT_TRUE(ui.file_dialogs.empty());
    ui.clear();
    EXPECT_EQ(open_compressed_adpcm(path("packed.wav"), target), 0);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(OutsideProgram, CompressedAdpcmOnOpenWithoutTheProgram)
{
    ui.file_dialog_answers.push_back(path("x.wav"));
    std::string target;
    EXPECT_EQ(open_compressed_adpcm(path("packed.wav"), target), 0);
    EXPECT_EQ(ui.boxes.back().text, "Compression algorithm not found. Returning.");
}

TEST_F(OutsideProgram, CompressedSaveReplacesThePcmFile)
{
    const std::string saved = pcm("SAVED.WAV", 2, 44100, 5000);
    ASSERT_EQ(compress_wave_file(saved, saved), 1);
    WaveConvSource s;
    ASSERT_EQ(wave_conv_read_source(saved, s), 1);
    EXPECT_EQ(s.format_tag(), 2);
    EXPECT_EQ(s.block_align(), 2048);
    EXPECT_EQ(s.fact, 5000u);
    EXPECT_FALSE(exists(path("outadpcm.wav")));

    // A rate the converter refuses: the save fails and the file stays as it was.
    const std::string odd = pcm("ODD.WAV", 2, 48000, 500);
    const std::string before = read_file(odd);
    ui.clear();
    EXPECT_EQ(compress_wave_file(odd, odd), 0);
    EXPECT_TRUE(saw_box("This PCM wave file is not valid for conversion!"));
    EXPECT_EQ(read_file(odd), before);
    EXPECT_FALSE(exists(path("outadpcm.wav")));
}
