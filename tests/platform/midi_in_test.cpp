// MIDI input through the virtual input's file under the pinned clock, and the sequencer
// path on a machine without one.
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/midi_devices.h"
#include "platform/midi_in.h"
#include "tests/support/test_env.h"

#include <unistd.h>
#include <vector>

namespace ev = kel::events;
namespace mi = kel::midi_in;

namespace {

struct Seen
{
    uint32_t message;
    uintptr_t handle;
    intptr_t packed;
    uint32_t stamp; // last_time_stamp() read inside the handler
};

} // namespace

class MidiInTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        ev::reset();
        ev::subscribe(&window, [this](const ev::Message& m) {
            seen.push_back({m.message, m.wparam, m.lparam, mi::last_time_stamp()});
        });
    }
    void TearDown() override
    {
        mi::set_virtual_file("");
        ev::reset();
        TestEnv::TearDown();
    }
    void run_for(uint32_t ms)
    {
        kel::clock::advance(ms);
        mi::settle();
        ev::pump();
    }
    // The data messages seen so far, as "packed@stamp", and forgets them.
    std::vector<std::string> take(uint32_t message = mi::kMimData)
    {
        std::vector<std::string> out;
        for (const Seen& s : seen) {
            if (s.message != message)
                continue;
            char text[32];
            std::snprintf(text, sizeof text, "%06lX@%u", static_cast<long>(s.packed), s.stamp);
            out.push_back(text);
        }
        seen.clear();
        return out;
    }
    int window = 0;
    std::vector<Seen> seen;
};

TEST_F(MidiInTest, TheFilesBytesArriveInOrderWhenTheirTimeHasComeWithTheirStamps)
{
    write_file(path("in.mid.txt"), "# a note, its neighbour by running status, a release\n"
                                   "0 90 3C 40\n"
                                   "10 3E 41   # running status across lines\n"
                                   "20 F8\n"
                                   "25 80 3C\n"
                                   "not a line at all\n"
                                   "27 zz 12\n"
                                   "28 123\n"
                                   "99999999999 90 01 02\n"
                                   "30 00\n"
                                   "5 0x90 0x40 0x7F\n"
                                   "\n"
                                   "60 F6\n"
                                   "70 3C      # no status to belong to\n"
                                   "   # nothing\n");
    mi::set_virtual_file(path("in.mid.txt"));
    mi::Handle h = 0;
    ASSERT_EQ(mi::open(&h, 0, &window), mi::kOk);
    ASSERT_TRUE(mi::is_open(h));
    run_for(0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, mi::kMimOpen);
    EXPECT_EQ(seen[0].handle, h);
    seen.clear();
    // Nothing flows before start, however long.
    run_for(1000);
    EXPECT_TRUE(seen.empty());
    ASSERT_EQ(mi::start(h), mi::kOk);
    run_for(0);
    EXPECT_EQ(take(), (std::vector<std::string>{"403C90@0"}));
    run_for(9);
    EXPECT_TRUE(take().empty());
    run_for(1);
    EXPECT_EQ(take(), (std::vector<std::string>{"413E90@10"}));
    // The release completes only with its last byte's line; the line timed 5 follows it.
    run_for(20);
    EXPECT_EQ(take(), (std::vector<std::string>{"0000F8@20", "003C80@30", "7F4090@30"}));
    run_for(100);
    for (const Seen& s : seen)
        EXPECT_EQ(s.handle, h);
    const std::vector<Seen> rest = seen;
    EXPECT_EQ(take(), (std::vector<std::string>{"0000F6@60"}));
    seen = rest;
    EXPECT_EQ(take(mi::kMimError), (std::vector<std::string>{"00003C@70"}));
    EXPECT_EQ(mi::close(h), mi::kOk);
    run_for(0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, mi::kMimClose);
    EXPECT_EQ(seen[0].handle, h);
}

