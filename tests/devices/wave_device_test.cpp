#include "platform/clock.h"
#include "platform/events.h"
#include "platform/wave_device.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace wd = kel::wave_device;
namespace ev = kel::events;

namespace {

wd::Format pcm(int channels, int bits, uint32_t rate)
{
    wd::Format f;
    f.channels = static_cast<uint16_t>(channels);
    f.bits_per_sample = static_cast<uint16_t>(bits);
    f.sample_rate = rate;
    f.block_align = static_cast<uint16_t>(channels * bits / 8);
    f.avg_bytes_per_sec = rate * f.block_align;
    return f;
}

} // namespace

class WaveDeviceTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        ev::reset();
        wd::set_backend(wd::Backend::Virtual);
        sink = path("sink.raw");
        wd::set_virtual_sink(sink);
        ev::subscribe(&window, [this](const ev::Message& m) { seen.push_back(m); });
    }
    void TearDown() override
    {
        wd::set_virtual_sink("");
        wd::unset_backend();
        ev::reset();
        TestEnv::TearDown();
    }
    // Moves the pinned clock, lets the devices catch up and delivers what they posted.
    void run_for(uint32_t ms)
    {
        kel::clock::advance(ms);
        wd::settle();
        ev::pump();
    }
    int count(uint32_t message) const
    {
        int n = 0;
        for (const auto& m : seen)
            n += m.message == message;
        return n;
    }
    std::string sink;
    int window = 0;
    std::vector<ev::Message> seen;
};

TEST_F(WaveDeviceTest, VirtualOutputPlaysAtTheByteRateAndNotifiesOnlyThroughThePump)
{
    // 22050 Hz mono 8-bit: 2205 bytes are 100 ms.
    std::string a(4410, '\0'), b(4410, '\0');
    for (size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<char>(i * 7);
        b[i] = static_cast<char>(i * 13 + 1);
    }
    wd::Header ha{a.data(), 4410}, hb{b.data(), 4410};
    wd::Handle h = 0;
    ASSERT_EQ(wd::out_open(&h, 0, pcm(1, 8, 22050), &window), wd::kOk);
    EXPECT_TRUE(seen.empty());
    ev::pump();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, wd::kWomOpen);
    EXPECT_EQ(seen[0].wparam, h);

    EXPECT_EQ(wd::out_write(h, &ha), wd::kUnprepared);
    ASSERT_EQ(wd::out_prepare(h, &ha), wd::kOk);
    ASSERT_EQ(wd::out_prepare(h, &hb), wd::kOk);
    ASSERT_EQ(wd::out_write(h, &ha), wd::kOk);
    ASSERT_EQ(wd::out_write(h, &hb), wd::kOk);
    EXPECT_EQ(wd::out_unprepare(h, &ha), wd::kStillPlaying);

    // The device moves in steps of 10 ms (220 bytes here).
    run_for(100);
    EXPECT_EQ(read_file(sink).size(), 2200u);
    wd::Position p;
    ASSERT_EQ(wd::out_get_position(h, p), wd::kOk);
    EXPECT_EQ(p.type, wd::kTimeBytes);
    EXPECT_EQ(p.bytes, 2200u);
    EXPECT_EQ(count(wd::kWomDone), 0);

    run_for(100);
    ASSERT_EQ(count(wd::kWomDone), 1);
    EXPECT_EQ(seen.back().lparam, reinterpret_cast<intptr_t>(&ha));
    EXPECT_TRUE(ha.flags & wd::kDone);
    EXPECT_FALSE(ha.flags & wd::kInQueue);

    // Far ahead: the rest plays out and no more than was written reaches the sink.
    run_for(5000);
    EXPECT_EQ(count(wd::kWomDone), 2);
    EXPECT_TRUE(read_file(sink) == a + b);
    ASSERT_EQ(wd::out_get_position(h, p), wd::kOk);
    EXPECT_EQ(p.bytes, 8820u);

    EXPECT_EQ(wd::out_unprepare(h, &ha), wd::kOk);
    EXPECT_EQ(wd::out_close(h), wd::kOk);
    ev::pump();
    EXPECT_EQ(count(wd::kWomClose), 1);
    EXPECT_EQ(wd::out_close(h), wd::kInvalidHandle);
    EXPECT_EQ(wd::out_write(h, &hb), wd::kInvalidHandle);
}

