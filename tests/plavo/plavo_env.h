#pragma once
// A fresh folder, config folder, headless UI, pinned clock and virtual sound device per test.
#include "platform/ui.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

class PlavoEnv : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return root + name; }
    std::string read_file(const std::string& file) const;
    void write_file(const std::string& file, const std::string& bytes) const;
    // Moves the pinned clock in 10 ms steps, letting the device and the queue catch up.
    void run_for(uint32_t ms);

    std::string root; // with trailing '/', also the current folder
    std::string sink;
    kel::HeadlessUi ui;
    std::string old_cwd;
};

bool have_tool(const std::string& tool);
bool run(const std::string& command);
std::string quoted(const std::string& path);
std::vector<int16_t> read_s16(const std::string& path);

// A sine chord with a little noise, interleaved 16-bit.
std::vector<int16_t> test_signal(int channels, int frames, int rate);

// An OCW file coded by our own block codec: "fmt " of 50 bytes (or `fmt_size`), "fact"
// when `with_fact`, then the blocks.
void write_ocw(const std::string& file, const std::vector<int16_t>& pcm, int channels, int rate,
               uint32_t marker, bool with_fact = true, size_t fmt_size = 50);
// Sets nAvgBytesPerSec of a wave file's "fmt " chunk in place.
bool patch_marker(const std::string& file, uint32_t marker);

// The data chunk of a PCM wave file, as bytes; empty when there is none.
std::string data_chunk(const std::string& bytes);
uint32_t le32(const std::string& bytes, size_t at);