TEST_F(MidiInTest, StopHoldsTheFilesTimeAndCloseEndsTheHandle)
{
    write_file(path("clock.txt"), "0 F8\n100 F8\n200 FA\n300 FC\n");
    mi::set_virtual_file(path("clock.txt"));
    mi::Handle h = 0;
    ASSERT_EQ(mi::open(&h, 0, &window), mi::kOk);
    // One device, one user.
    mi::Handle second = 0;
    EXPECT_EQ(mi::open(&second, 0, &window), mi::kAllocated);
    EXPECT_EQ(second, 0u);
    ASSERT_EQ(mi::start(h), mi::kOk);
    run_for(150);
    EXPECT_EQ(take(), (std::vector<std::string>{"0000F8@0", "0000F8@100"}));
    ASSERT_EQ(mi::stop(h), mi::kOk);
    run_for(1000);
    EXPECT_TRUE(take().empty());
    // 150 ms had run: FA is 50 ms after the next start.
    ASSERT_EQ(mi::start(h), mi::kOk);
    run_for(49);
    EXPECT_TRUE(take().empty());
    run_for(1);
    EXPECT_EQ(take(), (std::vector<std::string>{"0000FA@200"}));
    // Messages posted before close are still delivered; none after.
    kel::clock::advance(100);
    mi::settle();
    EXPECT_EQ(mi::close(h), mi::kOk);
    EXPECT_FALSE(mi::is_open(h));
    run_for(1000);
    EXPECT_EQ(take(), (std::vector<std::string>{"0000FC@300"}));
    EXPECT_EQ(mi::close(h), mi::kInvalidHandle);
    EXPECT_EQ(mi::start(h), mi::kInvalidHandle);
    EXPECT_EQ(mi::stop(h), mi::kInvalidHandle);
    // The device is free again, and a new handle is a new number.
    mi::Handle again = 0;
    ASSERT_EQ(mi::open(&again, 0, &window), mi::kOk);
    EXPECT_NE(again, h);
    EXPECT_EQ(mi::close(again), mi::kOk);
}

TEST_F(MidiInTest, WithoutAFileOrASequencerOpenIsNoDriverAndPostsNothing)
{
    mi::Handle h = 0;
    mi::set_virtual_file("");
    EXPECT_EQ(mi::open(&h, 0, &window), mi::kNoDriver);
    mi::set_virtual_file(path("missing.txt"));
    EXPECT_EQ(mi::open(&h, 0, &window), mi::kNoDriver);
    EXPECT_EQ(mi::open(&h, -1, &window), mi::kBadDeviceId);
    EXPECT_EQ(mi::open(nullptr, 0, &window), mi::kInvalidParam);
    // The devices counted are the ones the preferences list.
    EXPECT_EQ(mi::device_count(), static_cast<int>(kel::midi_devices::inputs().size()));
    EXPECT_GE(mi::device_count(), 1);
    if (access("/dev/snd/seq", F_OK) != 0) {
        EXPECT_EQ(mi::device_count(), 1);
        EXPECT_EQ(mi::open(&h, 1, &window), mi::kNoDriver);
        EXPECT_EQ(mi::open(&h, 7, &window), mi::kNoDriver);
    }
    EXPECT_EQ(h, 0u);
    run_for(0);
    EXPECT_TRUE(seen.empty());
}

TEST_F(MidiInTest, AHostileFileIsReadWithoutHarm)
{
    std::string bytes;
    for (int i = 0; i < 20000; ++i)
        bytes += static_cast<char>((i * 131 + 7) % 256);
    bytes += "\n" + std::string(10000, '9') + " 90\n1 F8\n";
    write_file(path("noise.txt"), bytes);
    mi::set_virtual_file(path("noise.txt"));
    mi::Handle h = 0;
    ASSERT_EQ(mi::open(&h, 0, &window), mi::kOk);
    ASSERT_EQ(mi::start(h), mi::kOk);
    run_for(10);
    EXPECT_EQ(take(), (std::vector<std::string>{"0000F8@1"}));
    EXPECT_EQ(mi::close(h), mi::kOk);
}