TEST_F(WaveDeviceTest, PauseHoldsPositionAndSinkAndRestartGoesOn)
{
    std::string data(17640 * 2, '\x11'); // 44100 stereo 16-bit: two tenths of a second
    wd::Header hd{data.data(), static_cast<uint32_t>(data.size())};
    wd::Handle h = 0;
    ASSERT_EQ(wd::out_open(&h, 0, pcm(2, 16, 44100), &window), wd::kOk);
    wd::out_prepare(h, &hd);
    wd::out_write(h, &hd);
    run_for(50);
    const size_t before = read_file(sink).size();
    EXPECT_EQ(before, 8820u);
    ASSERT_EQ(wd::out_pause(h), wd::kOk);
    run_for(1000);
    EXPECT_EQ(read_file(sink).size(), before);
    wd::Position p;
    wd::out_get_position(h, p);
    EXPECT_EQ(p.bytes, before);
    EXPECT_EQ(count(wd::kWomDone), 0);
    ASSERT_EQ(wd::out_restart(h), wd::kOk);
    run_for(150);
    EXPECT_EQ(count(wd::kWomDone), 1);
    EXPECT_TRUE(read_file(sink) == data);
    EXPECT_EQ(wd::out_close(h), wd::kOk);
}

TEST_F(WaveDeviceTest, ResetReturnsEveryBufferInOrderAndAllowsClose)
{
    std::vector<std::string> blocks(4, std::string(2205, 'x'));
    std::vector<wd::Header> headers(4);
    wd::Handle h = 0;
    ASSERT_EQ(wd::out_open(&h, 0, pcm(1, 8, 22050), &window), wd::kOk);
    for (int i = 0; i < 4; ++i) {
        headers[i].data = blocks[i].data();
        headers[i].buffer_length = 2205;
        wd::out_prepare(h, &headers[i]);
        wd::out_write(h, &headers[i]);
    }
    run_for(150); // one done, the second half played
    EXPECT_EQ(count(wd::kWomDone), 1);
    EXPECT_EQ(wd::out_close(h), wd::kStillPlaying);
    ASSERT_EQ(wd::out_reset(h), wd::kOk);
    // The buffers are ours again as soon as reset returns.
    for (auto& hd : headers) {
        EXPECT_TRUE(hd.flags & wd::kDone);
        EXPECT_FALSE(hd.flags & wd::kInQueue);
    }
    ev::pump();
    ASSERT_EQ(count(wd::kWomDone), 4);
    int k = 0;
    for (const auto& m : seen) {
        if (m.message == wd::kWomDone) {
            EXPECT_EQ(m.lparam, reinterpret_cast<intptr_t>(&headers[k]));
            ++k;
        }
    }
    wd::Position p;
    wd::out_get_position(h, p);
    EXPECT_EQ(p.bytes, 0u);
    const size_t played = read_file(sink).size();
    run_for(1000);
    EXPECT_EQ(read_file(sink).size(), played);
    EXPECT_EQ(wd::out_close(h), wd::kOk);
}

TEST_F(WaveDeviceTest, SoftwareVolumeSilencesOneChannelAndFullLevelPassesSamples)
{
    std::vector<int16_t> words;
    for (int i = 0; i < 4410; ++i) {
        words.push_back(static_cast<int16_t>(1000 + i));
        words.push_back(static_cast<int16_t>(-2000 - i));
    }
    std::string data = pcm16(words);
    wd::Header hd{data.data(), static_cast<uint32_t>(data.size())};
    const wd::MasterVolume mv = wd::set_master_volume(0, 255, 0);
    EXPECT_FALSE(mv.hardware);
    EXPECT_EQ(mv.software, 0x0000FFFFu);
    wd::Handle h = 0;
    ASSERT_EQ(wd::out_open(&h, 0, pcm(2, 16, 22050), &window), wd::kOk);
    wd::out_prepare(h, &hd);
    wd::out_write(h, &hd);
    run_for(1000);
    const std::string out = read_file(sink);
    ASSERT_EQ(out.size(), data.size());
    for (size_t f = 0; f < words.size() / 2; ++f) {
        const int16_t l = static_cast<int16_t>(static_cast<uint8_t>(out[4 * f]) |
                                               (static_cast<uint8_t>(out[4 * f + 1]) << 8));
        const int16_t r = static_cast<int16_t>(static_cast<uint8_t>(out[4 * f + 2]) |
                                               (static_cast<uint8_t>(out[4 * f + 3]) << 8));
        ASSERT_EQ(l, words[2 * f]);
        ASSERT_EQ(r, 0);
    }
    wd::out_close(h);
    uint32_t v = 0;
    wd::set_master_volume(0, 255, 255);
    ASSERT_EQ(wd::out_get_volume(0, &v), wd::kOk);
    EXPECT_EQ(v, 0xFFFFFFFFu);
}

TEST_F(WaveDeviceTest, HostileCallsAreRefusedCleanly)
{
    wd::Handle h = 0;
    EXPECT_EQ(wd::out_open(&h, 1, pcm(1, 8, 22050), &window), wd::kBadDeviceId);
    wd::Format bad = pcm(3, 8, 22050);
    EXPECT_EQ(wd::out_open(&h, 0, bad, &window), wd::kBadFormat);
    bad = pcm(2, 12, 22050);
    EXPECT_EQ(wd::out_open(&h, 0, bad, &window), wd::kBadFormat);
    EXPECT_EQ(wd::out_open(nullptr, 0, pcm(1, 8, 22050), &window), wd::kInvalidParam);
    EXPECT_EQ(wd::out_open(nullptr, 0, pcm(1, 8, 22050), &window, wd::kFormatQuery), wd::kOk);
    EXPECT_EQ(wd::out_pause(12345), wd::kInvalidHandle);
    EXPECT_EQ(wd::out_reset(0), wd::kInvalidHandle);
    wd::Position p;
    EXPECT_EQ(wd::out_get_position(0, p), wd::kInvalidHandle);
    ev::pump();
    EXPECT_TRUE(seen.empty());

    // An empty buffer comes straight back; closing an input handle as output fails.
    ASSERT_EQ(wd::out_open(&h, 0, pcm(1, 8, 22050), &window), wd::kOk);
    wd::Header empty{nullptr, 0};
    wd::out_prepare(h, &empty);
    ASSERT_EQ(wd::out_write(h, &empty), wd::kOk);
    wd::settle();
    ev::pump();
    EXPECT_EQ(count(wd::kWomDone), 1);
    EXPECT_EQ(wd::in_close(h), wd::kInvalidHandle);
    EXPECT_EQ(wd::out_close(h), wd::kOk);
}

TEST_F(WaveDeviceTest, VirtualInputDeliversToneBuffersAndStopReturnsThePartOne)
{
    wd::set_virtual_source("");
    std::vector<std::string> blocks(3, std::string(4410, '\0'));
    std::vector<wd::Header> headers(3);
    wd::Handle h = 0;
    ASSERT_EQ(wd::in_open(&h, 0, pcm(1, 16, 22050), &window), wd::kOk);
    for (int i = 0; i < 3; ++i) {
        headers[i].data = blocks[i].data();
        headers[i].buffer_length = 4410; // 100 ms
        wd::in_prepare(h, &headers[i]);
        wd::in_add_buffer(h, &headers[i]);
    }
    run_for(500);
    EXPECT_EQ(count(wd::kWimOpen), 1);
    EXPECT_EQ(count(wd::kWimData), 0); // not started
    ASSERT_EQ(wd::in_start(h), wd::kOk);
    run_for(150);
    ASSERT_EQ(count(wd::kWimData), 1);
    EXPECT_EQ(headers[0].bytes_recorded, 4410u);
    // A 440 Hz tone at half scale.
    int peak = 0;
    for (int i = 0; i < 2205; ++i) {
        const int16_t s = static_cast<int16_t>(static_cast<uint8_t>(blocks[0][2 * i]) |
                                               (static_cast<uint8_t>(blocks[0][2 * i + 1]) << 8));
        peak = std::max(peak, static_cast<int>(s));
    }
    EXPECT_NEAR(peak, 16383, 20);
    ASSERT_EQ(wd::in_stop(h), wd::kOk);
    ev::pump();
    ASSERT_EQ(count(wd::kWimData), 2);
    EXPECT_EQ(headers[1].bytes_recorded, 2200u); // five 10 ms steps
    EXPECT_EQ(wd::in_close(h), wd::kStillPlaying);
    ASSERT_EQ(wd::in_reset(h), wd::kOk);
    ev::pump();
    EXPECT_EQ(count(wd::kWimData), 3);
    EXPECT_EQ(headers[2].bytes_recorded, 0u);
    EXPECT_EQ(wd::in_close(h), wd::kOk);
    ev::pump();
    EXPECT_EQ(count(wd::kWimClose), 1);
}

TEST_F(WaveDeviceTest, VirtualInputPlaysBackAWaveFileThenSilence)
{
    WaveImage img;
    img.channels = 1;
    img.bits = 8;
    img.rate = 11025;
    img.samples = std::string(100, '\x50');
    write_file(path("in.wav"), img.bytes());
    wd::set_virtual_source(path("in.wav"));
    std::string block(300, '\0');
    wd::Header hd{block.data(), 300};
    wd::Handle h = 0;
    ASSERT_EQ(wd::in_open(&h, 0, pcm(1, 8, 11025), &window), wd::kOk);
    wd::in_prepare(h, &hd);
    wd::in_add_buffer(h, &hd);
    wd::in_start(h);
    run_for(100);
    ASSERT_EQ(count(wd::kWimData), 1);
    EXPECT_TRUE(block == std::string(100, '\x50') + std::string(200, '\x80'));
    wd::in_reset(h);
    EXPECT_EQ(wd::in_close(h), wd::kOk);
    wd::set_virtual_source("");
}

class AlsaDeviceTest : public WaveDeviceTest
{
  protected:
    void SetUp() override
    {
        WaveDeviceTest::SetUp();
        unsetenv("KELVARA_ALSA_PCM");
        wd::set_backend(wd::Backend::Alsa);
    }
    void TearDown() override
    {
        unsetenv("KELVARA_ALSA_PCM");
        WaveDeviceTest::TearDown();
    }
};

TEST_F(AlsaDeviceTest, ADefaultPcmThatCannotOpenIsNoDevice)
{
    if (access("/dev/snd", F_OK) == 0)
        GTEST_SKIP() << "this machine has a sound card";
    EXPECT_GE(wd::out_device_count(), 1);
    wd::Caps caps;
    ASSERT_EQ(wd::out_caps(0, caps), wd::kOk);
    EXPECT_EQ(caps.name, "Default (default)");
    EXPECT_EQ(caps.formats, 0u);
    wd::Handle h = 0;
    EXPECT_EQ(wd::out_open(&h, 0, pcm(2, 16, 44100), &window), wd::kBadDeviceId);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(wd::in_open(&h, 0, pcm(2, 16, 44100), &window), wd::kBadDeviceId);
    EXPECT_EQ(wd::out_open(&h, 7, pcm(2, 16, 44100), &window), wd::kBadDeviceId);
    ev::pump();
    EXPECT_TRUE(seen.empty());
    // No mixer either: the level goes to our own gain.
    EXPECT_FALSE(wd::set_master_volume(0, 100, 100).hardware);
}

TEST_F(AlsaDeviceTest, TheNullPcmPlaysBuffersThroughTheAlsaPath)
{
    setenv("KELVARA_ALSA_PCM", "null", 1);
    wd::Caps caps;
    ASSERT_EQ(wd::out_caps(0, caps), wd::kOk);
    EXPECT_EQ(caps.formats & wd::k4S16, wd::k4S16);
    std::string data(4410, '\0');
    wd::Header hd{data.data(), 4410};
    wd::Handle h = 0;
    ASSERT_EQ(wd::out_open(&h, 0, pcm(1, 16, 22050), &window), wd::kOk);
    wd::out_prepare(h, &hd);
    wd::out_write(h, &hd);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (count(wd::kWomDone) == 0 && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ev::pump();
    }
    EXPECT_EQ(count(wd::kWomOpen), 1);
    EXPECT_EQ(count(wd::kWomDone), 1);
    EXPECT_EQ(wd::out_close(h), wd::kOk);
}

TEST_F(WaveDeviceTest, AnInputLeftWithoutBuffersCountsAnOverrunAndDropsThatStretch)
{
    // 11025 Hz mono 8-bit from a ramp of known bytes: what comes after the gap shows
    // whether the device caught up (wrong) or went on from now.
    std::string ramp(11025 * 3, '\0');
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<char>(i / 100);
    write_file(path("ramp.raw"), ramp);
    wd::set_virtual_source(path("ramp.raw"));
    std::string a(1100, '\0'), b(1100, '\0');
    wd::Header ha{a.data(), 1100}, hb{b.data(), 1100};
    wd::Handle h = 0;
    ASSERT_EQ(wd::in_open(&h, 0, pcm(1, 8, 11025), &window), wd::kOk);
    wd::in_prepare(h, &ha);
    wd::in_prepare(h, &hb);
    wd::in_add_buffer(h, &ha);
    wd::in_start(h);
    run_for(100);
    ASSERT_EQ(count(wd::kWimData), 1);
    EXPECT_EQ(wd::in_overruns(h), 0u);
    run_for(1000); // nothing to record into for a second
    wd::in_add_buffer(h, &hb);
    EXPECT_EQ(wd::in_overruns(h), 1u);
    run_for(50);
    EXPECT_EQ(count(wd::kWimData), 1); // half a buffer: no burst of the missed second
    run_for(60);
    ASSERT_EQ(count(wd::kWimData), 2);
    EXPECT_TRUE(b == ramp.substr(1100, 1100));
    wd::in_reset(h);
    EXPECT_EQ(wd::in_close(h), wd::kOk);
    wd::set_virtual_source("");
}
